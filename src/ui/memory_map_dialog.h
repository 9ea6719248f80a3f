#pragma once
// The "Conflict Detect" dialog: both memory areas with the bits every command uses.

#include <QDialog>
#include <array>
#include <vector>

#include "model/config_tree.h"
#include "ui/memory_cell.h"

class QTreeWidget;
class QTreeWidgetItem;
class CDeviceConfig;
class CMemoryGrid;

// Draws the bit usage map of the configuration as it is when the dialog opens: every used bit
// grey, red where two or more commands share it, yellow past the end of its area. Selecting a
// command in the tree paints the bits it occupies blue. Nothing in the dialog changes the model.
class CConflictDlg : public QDialog {
    Q_OBJECT
public:
    explicit CConflictDlg(CDeviceConfig& root, QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return m_tree; }
    CMemoryGrid* Grid(int area) const { return area == 0 ? m_inputGrid : m_outputGrid; }
    // The cells of used bits of an area, in bit order.
    const std::vector<CMemoryCell>& Cells(int area) const { return m_cells[area == 0 ? 0 : 1]; }
    // How many cells are now shown as selected.
    int SelectedCount() const { return static_cast<int>(m_selected.size()); }

private:
    struct BitRef {
        int area;
        int bit;
    };

    void FillTree(CDeviceConfig& root);
    void BuildCells(const CDeviceConfig& root);
    void OnSelectionChanged();
    void ClearSelection();
    void SelectCommandBits(int position);
    CMemoryCell* CellAt(int area, int bit);

    QTreeWidget* m_tree = nullptr;
    CMemoryGrid* m_inputGrid = nullptr;
    CMemoryGrid* m_outputGrid = nullptr;
    std::array<std::vector<CMemoryCell>, 2> m_cells;
    std::array<std::vector<int>, 2> m_cellAtBit;             // bit number -> index into m_cells, or -1
    std::vector<TreeRecord> m_records;                        // one per tree item, by its data
    const CSlaveNode* m_mappedSlave = nullptr;                // the slave node the map counts
    std::vector<std::vector<BitRef>> m_commandBits;           // by command position in that node
    std::vector<BitRef> m_selected;
};

// Shows the memory map of the configuration, modal over parent.
void ShowMemoryMapDialog(QWidget* parent, CDeviceConfig& root);
