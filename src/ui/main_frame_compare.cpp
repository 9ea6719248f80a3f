// Compare with Module, Compare with File, the differences dialog, and the line pane's feed.

#include "compare/config_diff.h"
#include "file/config_file.h"
#include "model/device_config.h"
#include "ui/config_tree_pane.h"
#include "ui/differences_dialog.h"
#include "ui/gateway_view.h"
#include "ui/line_pane.h"
#include "ui/main_frame.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"
#include "ui/user_prompt.h"
#include "widgets/property_grid.h"

void CMainFrame::FeedLinePane(CSerialPortDlg& dialog)
{
    connect(&dialog, &CSerialPortDlg::frameSeen, m_line, [this](qint64 when, int direction, const QByteArray& bytes) {
        const CLinePane::Clock::time_point at{std::chrono::nanoseconds(when)};
        m_line->AddFrame(at, static_cast<FrameDirection>(direction),
                         {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
    });
    connect(&dialog, &CSerialPortDlg::runEnded, m_line, &CLinePane::AddResult);
}

void CMainFrame::OnCompareWithModule()
{
    // The module is read into memory only: the open configuration stays as it is.
    CSerialPortDlg dialog(TransferDirection::Upload, m_root, this);
    dialog.SetCompareOnly();
    FeedLinePane(dialog);
    dialog.exec();
    if (const CDeviceConfig* read = dialog.ModuleRead())
        ShowDifferences(*read, true, dialog.ModuleVersion(),
                        tr("Module (hardware %1.%2)").arg(dialog.ModuleVersion().major).arg(dialog.ModuleVersion().minor));
}

void CMainFrame::OnCompareWithFile()
{
    const QString path = m_prompt.AskOpenPath(this);
    if (path.isEmpty())
        return;
    CDeviceConfig other;
    const FileResult loaded = LoadFile(other, ToUtf8(path));
    if (!loaded.ok) {
        m_prompt.ShowMessage(this, FromUtf8(loaded.message));
        return;
    }
    ShowDifferences(other, false, {}, path.section(QLatin1Char('/'), -1));
}

void CMainFrame::ShowDifferences(const CDeviceConfig& other, bool moduleScope, HardwareVersion version,
                                 const QString& otherSide)
{
    const CompareScope scope = moduleScope ? CompareScope::Module : CompareScope::Whole;
    CDifferencesDialog dialog(CompareConfigurations(m_root, other, scope, version, true), otherSide, this);
    connect(&dialog, &CDifferencesDialog::differenceActivated, this, [this, &dialog](const Difference& difference) {
        SelectDifference(difference);
        // The row shown must not lie under the dialog.
        const CPropertyGrid* grid = m_view->Grid();
        const int row = grid->currentIndex().row();
        if (row >= 0) {
            const QRect cells = grid->visualRect(grid->model()->index(row, 0)) | grid->visualRect(grid->model()->index(row, 1));
            MoveClearOf(dialog, QRect(grid->viewport()->mapToGlobal(cells.topLeft()), cells.size()));
        }
    });
    dialog.exec();
}

void CMainFrame::SelectDifference(const Difference& d)
{
    CSubnetNode& subnet = m_root.Subnet();
    CSlaveNode* slave = d.slave >= 0 ? subnet.GetNodeAt(d.slave) : nullptr;
    TreeRecord record;
    switch (d.nodeKind) {
    case DiffNodeKind::Bus: record = TreeRecord::ForNode(RECORD_FIELDBUS, &m_root.Bus()); break;
    case DiffNodeKind::Subnet: record = TreeRecord::ForNode(RECORD_SUBNET, &subnet); break;
    case DiffNodeKind::Slave: record = slave ? TreeRecord::ForSlave(slave) : TreeRecord{}; break;
    case DiffNodeKind::Command: {
        CModbusCommand* command = slave ? slave->GetCommandAt(d.command) : nullptr;
        record = command ? TreeRecord::ForCommand(slave, command) : TreeRecord{};
        break;
    }
    }
    // A node that only the other side has: this configuration has nothing to show.
    QTreeWidgetItem* entry = record.type == RECORD_NONE ? nullptr : m_tree->FindEntry(record);
    if (!entry)
        return;
    m_tree->SelectEntry(entry);
    m_view->Grid()->MakeRowCurrent(d.row);
}
