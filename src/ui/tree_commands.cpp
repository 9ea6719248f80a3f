#include "ui/tree_commands.h"

#include "model/device_config.h"
#include "model/edit_actions.h"
#include "ui/config_tree_pane.h"
#include "ui/gateway_view.h"
#include "ui/select_command_dialog.h"
#include "ui/ui_text.h"
#include "ui/user_prompt.h"

CTreeCommands::CTreeCommands(CDeviceConfig& root, bool& modified, CUserPrompt& prompt, CConfigTreePane& tree,
                             CGatewayView& view, QWidget* dialogParent)
    : QObject(&tree), m_root(root), m_modified(modified), m_prompt(prompt), m_tree(tree), m_view(view),
      m_dialogParent(dialogParent)
{
}

bool CTreeCommands::CanAddNode() const
{
    return gw::CanAddNode(m_root, m_tree.SelectedRecord());
}

bool CTreeCommands::CanDeleteNode() const
{
    return gw::CanDeleteNode(m_tree.SelectedRecord());
}

bool CTreeCommands::CanAddCommand() const
{
    return gw::CanAddCommand(m_tree.SelectedRecord());
}

bool CTreeCommands::CanDeleteCommand() const
{
    return gw::CanDeleteCommand(m_tree.SelectedRecord());
}

void CTreeCommands::Edited()
{
    m_modified = true;
    emit configurationEdited();
}

void CTreeCommands::AddNode()
{
    QTreeWidgetItem* subnetEntry = m_tree.SelectedEntry();
    CSlaveNode* node = gw::AddSlaveNode(m_root, m_tree.SelectedRecord());
    if (!node || !subnetEntry)
        return;
    m_tree.AppendEntry(subnetEntry, {node->GetName(), IMAGE_SLAVE, TreeRecord::ForSlave(node), {}});
    m_tree.expandAll();
    Edited();
}

void CTreeCommands::DeleteNode()
{
    QTreeWidgetItem* entry = m_tree.SelectedEntry();
    const TreeRecord record = CConfigTreePane::RecordOf(entry);
    if (!gw::CanDeleteNode(record))
        return;
    // The grid shows the node's items: let it go before the node is freed.
    m_view.ResetView();
    if (!gw::DeleteSlaveNode(m_root, record.slave)) {
        m_view.ShowRecord(record);
        return;
    }
    m_tree.DeleteEntry(entry);
    Edited();
}

void CTreeCommands::AddCommand()
{
    if (!CanAddCommand())
        return;
    CSelectCommandDlg dialog(m_dialogParent);
    connect(&dialog, &CSelectCommandDlg::functionChosen, this, &CTreeCommands::AddCommandOfFunction);
    dialog.exec();
}

void CTreeCommands::AddCommandOfFunction(int functionIndex)
{
    QTreeWidgetItem* slaveEntry = m_tree.SelectedEntry();
    const TreeRecord record = CConfigTreePane::RecordOf(slaveEntry);
    if (!gw::CanAddCommand(record))
        return;
    const AddCommandResult result = gw::AddCommandTo(record.slave, functionIndex);
    if (result.limitReached) {
        m_prompt.ShowMessage(m_dialogParent, FromUtf8(result.message));
        return;
    }
    if (!result.command)
        return;
    m_tree.AppendEntry(slaveEntry, {result.command->GetName(), IMAGE_COMMAND,
                                    TreeRecord::ForCommand(record.slave, result.command), {}});
    m_tree.expandAll();
    Edited();
}

void CTreeCommands::DeleteCommand()
{
    QTreeWidgetItem* entry = m_tree.SelectedEntry();
    const TreeRecord record = CConfigTreePane::RecordOf(entry);
    if (!gw::CanDeleteCommand(record) || !entry->parent())
        return;
    const TreeRecord owner = CConfigTreePane::RecordOf(entry->parent());
    if (owner.type != RECORD_SLAVE || !owner.slave)
        return;
    m_view.ResetView();
    if (!gw::DeleteCommandFrom(owner.slave, record.command)) {
        m_view.ShowRecord(record);
        return;
    }
    m_tree.DeleteEntry(entry);
    Edited();
}
