#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/ui_text.h"
#include "version/build_version.h"
#include "widgets/hyperlink_label.h"

QString MakerWebAddress()
{
    return QStringLiteral("https://www.orvel-networks.example/");
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Orvel"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(11);
    setFont(font);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(36, 20, 24, 18);
    layout->setHorizontalSpacing(24);
    layout->setVerticalSpacing(10);

    auto* title = new QLabel(tr("Embedded module configuration software Orvel"), this);
    QFont titleFont = font;
    titleFont.setBold(true);
    title->setFont(titleFont);
    layout->addWidget(title, 0, 0, 1, 2);

    // The project's version, as every program reports it; the build line below adds where from.
    const QString version = QString::fromUtf8(gw::BuildVersion()).section(QLatin1Char(' '), 0, 0);
    layout->addWidget(new QLabel(tr("Version %1").arg(version), this), 1, 0);
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("makerLogo"));
    logo->setPixmap(QIcon(QStringLiteral(":/about/logo.svg")).pixmap(QSize(123, 26)));
    logo->setFixedSize(123, 26);
    layout->addWidget(logo, 1, 1, Qt::AlignRight | Qt::AlignVCenter);

    layout->addWidget(new QLabel(LangText(AppText::MakerName), this), 2, 0, 1, 2);
    layout->addWidget(new QLabel(tr("Technical support: +1 555 0100 (ext. 2)"), this), 3, 0, 1, 2);
    layout->addWidget(new QLabel(tr("Need more information and upgrade, please visit:"), this), 4, 0, 1, 2);

    m_link = new CHyperLink(QStringLiteral("www.orvel-networks.example"), MakerWebAddress(), this);
    m_link->setObjectName(QStringLiteral("makerLink"));
    layout->addWidget(m_link, 5, 0);

    auto* exit = new QPushButton(tr("Exit"), this);
    exit->setDefault(true);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(exit, 5, 1, Qt::AlignRight);

    auto* build = new QLabel(tr("Build %1").arg(QString::fromUtf8(gw::BuildVersion())), this);
    build->setObjectName(QStringLiteral("buildVersion"));
    build->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(build, 6, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
