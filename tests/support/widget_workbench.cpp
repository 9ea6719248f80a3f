#include "support/widget_workbench.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

#include "ui/gateway_app.h"

namespace ui_test {

QAction* CommandIn(const QMenu& menu, int commandId)
{
    for (QAction* action : menu.actions()) {
        if (action->data().isValid() && action->data().toInt() == commandId)
            return action;
        if (QAction* inner = action->menu() ? CommandIn(*action->menu(), commandId) : nullptr)
            return inner;
    }
    return nullptr;
}

QAction* MenuCommand(const QMainWindow& window, int commandId)
{
    for (const QAction* top : window.menuBar()->actions())
        if (QAction* action = top->menu() ? CommandIn(*top->menu(), commandId) : nullptr)
            return action;
    return nullptr;
}

void UseTestSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    SetWorkbenchSettingsNames();
    QSettings().remove(QStringLiteral("Recent File List"));
}

Workbench::Workbench() : frame(std::make_unique<CMainFrame>(root, modified, prompt))
{
    frame->StartUp(std::nullopt);
    frame->show();
    frame->activateWindow();
}

bool Workbench::Ready()
{
    frame->activateWindow();
    return QTest::qWaitForWindowActive(frame.get());
}

void Workbench::Fill(std::initializer_list<int> functions)
{
    CSlaveNode* slave = root.Subnet().AddNode();
    for (const int function : functions)
        slave->AddCommand(function);
    frame->StartUp(std::nullopt);
}

QTreeWidgetItem* Workbench::Fieldbus() const { return Tree()->topLevelItem(0); }
QTreeWidgetItem* Workbench::Subnet() const { return Tree()->topLevelItem(1); }
QTreeWidgetItem* Workbench::Slave() const { return Subnet() ? Subnet()->child(0) : nullptr; }
QTreeWidgetItem* Workbench::CommandEntry(int index) const { return Slave() ? Slave()->child(index) : nullptr; }

QList<QAction*> Workbench::RecentFiles() const
{
    QList<QAction*> files;
    for (QAction* action : frame->menuBar()->actions().constFirst()->menu()->actions())
        if (action->objectName() == QStringLiteral("recentFile"))
            files << action;
    return files;
}

void Workbench::Press(const QString& keys)
{
    if (!QApplication::focusWidget())
        frame->activateWindow();
    QTRY_VERIFY(QApplication::focusWidget());
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys));
}

QString Workbench::CommandCodes() const
{
    QStringList codes;
    for (int i = 0; CommandEntry(i); ++i)
        codes << CommandEntry(i)->text(0).left(2);
    return codes.join(' ');
}

void Workbench::Click(QTreeWidgetItem* entry)
{
    Tree()->scrollToItem(entry);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(entry).center());
}

void Workbench::ClickCell(int row, int column)
{
    CPropertyGrid* grid = Grid();
    const QModelIndex cell = grid->model()->index(row, column);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

bool Workbench::TypeValue(int row, const QString& text)
{
    ClickCell(row, 1);
    QLineEdit* editor = Grid()->TextEditor();
    if (!editor || !editor->hasFocus())
        return false;
    if (text.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    return true;
}

bool Workbench::PickChoice(int row, const QString& text)
{
    ClickCell(row, 1);
    QComboBox* combo = Grid()->ChoiceEditor();
    const int index = combo ? combo->findText(text) : -1;
    QAbstractItemView* list = combo ? combo->view() : nullptr;
    if (index < 0 || !list->isVisible())
        return false;
    const QModelIndex entry = list->model()->index(index, 0);
    list->scrollTo(entry);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
    return !Grid()->Editor();
}

int Workbench::FilledRows() const
{
    int rows = 0;
    while (Grid()->ItemAtRow(rows))
        ++rows;
    return rows;
}

QString Workbench::Cell(int row, int column) const { return Grid()->CellText(row, column); }

QColor Workbench::CellColour(int row) const { return Grid()->ValueColour(row); }

} // namespace ui_test
