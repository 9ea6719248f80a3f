#include "ui/differences_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "compare/diff_format.h"
#include "ui/ui_text.h"

namespace {

const QColor kChanged(0xFF, 0xE0, 0x80);   // a value that differs
const QColor kMissing(0xF0, 0xB0, 0xB0);   // a side that lacks the item or node

QTableWidgetItem* Cell(const QString& text)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return cell;
}

QString SideText(const std::optional<std::string>& side)
{
    return side ? FromUtf8(*side) : CDifferencesDialog::tr("(none)");
}

// The node of a difference as the selectors of gatewaycfg name it ("command:3"), in the
// running language.
QString NodeText(const Difference& d)
{
    switch (d.nodeKind) {
    case DiffNodeKind::Bus: return CDifferencesDialog::tr("profibus");
    case DiffNodeKind::Subnet: return CDifferencesDialog::tr("subnet");
    case DiffNodeKind::Slave: return CDifferencesDialog::tr("slave:%1").arg(d.slave + 1);
    case DiffNodeKind::Command:
        return d.slave > 0 ? CDifferencesDialog::tr("slave:%1 command:%2").arg(d.slave + 1).arg(d.command + 1)
                           : CDifferencesDialog::tr("command:%1").arg(d.command + 1);
    }
    return FromUtf8(d.node);
}

} // namespace

CDifferencesDialog::CDifferencesDialog(std::vector<Difference> items, const QString& otherSide, QWidget* parent)
    : QDialog(parent), m_items(std::move(items))
{
    setWindowTitle(tr("Differences"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(760, 480);

    m_summary = new QLabel(this);
    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("differences"));
    m_table->setHorizontalHeaderLabels(
        {tr("Node"), tr("Item"), tr("This configuration"), otherSide});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_only = new QCheckBox(tr("&Only differences"), this);
    m_only->setChecked(true);
    m_copy = new QPushButton(tr("&Copy as Text"), this);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);

    connect(m_only, &QCheckBox::toggled, this, &CDifferencesDialog::Fill);
    connect(m_copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(DifferencesText()); });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit differenceActivated(RowItem(row)); });
    // Enter on a row does what a double-click does.
    connect(m_table, &QTableWidget::cellActivated, this, [this](int row, int) { emit differenceActivated(RowItem(row)); });

    auto* tools = new QHBoxLayout;
    tools->addWidget(m_only);
    tools->addStretch(1);
    tools->addWidget(m_copy);
    tools->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addLayout(tools);
    Fill();
}

const Difference& CDifferencesDialog::RowItem(int row) const
{
    return m_items.at(m_shown.at(static_cast<std::size_t>(row)));
}

void CDifferencesDialog::Fill()
{
    const bool onlyDifferences = m_only->isChecked();
    m_shown.clear();
    std::size_t differing = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const bool same = m_items[i].kind == DiffKind::Same;
        differing += same ? 0 : 1;
        if (!same || !onlyDifferences)
            m_shown.push_back(i);
    }
    m_summary->setText(differing == 0 ? tr("No differences.") : tr("%n difference(s).", nullptr, static_cast<int>(differing)));
    m_table->setRowCount(static_cast<int>(m_shown.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const Difference& d = RowItem(row);
        m_table->setItem(row, 0, Cell(NodeText(d)));
        m_table->setItem(row, 1, Cell(FromUtf8(d.item).trimmed()));
        m_table->setItem(row, 2, Cell(SideText(d.left)));
        m_table->setItem(row, 3, Cell(SideText(d.right)));
        if (d.kind == DiffKind::Same)
            continue;
        m_table->item(row, 2)->setBackground(d.left ? kChanged : kMissing);
        m_table->item(row, 3)->setBackground(d.right ? kChanged : kMissing);
    }
    m_table->resizeColumnsToContents();
    m_copy->setEnabled(differing > 0);
}

QString CDifferencesDialog::DifferencesText() const
{
    std::vector<Difference> differences;
    for (const Difference& d : m_items)
        if (d.kind != DiffKind::Same)
            differences.push_back(d);
    return FromUtf8(gw::FormatDifferences(differences));
}
