#include "ui/command_list_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
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

bool ClipboardHoldsCommands()
{
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    return clip && clip->hasFormat(kCommandsMime);
}

} // namespace

CCommandListCommands::CCommandListCommands(CDeviceConfig& root, CUserPrompt& prompt, CConfigTreePane& tree,
                                           CGatewayView& view, CTreeCommands& treeCommands, CEditHistory& history,
                                           QWidget* window)
    : QObject(window), m_root(root), m_prompt(prompt), m_tree(tree), m_view(view), m_treeCommands(treeCommands),
      m_history(history), m_window(window)
{
    CreateActions(window);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CCommandListCommands::RefreshActions);
    connect(&m_tree, &CConfigTreePane::commandMoveWanted, this, [this](const TreeRecord& command, int to) {
        MoveDragged(command, to);
        emit commandRun();
    });
}

void CCommandListCommands::CreateActions(QWidget* window)
{
    const std::pair<QString, QKeySequence> entries[] = {
        {tr("Duplicate Command"), {}},
        {tr("Cut Command"), QKeySequence::Cut},
        {tr("Copy Command"), QKeySequence::Copy},
        {tr("Paste Command"), QKeySequence::Paste},
        {tr("Move Command Up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {tr("Move Command Down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
    };
    for (const auto& [text, keys] : entries) {
        auto* action = new QAction(text, window);
        action->setShortcut(keys);
        m_actions.append(action);
    }
    const auto on = [this](ListCommand command, auto handler) {
        connect(m_actions[command], &QAction::triggered, this, [this, handler] {
            m_view.FinishEditing();
            handler();
            emit commandRun();
        });
    };
    on(Duplicate, [this] { DuplicateSelected(); });
    on(Cut, [this] { CutSelected(); });
    on(Copy, [this] { CopySelected(); });
    on(Paste, [this] { PasteCommands(); });
    on(MoveUp, [this] { MoveSelected(-1); });
    on(MoveDown, [this] { MoveSelected(1); });
}

void CCommandListCommands::RefreshActions()
{
    const auto [slave, index] = SelectedPlace(m_tree.SelectedRecord());
    const bool command = slave && index >= 0;
    const bool enables[] = {command, command, command, slave && ClipboardHoldsCommands(),
                            command && index > 0, command && index + 1 < slave->GetCommandCount()};
    for (int i = 0; i < m_actions.size(); ++i)
        m_actions[i]->setEnabled(enables[i]);
}

bool CCommandListCommands::CopySelected()
{
    const TreeRecord record = m_tree.SelectedRecord();
    if (record.type != RECORD_COMMAND || !record.command)
        return false;
    std::string text;
    const FileResult written = gw::WriteCommandsText({record.command}, &text);
    if (!written.ok) {
        m_prompt.ShowMessage(m_window, FromUtf8(written.message));
        return false;
    }
    auto* mime = new QMimeData;
    mime->setData(kCommandsMime, QByteArray::fromStdString(text));
    // For other programs: the command as gatewaycfg show prints it.
    if (record.slave) {
        std::ostringstream plain;
        gw::PrintRecordItems("command:" + std::to_string(record.slave->IndexOfCommand(record.command) + 1), record, plain);
        mime->setText(FromUtf8(plain.str()));
    }
    QApplication::clipboard()->setMimeData(mime);
    return true;
}

void CCommandListCommands::CutSelected()
{
    if (CopySelected())
        m_treeCommands.DeleteCommand();
    m_history.Record(tr("Cut"));
}

void CCommandListCommands::InsertCommands(CSlaveNode* slave, int position,
                                          std::vector<std::unique_ptr<CModbusCommand>> commands, const QString& stepName)
{
    const InsertCommandsResult result = gw::InsertCommandsAt(slave, position, std::move(commands));
    if (result.limitReached)
        m_prompt.ShowMessage(m_window, FromUtf8(result.message));
    if (result.inserted > 0)
        ShowListChange(slave, position, stepName);
}

void CCommandListCommands::DuplicateSelected()
{
    const TreeRecord record = m_tree.SelectedRecord();
    const auto [slave, index] = SelectedPlace(record);
    if (!slave || index < 0)
        return;
    std::vector<std::unique_ptr<CModbusCommand>> copy;
    copy.push_back(gw::CopyCommand(*record.command));
    InsertCommands(slave, index + 1, std::move(copy), tr("Duplicate"));
}

void CCommandListCommands::PasteCommands()
{
    const auto [slave, index] = SelectedPlace(m_tree.SelectedRecord());
    if (!slave || !ClipboardHoldsCommands())
        return;
    std::vector<std::unique_ptr<CModbusCommand>> commands;
    const FileResult read =
        gw::ReadCommandsText(QApplication::clipboard()->mimeData()->data(kCommandsMime).toStdString(), &commands);
    if (!read.ok) {
        m_prompt.ShowMessage(m_window, FromUtf8(read.message));
        return;
    }
    // After the selected command, or at the end when the slave node is selected.
    InsertCommands(slave, index < 0 ? slave->GetCommandCount() : index + 1, std::move(commands), tr("Paste"));
}

void CCommandListCommands::MoveSelected(int step)
{
    const auto [slave, index] = SelectedPlace(m_tree.SelectedRecord());
    if (slave && index >= 0 && gw::MoveCommandBy(slave, index, step))
        ShowListChange(slave, index + step, tr("Move"));
}

void CCommandListCommands::MoveDragged(const TreeRecord& command, int to)
{
    if (command.slave && command.slave->MoveCommand(command.slave->IndexOfCommand(command.command), to))
        ShowListChange(command.slave, to, tr("Move"));
}

void CCommandListCommands::ShowListChange(CSlaveNode* slave, int selectIndex, const QString& stepName)
{
    QList<int> path = CConfigTreePane::PathOf(m_tree.FindEntry(TreeRecord::ForSlave(slave)));
    m_tree.Rebuild(m_root.BuildTree());
    m_view.ResetView();
    path << selectIndex;
    if (QTreeWidgetItem* entry = m_tree.EntryAt(path))
        m_tree.SelectEntry(entry);
    m_history.Record(stepName);
}
