// The commands of the main window: what each menu item, tool-bar button and accelerator runs.

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolBar>

#include "file/config_file.h"
#include "mapping/auto_map.h"
#include "model/device_config.h"
#include "ui/about_dialog.h"
#include "ui/command_list_commands.h"
#include "ui/command_table.h"
#include "ui/compare_commands.h"
#include "ui/command_test_dialog.h"
#include "ui/config_tree_pane.h"
#include "ui/edit_history.h"
#include "ui/export_action.h"
#include "ui/fleet_dialog.h"
#include "ui/handover_export.h"
#include "ui/gateway_view.h"
#include "ui/help_window.h"
#include "ui/line_pane.h"
#include "ui/main_frame.h"
#include "ui/memory_map_dialog.h"
#include "ui/transfer_dialog.h"
#include "ui/tree_commands.h"
#include "ui/ui_text.h"
#include "ui/user_prompt.h"

namespace {

// The name of a command's undo step: its menu text without the mnemonic or the shown key.
QString StepName(int id)
{
    const CommandInfo* command = FindCommand(id);
    QString text = command ? QCoreApplication::translate("CMainFrame", command->menuText) : QString();
    text = text.section(QLatin1Char('\t'), 0, 0);
    return text.left(text.indexOf(QLatin1Char('('))).trimmed();
}

} // namespace

void CMainFrame::ConnectCommands()
{
    const auto on = [this](int id, auto handler) {
        connect(m_actions[id], &QAction::triggered, this, [this, id, handler] {
            // An open editor in the grid commits before any command changes the configuration.
            m_view->FinishEditing();
            handler();
            // Whatever the command changed in the configuration is one step to undo.
            m_history->Record(StepName(id));
            RefreshCommands();
        });
    };
    on(ID_FILE_NEW, [this] { m_doc.OnNewDocument(); });
    on(ID_FILE_OPEN, [this] {
        const QString path = m_prompt.AskOpenPath(this);
        if (!path.isEmpty())
            OpenFile(path);
    });
    on(ID_FILE_SAVE, [this] {
        if (m_doc.DoFileSave()) {
            m_history->MarkSaved();
            RememberCurrentFile();
        }
    });
    on(ID_FILE_SAVE_AS, [this] {
        if (m_doc.DoFileSaveAs()) {
            m_history->MarkSaved();
            RememberCurrentFile();
        }
    });
    on(ID_APP_EXIT, [this] { close(); });
    on(ID_ADD_NODE, [this] { m_treeCommands->AddNode(); });
    on(ID_DELETE_NODE, [this] { m_treeCommands->DeleteNode(); });
    on(ID_ADD_COMMAND, [this] { m_treeCommands->AddCommand(); });
    on(ID_DELETE_COMMAND, [this] { m_treeCommands->DeleteCommand(); });
    on(ID_UPLOAD, [this] { OnTransfer(ID_UPLOAD); });
    on(ID_DOWNLOAD, [this] { OnTransfer(ID_DOWNLOAD); });
    on(ID_COMPARE_MODULE, [this] { m_compare->CompareWithModule(); });
    on(ID_COMPARE_FILE, [this] { m_compare->CompareWithFile(); });
    on(ID_FLEET, [this] { ShowFleetDialog(this, [this](const QString& path) { OpenFile(path); }); });
    on(ID_EXPORT_XLS, [this] { RunExportCommand(this, m_root); });
    on(ID_EXPORT_IO_LIST, [this] { RunIoListExport(this, m_root); });
    on(ID_EXPORT_REPORT, [this] { RunReportExport(this, m_root, CurrentFile()); });
    on(ID_FILE_PRINT, [this] { RunReportPrint(this, m_root, CurrentFile()); });
    on(ID_AUTO_MAPPING, [this] { OnAutoMapping(); });
    on(ID_CONFLICT_DETECT, [this] { OnConflictDetect(); });
    on(ID_TEST_COMMANDS, [this] { ShowCommandTestDialog(this, m_root); });
    on(ID_VIEW_TOOLBAR, [this] { ToggleBar(m_toolBar); });
    on(ID_VIEW_TREE, [this] { ToggleBar(m_treeDock); });
    on(ID_VIEW_ANNOTATION, [this] { ToggleBar(m_annotationDock); });
    on(ID_VIEW_LINE, [this] {
        ToggleBar(m_lineDock);
        // The frames need room: the pane takes most of the bottom beside the annotation pane.
        if (m_lineDock->isVisible()) {
            resizeDocks({m_annotationDock, m_lineDock}, {width() / 4, width() * 3 / 4}, Qt::Horizontal);
            resizeDocks({m_lineDock}, {200}, Qt::Vertical);
        }
    });
    on(ID_APP_ABOUT, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    on(ID_HELP_CONTENT, [this] { ShowHelpWindow(this, HelpFilePath()); });

    connect(m_tree, &CConfigTreePane::recordSelected, this, [this](const TreeRecord& record) {
        m_view->ShowRecord(record);
        RefreshCommands();
    });
    connect(m_tree, &CConfigTreePane::contextMenuWanted, this, [this](const QPoint& where) {
        RefreshCommands();
        m_contextMenu->popup(where);
    });
    connect(m_view, &CGatewayView::helpTextChanged, m_annotation, &QPlainTextEdit::setPlainText);
    connect(m_view, &CGatewayView::modeSwitched, this, [this] {
        RebuildTree();
        RefreshCommands();
    });
    connect(m_view, &CGatewayView::slaveRenamed, this, [this](CSlaveNode* slave) {
        if (QTreeWidgetItem* entry = m_tree->FindEntry(TreeRecord::ForSlave(slave)))
            entry->setText(0, FromUtf8(slave->GetName()));
    });
    connect(m_view, &CGatewayView::configurationEdited, this, [this] {
        m_history->Record(tr("Edit"));
        RefreshCommands();
    });
    connect(m_treeCommands, &CTreeCommands::configurationEdited, this, &CMainFrame::RefreshCommands);
    connect(m_commandList, &CCommandListCommands::commandRun, this, &CMainFrame::RefreshCommands);
    connect(&m_watch, &CFileWatch::changedElsewhere, this, &CMainFrame::OnFileChangedElsewhere);
    // The View menu's check marks follow the bars however they are shown or hidden.
    for (QDockWidget* dock : {m_treeDock, m_annotationDock, m_lineDock})
        connect(dock, &QDockWidget::visibilityChanged, this, &CMainFrame::RefreshCommands);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &CMainFrame::RefreshCommands);
}

