#include "ui/memory_map_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/device_config.h"
#include "ui/config_tree_pane.h"
#include "ui/ui_text.h"
#include "widgets/memory_grid.h"

namespace {

constexpr std::uint32_t kDialogBackground = 0xDCDBD8;   // RGB(216,219,220)
constexpr std::uint32_t kDialogText = 0xEB5800;         // RGB(0,88,235)

// The configuration tree of the dialog: fully expanded, without branch lines or buttons.
class CPlainTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

    // Width that shows every item's text whole.
    int ContentWidth() const
    {
        return sizeHintForColumn(0) + 2 * frameWidth() + verticalScrollBar()->sizeHint().width() + 8;
    }

protected:
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
};

QLabel* MakeCaption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ColourFromRef(kDialogText));
    label->setPalette(palette);
    return label;
}

// A sunken colour sample with its name, for the legend under the grids.
QWidget* MakeSwatch(std::uint32_t colour, const QString& text, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* sample = new QFrame(box);
    sample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    sample->setLineWidth(1);
    sample->setFixedSize(22, 14);
    sample->setAutoFillBackground(true);
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Window, ColourFromRef(colour));
    sample->setPalette(palette);
    layout->addWidget(sample);
    layout->addWidget(MakeCaption(text, box));
    return box;
}

// The legend's words (model/palette.h), made known to the translation.
[[maybe_unused]] constexpr const char* kLegendWords[] = {
    QT_TRANSLATE_NOOP("CConflictDlg", "Not use"),  QT_TRANSLATE_NOOP("CConflictDlg", "Legal "),
    QT_TRANSLATE_NOOP("CConflictDlg", "Conflict"), QT_TRANSLATE_NOOP("CConflictDlg", "Overflow"),
    QT_TRANSLATE_NOOP("CConflictDlg", "Selected Command"),
};

QString LegendText(const LegendEntry& entry)
{
    return CConflictDlg::tr(std::string(entry.label).c_str());
}

} // namespace

CConflictDlg::CConflictDlg(CDeviceConfig& root, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Conflict Detect"));
    setWindowFlags((windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) &
                   ~Qt::WindowContextHelpButtonHint);
    QFont dialogFont = font();
    dialogFont.setFamily(QStringLiteral("Times New Roman"));
    setFont(dialogFont);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ColourFromRef(kDialogBackground));
    setPalette(palette);

    auto* tree = new CPlainTree(this);
    m_tree = tree;
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setItemsExpandable(false);
    m_tree->setIconSize(QSize(18, 18));
    m_tree->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    m_inputGrid = new CMemoryGrid(0x0000, this);
    m_outputGrid = new CMemoryGrid(kOutputAreaBase, this);

    auto* maps = new QVBoxLayout;
    maps->setSpacing(2);
    maps->addWidget(MakeCaption(tr("  Input Memory "), this), 0, Qt::AlignHCenter);
    maps->addWidget(m_inputGrid, 1);
    maps->addSpacing(4);
    maps->addWidget(MakeCaption(tr(" Output Memory "), this), 0, Qt::AlignHCenter);
    maps->addWidget(m_outputGrid, 1);
    maps->addSpacing(6);
    auto* legend = new QHBoxLayout;
    legend->setSpacing(14);
    legend->addStretch(1);
    for (const LegendEntry& entry : kMemoryMapLegend)
        legend->addWidget(MakeSwatch(entry.colour, LegendText(entry), this));
    legend->addStretch(1);
    maps->addLayout(legend);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(m_tree);
    layout->addLayout(maps, 1);

    FillTree(root);
    // Wide enough for the longest command name.
    m_tree->setMinimumWidth(std::max(210, tree->ContentWidth()));
    BuildCells(root);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CConflictDlg::OnSelectionChanged);
}

void CConflictDlg::FillTree(CDeviceConfig& root)
{
    const auto add = [this](const auto& self, const TreeEntry& entry, QTreeWidgetItem* parentItem) -> void {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(m_tree);
        item->setText(0, FromUtf8(entry.text));
        item->setIcon(0, CConfigTreePane::EntryIcon(entry.image));
        item->setData(0, Qt::UserRole, static_cast<int>(m_records.size()));
        m_records.push_back(entry.record);
        for (const TreeEntry& child : entry.children)
            self(self, child, item);
    };
    for (const TreeEntry& entry : root.BuildTree())
        add(add, entry, nullptr);
    m_tree->expandAll();
}

