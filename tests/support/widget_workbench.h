#pragma once
// The main window for widget tests: a user prompt that answers from a script and records what
// was shown, a shown window on a configuration of its own, and mouse steps on the real tree
// and grid.

#include <QColor>
#include <QMenu>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>

#include "model/device_config.h"
#include "ui/config_tree_pane.h"
#include "ui/main_frame.h"
#include "ui/user_prompt.h"
#include "widgets/property_grid.h"

class QAction;
class QTreeWidgetItem;

namespace ui_test {

class CScriptedPrompt : public CUserPrompt {
public:
    void ShowMessage(QWidget*, const QString& text) override { messages.append(text); }
    bool AskYesNo(QWidget*, const QString& question) override
    {
        questions.append(question);
        return yesNo;
    }
    Answer AskYesNoCancel(QWidget*, const QString& question) override
    {
        questions.append(question);
        return saveAnswer;
    }
    QString AskOpenPath(QWidget*) override { return openPath; }
    QString AskSavePath(QWidget*) override { return savePath; }

    QStringList messages;
    QStringList questions;
    bool yesNo = true;
    Answer saveAnswer = Answer::Cancel;
    QString openPath;
    QString savePath;
};

// The menu bar's entry of a command of the command table; none when no menu has it.
QAction* MenuCommand(const QMainWindow& window, int commandId);
// A menu's entry of a command of the command table (the tree's context menu has them too).
QAction* CommandIn(const QMenu& menu, int commandId);

// Settings go to the test location, so that a user's recent-file list is never touched; every
// program starts with an empty list.
void UseTestSettings();

inline const QColor kGrey(200, 200, 200);
inline const QColor kWhite(255, 255, 255);
inline const QColor kRed(255, 0, 0);

struct Workbench {
    CDeviceConfig root;
    bool modified = false;
    CScriptedPrompt prompt;
    std::unique_ptr<CMainFrame> frame;

    Workbench();
    // Active on screen (again: a closed dialog does not hand the activation back offscreen).
    bool Ready();
    // A slave node with one command of each function index given, shown in the tree.
    void Fill(std::initializer_list<int> functions);

    // A part of the window (pane, tool bar, controller) by its class and object name.
    template <class Part>
    Part* Find(const QString& name = {}) const
    {
        return frame->findChild<Part*>(name);
    }
    CConfigTreePane* Tree() const { return Find<CConfigTreePane>(QStringLiteral("configTree")); }
    CPropertyGrid* Grid() const { return Find<CPropertyGrid>(); }
    // The menu bar's entry of a command; the tree's context menu; the recent files in the File
    // menu, newest first.
    QAction* Command(int commandId) const { return MenuCommand(*frame, commandId); }
    QMenu* ContextMenu() const { return Find<QMenu>(QStringLiteral("treeContextMenu")); }
    QList<QAction*> RecentFiles() const;
    // Presses keys (as "Ctrl+Z") in the focused widget, after activating the window when a
    // dialog or another program took the focus.
    void Press(const QString& keys);
    QTreeWidgetItem* Fieldbus() const;
    QTreeWidgetItem* Subnet() const;
    QTreeWidgetItem* Slave() const;
    QTreeWidgetItem* CommandEntry(int index) const;
    bool Enabled(int commandId) const { return Command(commandId)->isEnabled(); }
    // The function codes of the tree's commands in order, as "03 16".
    QString CommandCodes() const;

    // Left clicks on a tree entry and on a grid cell.
    void Click(QTreeWidgetItem* entry);
    void ClickCell(int row, int column);
    // Clicks the value cell, types into the text box that opened and presses Return. False when
    // no text box opened. A refused text leaves the text box open on its row.
    bool TypeValue(int row, const QString& text);
    // Clicks the value cell and picks an entry of the drop-down list that opened; true when the
    // list opened, offered the entry and closed with the pick.
    bool PickChoice(int row, const QString& text);
    // Grid rows that show an item.
    int FilledRows() const;
    QString Cell(int row, int column) const;
    QColor CellColour(int row) const;
};

} // namespace ui_test
