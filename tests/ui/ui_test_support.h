#pragma once
// Helpers of the main-window tests: a user prompt that answers from a script and records what
// was shown, a main window on its own configuration, and mouse and keyboard steps on the real
// tree and grid.

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <deque>
#include <memory>

#include "model/device_config.h"
#include "ui/config_tree_pane.h"
#include "ui/gateway_app.h"
#include "ui/gateway_view.h"
#include "ui/main_frame.h"
#include "ui/user_prompt.h"
#include "widgets/property_grid.h"

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
    QString AskSavePath(QWidget*) override
    {
        ++savePathAsked;
        return savePath;
    }

    QStringList messages;
    QStringList questions;
    bool yesNo = true;
    Answer saveAnswer = Answer::Cancel;
    QString openPath;
    QString savePath;
    int savePathAsked = 0;
};

// Settings go to the test location, so that the recent-file list of a user is never touched;
// every test program starts with an empty list.
inline void UseTestSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    SetWorkbenchSettingsNames();
    QSettings().remove(QStringLiteral("Recent File List"));
}

// A shown, active main window on a configuration of its own.
struct Workbench {
    CDeviceConfig root;
    bool modified = false;
    CScriptedPrompt prompt;
    std::unique_ptr<CMainFrame> frame;

    Workbench() : frame(std::make_unique<CMainFrame>(root, modified, prompt))
    {
        frame->StartUp(std::nullopt);
        frame->show();
        frame->activateWindow();
    }
    bool Ready() { return QTest::qWaitForWindowActive(frame.get()); }

    CConfigTreePane* Tree() const { return frame->Tree(); }
    CPropertyGrid* Grid() const { return frame->View()->Grid(); }
    QTreeWidgetItem* Fieldbus() const { return Tree()->topLevelItem(0); }
    QTreeWidgetItem* Subnet() const { return Tree()->topLevelItem(1); }
    QTreeWidgetItem* Slave() const { return Subnet() ? Subnet()->child(0) : nullptr; }
    QTreeWidgetItem* CommandEntry(int index) const { return Slave() ? Slave()->child(index) : nullptr; }

    // A left click on a tree entry.
    void Click(QTreeWidgetItem* entry)
    {
        Tree()->scrollToItem(entry);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(entry).center());
    }
    // A left click on a grid cell.
    void ClickCell(int row, int column)
    {
        CPropertyGrid* grid = Grid();
        grid->scrollToItem(grid->item(row, column));
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // Clicks the value cell, types into the text box that opened and presses Return. False when
    // no text box opened.
    bool TypeValue(int row, const QString& text)
    {
        ClickCell(row, 1);
        QLineEdit* editor = Grid()->TextEditor();
        if (!editor->isVisible() || !editor->hasFocus())
            return false;
        if (text.isEmpty())
            QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        return !editor->isVisible();
    }
    // Clicks the value cell and picks an entry of the drop-down list that opened.
    bool PickChoice(int row, const QString& text)
    {
        ClickCell(row, 1);
        QComboBox* combo = Grid()->ChoiceEditor();
        if (!combo->isVisible())
            return false;
        const int index = combo->findText(text);
        QAbstractItemView* list = combo->view();
        if (index < 0 || !list->isVisible())
            return false;
        const QModelIndex entry = list->model()->index(index, 0);
        list->scrollTo(entry);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
        return !combo->isVisible();
    }
    // Number of grid rows that show an item.
    int FilledRows() const
    {
        int rows = 0;
        while (Grid()->ItemAtRow(rows))
            ++rows;
        return rows;
    }
    QString Cell(int row, int column) const
    {
        const QTableWidgetItem* cell = Grid()->item(row, column);
        return cell ? cell->text() : QString();
    }
    QColor CellColour(int row) const { return Grid()->item(row, 1)->background().color(); }
    bool Enabled(int commandId) const { return frame->Action(commandId)->isEnabled(); }
};

inline const QColor kGrey(200, 200, 200);
inline const QColor kWhite(255, 255, 255);

} // namespace ui_test
