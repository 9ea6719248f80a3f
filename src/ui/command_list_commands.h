#pragma once
// The commands of a slave node as a list: Duplicate, Cut, Copy, Paste, Move Up and Move Down in
// the Edit menu, and a command dragged to another place among its node's commands in the tree.
// Each change is one undo step. Copied commands go to the clipboard as the file format's text,
// so that another workbench can paste them, and as plain text for any other program.

#include <QList>
#include <QObject>
#include <memory>
#include <vector>

class CConfigTreePane;
class CDeviceConfig;
class CEditHistory;
class CGatewayView;
class CModbusCommand;
class CSlaveNode;
class CTreeCommands;
class CUserPrompt;
class QAction;
class QWidget;
struct TreeRecord;

class CCommandListCommands : public QObject {
    Q_OBJECT
public:
    // The actions in the order of the Edit menu.
    enum ListCommand { Duplicate, Cut, Copy, Paste, MoveUp, MoveDown };

    // The actions belong to window, which shows them in its Edit menu.
    CCommandListCommands(CDeviceConfig& root, CUserPrompt& prompt, CConfigTreePane& tree, CGatewayView& view,
                         CTreeCommands& treeCommands, CEditHistory& history, QWidget* window);

    QAction* Action(ListCommand command) const { return m_actions.at(command); }
    const QList<QAction*>& Actions() const { return m_actions; }
    // Enables each action from the selected tree entry and the clipboard.
    void RefreshActions();

signals:
    // One of the commands ran, whether it changed the configuration or not.
    void commandRun();

private:
    void CreateActions(QWidget* window);
    bool CopySelected();
    void CutSelected();
    void DuplicateSelected();
    void PasteCommands();
    void MoveSelected(int step);
    void MoveDragged(const TreeRecord& command, int to);
    void InsertCommands(CSlaveNode* slave, int position, std::vector<std::unique_ptr<CModbusCommand>> commands,
                        const QString& stepName);
    // Shows the slave node's commands again after a change of the list, selects the one at
    // selectIndex and records the undo step.
    void ShowListChange(CSlaveNode* slave, int selectIndex, const QString& stepName);

    CDeviceConfig& m_root;
    CUserPrompt& m_prompt;
    CConfigTreePane& m_tree;
    CGatewayView& m_view;
    CTreeCommands& m_treeCommands;
    CEditHistory& m_history;
    QWidget* m_window;
    QList<QAction*> m_actions;
};
