#include "ui/line_pane.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "file/replacement_file.h"
#include "link/frame_text.h"
#include "ui/notice_box.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"

namespace {

const QColor kFailure(0xC0, 0x00, 0x00);

} // namespace

CLinePane::CLinePane(QWidget* parent) : QWidget(parent)
{
    m_lines = new QListWidget(this);
    m_lines->setObjectName(QStringLiteral("lineList"));
    m_lines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lines->setUniformItemSizes(true);
    QFont mono(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_lines->setFont(mono);

    m_clear = new QPushButton(tr("C&lear"), this);
    m_save = new QPushButton(tr("Sa&ve As..."), this);
    connect(m_clear, &QPushButton::clicked, m_lines, &QListWidget::clear);
    connect(m_save, &QPushButton::clicked, this, &CLinePane::OnSaveAs);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_clear);
    buttons->addWidget(m_save);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_lines, 1);
    layout->addLayout(buttons);
}

QString CLinePane::Stamp(Clock::time_point when) const
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when - m_start).count();
    return QStringLiteral("%1 ms  ").arg(ms, 7);
}

void CLinePane::AddFrame(Clock::time_point when, FrameDirection direction, std::span<const std::uint8_t> bytes)
{
    AddLine(Stamp(when) + FromUtf8(gw::FormatFrame(direction, bytes)), false);
}

void CLinePane::AddResult(const QString& text, bool failed)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    AddLine(Stamp(Clock::now()) + QStringLiteral("== ") + line, failed);
}

void CLinePane::Follow(CSerialPortDlg& dialog)
{
    connect(&dialog, &CSerialPortDlg::frameSeen, this, [this](qint64 when, int direction, const QByteArray& bytes) {
        AddFrame(Clock::time_point{std::chrono::nanoseconds(when)}, static_cast<FrameDirection>(direction),
                 {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
    });
    connect(&dialog, &CSerialPortDlg::runEnded, this, &CLinePane::AddResult);
}

void CLinePane::AddLine(const QString& text, bool failed)
{
    auto* item = new QListWidgetItem(text, m_lines);
    if (failed)
        item->setForeground(kFailure);
    m_lines->scrollToItem(item);
}

QString CLinePane::Text() const
{
    QString text;
    for (int i = 0; i < m_lines->count(); ++i)
        text += m_lines->item(i)->text() + QLatin1Char('\n');
    return text;
}

Outcome CLinePane::SaveTo(const QString& path) const
{
    return gw::ReplaceFileContents(ToUtf8(path), ToUtf8(Text()));
}

void CLinePane::OnSaveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save the line as"), QString(), tr("Text (*.txt)"));
    if (path.isEmpty())
        return;
    if (const Outcome saved = SaveTo(path); !saved)
        ShowMessageBox(this, QMessageBox::Warning, tr("Cannot write %1.").arg(path) + QLatin1Char('\n') + FromUtf8(saved.message));
}
