// The commands of a slave node as a list: Duplicate, Cut, Copy, Paste, Move Up and Move Down.
// Each is one undo step. Copied commands go to the clipboard as the file format's text, so
// that another workbench can paste them, and as plain text for any other program.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <sstream>

#include "file/command_clipboard.h"
#include "model/config_copy.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/item_text.h"
#include "ui/config_tree_pane.h"
#include "ui/edit_history.h"
#include "ui/gateway_view.h"
#include "ui/main_frame.h"
#include "ui/tree_commands.h"
#include "ui/ui_text.h"
#include "ui/user_prompt.h"

namespace {

const QString kCommandsMime = QStringLiteral("application/x-orvel-commands+xml");

// The selected slave node, and the selected command's position in it (-1 for the slave itself).
std::pair<CSlaveNode*, int> SelectedPlace(const TreeRecord& record)
{
    if (record.type == RECORD_COMMAND && record.slave)
        return {record.slave, record.slave->IndexOfCommand(record.command)};
    if (record.type == RECORD_SLAVE)
        return {record.slave, -1};
    return {nullptr, -1};
}

} // namespace

void CMainFrame::CreateCommandListActions(QMenu* edit)
{
    const std::pair<QString, QKeySequence> entries[] = {
        {tr("Duplicate Command"), {}},
        {tr("Cut Command"), QKeySequence::Cut},
        {tr("Copy Command"), QKeySequence::Copy},
        {tr("Paste Command"), QKeySequence::Paste},
        {tr("Move Command Up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {tr("Move Command Down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
    };
    edit->addSeparator();
    for (const auto& [text, keys] : entries) {
        auto* action = new QAction(text, this);
        action->setShortcut(keys);
        edit->addAction(action);
        m_listActions.append(action);
    }
    const auto on = [this](int index, auto handler) {
        connect(m_listActions[index], &QAction::triggered, this, [this, handler] {
            m_view->FinishEditing();
            handler();
            RefreshCommands();
        });
    };
    on(0, [this] { OnDuplicateCommand(); });
    on(1, [this] {
        if (CopySelectedCommand())
            m_treeCommands->DeleteCommand();
        m_history->Record(tr("Cut"));
    });
    on(2, [this] { CopySelectedCommand(); });
    on(3, [this] { OnPasteCommands(); });
    on(4, [this] { OnMoveCommand(-1); });
    on(5, [this] { OnMoveCommand(1); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::RefreshCommands);
    connect(m_tree, &CConfigTreePane::commandMoveWanted, this, [this](const TreeRecord& command, int to) {
        if (command.slave && command.slave->MoveCommand(command.slave->IndexOfCommand(command.command), to))
            ShowCommandListChange(command.slave, to, tr("Move"));
        RefreshCommands();
    });
}

void CMainFrame::RefreshCommandListActions()
{
    const auto [slave, index] = SelectedPlace(m_tree->SelectedRecord());
    const bool command = slave && index >= 0;
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    const bool enables[] = {command, command, command, slave && clip && clip->hasFormat(kCommandsMime),
                            command && index > 0, command && index + 1 < slave->GetCommandCount()};
    for (int i = 0; i < m_listActions.size(); ++i)
        m_listActions[i]->setEnabled(enables[i]);
}

bool CMainFrame::CopySelectedCommand()
{
    const TreeRecord record = m_tree->SelectedRecord();
    if (record.type != RECORD_COMMAND || !record.command)
        return false;
    std::string text;
    const FileResult written = WriteCommandsText({record.command}, &text);
    if (!written.ok) {
        m_prompt.ShowMessage(this, FromUtf8(written.message));
        return false;
    }
    auto* mime = new QMimeData;
    mime->setData(kCommandsMime, QByteArray::fromStdString(text));
    // For other programs: the command as gatewaycfg show prints it.
    if (record.slave) {
        std::ostringstream plain;
        PrintRecordItems("command:" + std::to_string(record.slave->IndexOfCommand(record.command) + 1), record, plain);
        mime->setText(FromUtf8(plain.str()));
    }
    QApplication::clipboard()->setMimeData(mime);
    return true;
}

void CMainFrame::InsertCommands(CSlaveNode* slave, int position, std::vector<std::unique_ptr<CModbusCommand>> commands,
                                const QString& stepName)
{
    const InsertCommandsResult result = InsertCommandsAt(slave, position, std::move(commands));
    if (result.limitReached)
        m_prompt.ShowMessage(this, FromUtf8(result.message));
    if (result.inserted > 0)
        ShowCommandListChange(slave, position, stepName);
}

void CMainFrame::OnDuplicateCommand()
{
    const TreeRecord record = m_tree->SelectedRecord();
    const auto [slave, index] = SelectedPlace(record);
    if (!slave || index < 0)
        return;
    std::vector<std::unique_ptr<CModbusCommand>> copy;
    copy.push_back(CopyCommand(*record.command));
    InsertCommands(slave, index + 1, std::move(copy), tr("Duplicate"));
}

void CMainFrame::OnPasteCommands()
{
    const auto [slave, index] = SelectedPlace(m_tree->SelectedRecord());
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    if (!slave || !clip || !clip->hasFormat(kCommandsMime))
        return;
    std::vector<std::unique_ptr<CModbusCommand>> commands;
    const FileResult read = ReadCommandsText(clip->data(kCommandsMime).toStdString(), &commands);
    if (!read.ok) {
        m_prompt.ShowMessage(this, FromUtf8(read.message));
        return;
    }
    // After the selected command, or at the end when the slave node is selected.
    InsertCommands(slave, index < 0 ? slave->GetCommandCount() : index + 1, std::move(commands), tr("Paste"));
}

void CMainFrame::OnMoveCommand(int step)
{
    const auto [slave, index] = SelectedPlace(m_tree->SelectedRecord());
    if (slave && index >= 0 && MoveCommandBy(slave, index, step))
        ShowCommandListChange(slave, index + step, tr("Move"));
}

void CMainFrame::ShowCommandListChange(CSlaveNode* slave, int selectIndex, const QString& stepName)
{
    QList<int> path = CConfigTreePane::PathOf(m_tree->FindEntry(TreeRecord::ForSlave(slave)));
    RebuildTree();
    m_view->ResetView();
    path << selectIndex;
    if (QTreeWidgetItem* entry = m_tree->EntryAt(path))
        m_tree->SelectEntry(entry);
    m_history->Record(stepName);
}