bool CMainFrame::StartUp(const std::optional<std::string>& path)
{
    // The document names its file by the whole path, whatever folder the program started in.
    const bool ok = m_doc.StartUp(path ? std::optional(ToUtf8(QFileInfo(FromUtf8(*path)).absoluteFilePath())) : path);
    m_history->Reset();
    if (ok && path)
        RememberCurrentFile();
    RefreshCommands();
    return ok;
}

bool CMainFrame::OpenFile(const QString& typed)
{
    const QString path = QFileInfo(typed).absoluteFilePath();
    if (m_doc.OnOpenDocument(ToUtf8(path))) {
        RememberCurrentFile();
        return true;
    }
    if (!QFileInfo::exists(path)) {
        m_recent.Remove(path);
        RebuildRecentMenu();
    }
    return false;
}

void CMainFrame::OnFileChangedElsewhere(const QString& path)
{
    QString question = tr("%1 was changed by another program.\nOpen it again?").arg(QDir::toNativeSeparators(path));
    if (m_modified)
        question += QLatin1Char('\n') + tr("The changes made here since it was saved would be lost.");
    if (!m_prompt.AskYesNo(this, question))
        return;   // kept: a save asks before it overwrites the other program's change
    m_view->FinishEditing();
    m_modified = false;
    OpenFile(path);
}

void CMainFrame::RememberCurrentFile()
{
    m_recent.Add(FromUtf8(m_doc.GetPathName()));
    RebuildRecentMenu();
}

void CMainFrame::OnConfigurationReplaced()
{
    RebuildTree();
    m_view->ResetView();
    RefreshCommands();
}

void CMainFrame::OnTransfer(int commandId)
{
    const TransferDirection direction = commandId == ID_UPLOAD ? TransferDirection::Upload : TransferDirection::Download;
    CSerialPortDlg dialog(direction, m_root, this);
    // After a successful upload the module's configuration has replaced ours in memory (nothing
    // of it is in a file yet): the views are rebuilt before the success message is shown.
    dialog.SetReplacedHandler([this] {
        OnConfigurationReplaced();
        m_view->MarkValueFaults(gw::CheckItemValues(m_root));
        m_modified = true;
    });
    m_line->Follow(dialog);
    dialog.exec();
    m_compare->ShowVerifiedDifferences(dialog);
}

void CMainFrame::OnAutoMapping()
{
    if (m_root.Subnet().GetMode() != MODE_MODBUS_MASTER)
        return;
    if (!m_prompt.AskYesNo(this, LangText(MessageText::AutoMapQuestion)))
        return;
    const AutoMapResult result = gw::AutoMap(m_root);
    if (!result.message.empty())
        m_prompt.ShowMessage(this, FromUtf8(result.message));
    m_modified = true;
    if (m_view->CurrentRecord().type != RECORD_NONE)
        m_view->RefreshRecord();
}

void CMainFrame::OnConflictDetect()
{
    if (m_root.Subnet().GetMode() != MODE_MODBUS_MASTER)
        return;
    ShowMemoryMapDialog(this, m_root);
}

void CMainFrame::ToggleBar(QWidget* bar)
{
    bar->setVisible(bar->isHidden());
}

ReportFile CMainFrame::CurrentFile() const
{
    ReportFile file;
    file.path = FromUtf8(m_doc.GetPathName());
    const QFileInfo info(file.path);
    if (!file.path.isEmpty() && info.exists())
        file.savedAt = FromUtf8(gw::LocalDateTimeText(static_cast<std::time_t>(info.lastModified().toSecsSinceEpoch())));
    return file;
}