void CConflictDlg::BuildCells(const CDeviceConfig& root)
{
    UsageMap map;
    gw::BuildUsageMap(root.Subnet(), map);
    for (int area : {AREA_INPUT, AREA_OUTPUT})
        m_cellAtBit[static_cast<std::size_t>(area)].assign(kCountedBits, -1);
    m_inputGrid->setUpdatesEnabled(false);
    m_outputGrid->setUpdatesEnabled(false);
    for (int bit = 0; bit < kCountedBits; ++bit) {
        for (int area : {AREA_INPUT, AREA_OUTPUT}) {
            const std::uint32_t count = map.Area(area)[static_cast<std::size_t>(bit)];
            if (count == 0)
                continue;
            auto& cells = m_cells[static_cast<std::size_t>(area)];
            m_cellAtBit[static_cast<std::size_t>(area)][static_cast<std::size_t>(bit)] = static_cast<int>(cells.size());
            cells.emplace_back(Grid(area), area, bit, count);
            cells.back().Paint();
        }
    }
    m_inputGrid->setUpdatesEnabled(true);
    m_outputGrid->setUpdatesEnabled(true);

    // Where each counted command lies, for the highlighting: the same bits the map counted.
    m_mappedSlave = root.Subnet().GetNodeAt(0);
    if (!m_mappedSlave)
        return;
    const MemoryOccupancy occupancy = gw::BuildOccupancy(root.Subnet());
    m_commandBits.assign(static_cast<std::size_t>(m_mappedSlave->GetCommandCount()), {});
    for (int area : {AREA_INPUT, AREA_OUTPUT}) {
        for (int bit = 0; bit < kCountedBits; ++bit) {
            for (const int position : occupancy.Area(area).commands[static_cast<std::size_t>(bit)])
                m_commandBits[static_cast<std::size_t>(position)].push_back({area, bit});
        }
    }
}

CMemoryCell* CConflictDlg::CellAt(int area, int bit)
{
    const int index = m_cellAtBit[static_cast<std::size_t>(area)][static_cast<std::size_t>(bit)];
    return index < 0 ? nullptr : &m_cells[static_cast<std::size_t>(area)][static_cast<std::size_t>(index)];
}

void CConflictDlg::ClearSelection()
{
    m_inputGrid->setUpdatesEnabled(false);
    m_outputGrid->setUpdatesEnabled(false);
    for (const BitRef& ref : m_selected) {
        if (CMemoryCell* cell = CellAt(ref.area, ref.bit))
            cell->SetState(CMemoryCell::STATE_NORMAL);
    }
    m_selected.clear();
    m_inputGrid->setUpdatesEnabled(true);
    m_outputGrid->setUpdatesEnabled(true);
}

void CConflictDlg::SelectCommandBits(int position)
{
    if (position < 0 || position >= static_cast<int>(m_commandBits.size()))
        return;
    m_inputGrid->setUpdatesEnabled(false);
    m_outputGrid->setUpdatesEnabled(false);
    for (const BitRef& ref : m_commandBits[static_cast<std::size_t>(position)]) {
        if (CMemoryCell* cell = CellAt(ref.area, ref.bit)) {
            cell->SetState(CMemoryCell::STATE_SELECTED);
            m_selected.push_back(ref);
        }
    }
    m_inputGrid->setUpdatesEnabled(true);
    m_outputGrid->setUpdatesEnabled(true);
}

void CConflictDlg::OnSelectionChanged()
{
    ClearSelection();
    const QList<QTreeWidgetItem*> items = m_tree->selectedItems();
    if (items.isEmpty())
        return;
    const int index = items.front()->data(0, Qt::UserRole).toInt();
    if (index < 0 || index >= static_cast<int>(m_records.size()))
        return;
    const TreeRecord& record = m_records[static_cast<std::size_t>(index)];
    if (record.type != RECORD_COMMAND || !record.command)
        return;
    // Only the commands of the slave node the map counts occupy bits; the commands of a further
    // slave node (which a file may bring) are not downloaded and highlight nothing.
    if (!m_mappedSlave || record.slave != m_mappedSlave)
        return;
    SelectCommandBits(m_mappedSlave->IndexOfCommand(record.command));
}

void ShowMemoryMapDialog(QWidget* parent, CDeviceConfig& root)
{
    CConflictDlg dialog(root, parent);
    dialog.exec();
}
