#include "ui/compare_commands.h"

#include <QScreen>

#include "compare/config_diff.h"
#include "file/config_file.h"
#include "model/device_config.h"
#include "ui/config_tree_pane.h"
#include "ui/differences_dialog.h"
#include "ui/gateway_view.h"
#include "ui/line_pane.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"
#include "ui/user_prompt.h"
#include "widgets/property_grid.h"

namespace {

// Moves a window off a spot of the screen it covers: above or below it, where there is more
// room, shortened where it would not fit there.
void MoveClearOf(QWidget& window, const QRect& spot)
{
    const QRect frame = window.frameGeometry();
    if (!frame.intersects(spot) || !window.screen())
        return;
    const QRect screen = window.screen()->availableGeometry();
    const QSize frameExtra = frame.size() - window.geometry().size();
    const int roomAbove = spot.top() - screen.top();
    const int roomBelow = screen.bottom() - spot.bottom();
    const int room = std::max(roomAbove, roomBelow);
    if (frame.height() > room)
        window.resize(window.width(), std::max(room - frameExtra.height(), window.minimumSizeHint().height()));
    const int height = window.frameGeometry().height();
    const int top = roomAbove >= roomBelow ? spot.top() - height : spot.bottom() + 1;
    window.move(frame.left(), std::clamp(top, screen.top(), std::max(screen.top(), screen.bottom() + 1 - height)));
}

} // namespace

CCompareCommands::CCompareCommands(CDeviceConfig& root, CUserPrompt& prompt, CConfigTreePane& tree, CGatewayView& view,
                                   CLinePane& line, QWidget* window)
    : QObject(window), m_root(root), m_prompt(prompt), m_tree(tree), m_view(view), m_line(line), m_window(window)
{
}

void CCompareCommands::CompareWithModule()
{
    CSerialPortDlg dialog(TransferDirection::Upload, m_root, m_window);
    dialog.SetCompareOnly();
    m_line.Follow(dialog);
    dialog.exec();
    if (const CDeviceConfig* read = dialog.ModuleRead())
        ShowDifferences(*read, true, dialog.ModuleVersion(),
                        tr("Module (hardware %1.%2)").arg(dialog.ModuleVersion().major).arg(dialog.ModuleVersion().minor));
}

void CCompareCommands::CompareWithFile()
{
    const QString path = m_prompt.AskOpenPath(m_window);
    if (path.isEmpty())
        return;
    CDeviceConfig other;
    const FileResult loaded = gw::LoadFile(other, ToUtf8(path));
    if (!loaded.ok) {
        m_prompt.ShowMessage(m_window, FromUtf8(loaded.message));
        return;
    }
    ShowDifferences(other, false, {}, path.section(QLatin1Char('/'), -1));
}

void CCompareCommands::ShowVerifiedDifferences(const CSerialPortDlg& dialog)
{
    if (const CDeviceConfig* read = dialog.ModuleRead(); read && !gw::CompareModuleScope(m_root, *read, dialog.ModuleVersion()).empty())
        ShowDifferences(*read, true, dialog.ModuleVersion(), tr("Module"));
}

void CCompareCommands::ShowDifferences(const CDeviceConfig& other, bool moduleScope, HardwareVersion version,
                                       const QString& otherSide)
{
    const CompareScope scope = moduleScope ? CompareScope::Module : CompareScope::Whole;
    CDifferencesDialog dialog(gw::CompareConfigurations(m_root, other, scope, version, true), otherSide, m_window);
    connect(&dialog, &CDifferencesDialog::differenceActivated, this, [this, &dialog](const Difference& difference) {
        SelectDifference(difference);
        // The row shown must not lie under the dialog.
        const CPropertyGrid* grid = m_view.Grid();
        const int row = grid->currentIndex().row();
        if (row >= 0) {
            const QRect cells = grid->visualRect(grid->model()->index(row, 0)) | grid->visualRect(grid->model()->index(row, 1));
            MoveClearOf(dialog, QRect(grid->viewport()->mapToGlobal(cells.topLeft()), cells.size()));
        }
    });
    dialog.exec();
}

void CCompareCommands::SelectDifference(const Difference& d)
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
    QTreeWidgetItem* entry = record.type == RECORD_NONE ? nullptr : m_tree.FindEntry(record);
    if (!entry)
        return;
    m_tree.SelectEntry(entry);
    m_view.Grid()->MakeRowCurrent(d.row);
}
