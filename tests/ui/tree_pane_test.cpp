// The configuration tree: the enable rules of the four tree commands in the menu and the context
// menu, adding and deleting the slave node and its commands, the Select Command dialog by
// keyboard and mouse.

#include <QtTest>
#include <QtWidgets>

#include "support/widget_workbench.h"
#include "ui/command_table.h"
#include "ui/select_command_dialog.h"
#include "ui/tree_commands.h"
#include "ui/ui_text.h"

using namespace ui_test;

namespace {

const int kTreeCommands[] = {ID_ADD_NODE, ID_DELETE_NODE, ID_ADD_COMMAND, ID_DELETE_COMMAND};

// "1010": which of the four tree commands are enabled, in the menu and in the context menu.
QString Enables(const Workbench& bench, bool context)
{
    QString flags;
    for (const int id : kTreeCommands)
        flags += (context ? CommandIn(*bench.ContextMenu(), id) : bench.Command(id))->isEnabled() ? '1' : '0';
    return flags;
}

void RightClick(Workbench& bench, const QPoint& where)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, where, bench.Tree()->viewport()->mapToGlobal(where));
    QApplication::sendEvent(bench.Tree()->viewport(), &event);
}

// A slave node added through the Edit menu, with commands of the given function indexes.
void AddNode(Workbench& bench, std::initializer_list<int> functions = {})
{
    bench.Click(bench.Subnet());
    bench.Command(ID_ADD_NODE)->trigger();
    bench.Click(bench.Slave());
    for (const int function : functions)
        bench.Find<CTreeCommands>()->AddCommandOfFunction(function);
}

} // namespace

class TreePaneTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void enableRules()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        QCOMPARE(Enables(bench, false), QString("0000"));   // nothing selected yet
        bench.Click(bench.Subnet());
        QCOMPARE(Enables(bench, false), QString("1000"));
        AddNode(bench, {2});
        const std::pair<QTreeWidgetItem*, const char*> rules[] = {
            {bench.Fieldbus(), "0000"}, {bench.Subnet(), "0000"}, {bench.Slave(), "0110"}, {bench.CommandEntry(0), "0001"}};
        for (const auto& [entry, enables] : rules) {
            bench.Click(entry);
            QCOMPARE(Enables(bench, false), QString(enables));
            QCOMPARE(Enables(bench, true), QString(enables));
        }
    }

    void addAndDeleteNode()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        AddNode(bench, {2, 13});
        QCOMPARE(bench.Slave()->text(0), QString("Node(1)"));
        QVERIFY(bench.modified);
        // A node with commands goes with them; the subnet is selected and may take a new one.
        bench.Command(ID_DELETE_NODE)->trigger();
        QCOMPARE(bench.Subnet()->childCount(), 0);
        QCOMPARE(bench.root.Subnet().GetNodeCount(), 0);
        QCOMPARE(bench.Tree()->SelectedEntry(), bench.Subnet());
        bench.Command(ID_ADD_NODE)->trigger();
        QCOMPARE(bench.Slave()->childCount(), 0);
        // A second node is not allowed.
        bench.Command(ID_ADD_NODE)->trigger();
        QCOMPARE(bench.root.Subnet().GetNodeCount(), 1);
    }

    void selectCommandDialog()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        AddNode(bench);
        QStringList greyed;
        bool closedByEscape = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<CSelectCommandDlg*>(QApplication::activeModalWidget());
            QListWidget* list = dialog ? dialog->List() : nullptr;
            if (!list || !QTest::qWaitForWindowActive(dialog) || !QTest::qWaitFor([&] { return list->hasFocus(); }))
                return dialog ? dialog->reject() : void();
            for (int i = 0; i < list->count(); ++i)
                if (!(list->item(i)->flags() & Qt::ItemIsEnabled) && !list->item(i)->toolTip().isEmpty())
                    greyed << list->item(i)->text().left(2);
            // 01, then two steps down to 03; the greyed 07 and 08 are skipped from 06 to 15.
            const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return, Qt::Key_Down,
                                    Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return};
            for (const Qt::Key key : keys)
                QTest::keyClick(QApplication::focusWidget(), key);
            // A double-click adds too; one on the greyed 07 adds nothing.
            for (const char* name : {"16 Preset Multiple Registers", "07 Read Exception Status"}) {
                const QPoint where = list->visualItemRect(list->findItems(name, Qt::MatchExactly).value(0)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            closedByEscape = !dialog->isVisible();
            dialog->reject();
        });
        bench.Command(ID_ADD_COMMAND)->trigger();
        QVERIFY(closedByEscape);
        QCOMPARE(greyed, (QStringList{"07", "08", "11", "12", "13", "14"}));
        QCOMPARE(bench.CommandCodes(), QString("01 03 15 16"));
    }

    void deleteCommandMovesSelection()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        AddNode(bench, {0, 2, 13});
        bench.Click(bench.CommandEntry(1));
        // The next command takes the selection and the grid shows it; after the last, the node.
        const std::pair<int, QString> steps[] = {{1, "16"}, {0, "1"}, {-1, "1"}};
        for (const auto& [selected, code] : steps) {
            bench.Command(ID_DELETE_COMMAND)->trigger();
            QCOMPARE(bench.Tree()->SelectedEntry(), selected < 0 ? bench.Slave() : bench.CommandEntry(selected));
            QCOMPARE(bench.Cell(CMD_ROW_FUNCTION_CODE, 1), code);
        }
        QCOMPARE(bench.root.Subnet().GetNodeAt(0)->GetCommandCount(), 0);
    }

    void contextMenu()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        QMenu* menu = bench.ContextMenu();
        RightClick(bench, bench.Tree()->visualItemRect(bench.Subnet()).center());
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        CommandIn(*bench.ContextMenu(), ID_ADD_NODE)->trigger();
        QCOMPARE(bench.Subnet()->childCount(), 1);
        // On a command: it is selected and shown, and the menu deletes it.
        bench.Click(bench.Slave());
        bench.Find<CTreeCommands>()->AddCommandOfFunction(2);
        bench.Click(bench.Fieldbus());
        RightClick(bench, bench.Tree()->visualItemRect(bench.CommandEntry(0)).center());
        QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(0));
        QCOMPARE(bench.FilledRows(), 10);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        CommandIn(*bench.ContextMenu(), ID_DELETE_COMMAND)->trigger();
        QCOMPARE(bench.Slave()->childCount(), 0);
    }
};

QTEST_MAIN(TreePaneTest)
#include "tree_pane_test.moc"
