// The configuration tree: its entries, the enable rules of the four tree commands, adding and
// deleting the slave node and its commands (menu, context menu, Select Command), the command limit.

#include <QListWidget>
#include <QMenu>
#include <QToolBar>
#include <QTimer>

#include "model/lang_strings.h"
#include "ui/command_table.h"
#include "ui/select_command_dialog.h"
#include "ui/tree_commands.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

struct Enables {
    bool addNode, deleteNode, addCommand, deleteCommand;
};

Enables MenuEnables(const Workbench& bench)
{
    return {bench.Enabled(ID_ADD_NODE), bench.Enabled(ID_DELETE_NODE), bench.Enabled(ID_ADD_COMMAND),
            bench.Enabled(ID_DELETE_COMMAND)};
}

Enables ContextEnables(const Workbench& bench)
{
    const CMainFrame& frame = *bench.frame;
    return {frame.ContextAction(ID_ADD_NODE)->isEnabled(), frame.ContextAction(ID_DELETE_NODE)->isEnabled(),
            frame.ContextAction(ID_ADD_COMMAND)->isEnabled(), frame.ContextAction(ID_DELETE_COMMAND)->isEnabled()};
}

bool operator==(const Enables& a, const Enables& b)
{
    return a.addNode == b.addNode && a.deleteNode == b.deleteNode && a.addCommand == b.addCommand &&
           a.deleteCommand == b.deleteCommand;
}

void RightClick(Workbench& bench, const QPoint& where)
{
    // A right press opens the context menu through the tree's context-menu request.
    QContextMenuEvent event(QContextMenuEvent::Mouse, where, bench.Tree()->viewport()->mapToGlobal(where));
    QApplication::sendEvent(bench.Tree()->viewport(), &event);
}

// Adds a slave node through the Edit menu command.
void AddNodeByMenu(Workbench& bench)
{
    bench.Click(bench.Subnet());
    bench.frame->Action(ID_ADD_NODE)->trigger();
}

} // namespace

Q_DECLARE_METATYPE(Enables)

class TreePaneTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void freshTree();
    void enableRules_data();
    void enableRules();
    void addAndDeleteNode();
    void selectCommandDialogAddsAndStaysOpen();
    void commandLimit();
    void deleteCommandMovesSelection();
    void rightClickOnCommand();
    void rightClickBesideEntries();
    void contextMenuAddsNode();
    void modeSwitchHidesSlave();
};

void TreePaneTest::freshTree()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    QCOMPARE(bench.Tree()->topLevelItemCount(), 2);
    QCOMPARE(bench.Fieldbus()->text(0), QString("PROFIBUS"));
    QCOMPARE(bench.Subnet()->text(0), QString("Subnet"));
    QVERIFY(bench.Fieldbus()->isExpanded() && bench.Subnet()->isExpanded());
    QCOMPARE(bench.Subnet()->childCount(), 0);
    QCOMPARE(CConfigTreePane::RecordOf(bench.Fieldbus()).type, int(RECORD_FIELDBUS));
    QCOMPARE(CConfigTreePane::RecordOf(bench.Subnet()).type, int(RECORD_SUBNET));
    // Nothing selected yet: the grid is empty and no tree command is available.
    QCOMPARE(bench.FilledRows(), 0);
    QVERIFY(MenuEnables(bench) == (Enables{false, false, false, false}));
}

void TreePaneTest::enableRules_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Enables>("enables");
    QTest::newRow("PROFIBUS") << "fieldbus" << Enables{false, false, false, false};
    QTest::newRow("Subnet with node") << "subnet" << Enables{false, false, false, false};
    QTest::newRow("Node(1)") << "slave" << Enables{false, true, true, false};
    QTest::newRow("command") << "command" << Enables{false, false, false, true};
}

void TreePaneTest::enableRules()
{
    QFETCH(QString, entry);
    QFETCH(Enables, enables);
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    QVERIFY(MenuEnables(bench) == (Enables{true, false, false, false}));
    bench.frame->Action(ID_ADD_NODE)->trigger();
    bench.Click(bench.Slave());
    bench.frame->TreeCommands()->AddCommandOfFunction(2);

    bench.Click(entry == "fieldbus" ? bench.Fieldbus()
                : entry == "subnet" ? bench.Subnet()
                : entry == "slave"  ? bench.Slave()
                                    : bench.CommandEntry(0));
    QVERIFY(MenuEnables(bench) == enables);
    QVERIFY(ContextEnables(bench) == enables);
    // The tool-bar buttons are the same actions.
    QCOMPARE(bench.frame->MainToolBar()->actions().contains(bench.frame->Action(ID_DELETE_NODE)), true);
}

void TreePaneTest::addAndDeleteNode()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddNodeByMenu(bench);
    QCOMPARE(bench.Subnet()->childCount(), 1);
    QCOMPARE(bench.Slave()->text(0), QString("Node(1)"));
    QCOMPARE(CConfigTreePane::RecordOf(bench.Slave()).type, int(RECORD_SLAVE));
    QVERIFY(bench.modified);
    // The subnet stays selected; a second node is not allowed.
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.Subnet());
    QVERIFY(!bench.Enabled(ID_ADD_NODE));
    bench.frame->Action(ID_ADD_NODE)->trigger();
    QCOMPARE(bench.root.Subnet().GetNodeCount(), 1);

    // A node with commands goes with them.
    bench.Click(bench.Slave());
    bench.frame->TreeCommands()->AddCommandOfFunction(2);
    bench.frame->TreeCommands()->AddCommandOfFunction(13);
    QCOMPARE(bench.Slave()->childCount(), 2);
    bench.frame->Action(ID_DELETE_NODE)->trigger();
    QCOMPARE(bench.Subnet()->childCount(), 0);
    QCOMPARE(bench.root.Subnet().GetNodeCount(), 0);
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.Subnet());
    QCOMPARE(bench.FilledRows(), 12);
    QVERIFY(bench.Enabled(ID_ADD_NODE));

    bench.frame->Action(ID_ADD_NODE)->trigger();
    QCOMPARE(bench.Slave()->text(0), QString("Node(1)"));
    QCOMPARE(bench.Slave()->childCount(), 0);
}

void TreePaneTest::selectCommandDialogAddsAndStaysOpen()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddNodeByMenu(bench);
    bench.Click(bench.Slave());

    QStringList listed;
    bool stayedOpen = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CSelectCommandDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        QListWidget* list = dialog->List();
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        for (const char* name : {"16 Preset Multiple Registers", "03 Read Holding Register", "07 Read Exception Status"}) {
            QListWidgetItem* entry = list->findItems(name, Qt::MatchExactly).value(0);
            if (!entry)
                continue;
            const QRect where = list->visualItemRect(entry);
            // A double click arrives as a click followed by the double-click press.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where.center());
        }
        stayedOpen = dialog->isVisible();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    bench.frame->Action(ID_ADD_COMMAND)->trigger();

    QCOMPARE(listed.size(), 14);
    for (int i = 0; i < 14; ++i)
        QCOMPARE(listed.at(i), QString::fromUtf8(GetLangString(33 + i).c_str()));
    QVERIFY(stayedOpen);
    // Function 07 yields no command; the other two are added in the order they were chosen.
    QCOMPARE(bench.Slave()->childCount(), 2);
    QCOMPARE(bench.CommandEntry(0)->text(0), QString("16 Preset Multiple Registers"));
    QCOMPARE(bench.CommandEntry(1)->text(0), QString("03 Read Holding Register"));
    QCOMPARE(CConfigTreePane::RecordOf(bench.CommandEntry(0)).type, int(RECORD_COMMAND));
    QCOMPARE(bench.CommandEntry(0)->icon(0).cacheKey() == 0, false);
    QVERIFY(bench.Slave()->isExpanded());
}

void TreePaneTest::commandLimit()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddNodeByMenu(bench);
    bench.Click(bench.Slave());
    CTreeCommands* commands = bench.frame->TreeCommands();
    for (int i = 0; i < 48; ++i)
        commands->AddCommandOfFunction(i % 2 == 0 ? 2 : 13);
    QCOMPARE(bench.Slave()->childCount(), 48);
    QVERIFY(bench.prompt.messages.isEmpty());

    commands->AddCommandOfFunction(2);
    QCOMPARE(bench.prompt.messages, QStringList{"MODBUS Command number is more than 48!"});
    QCOMPARE(bench.Slave()->childCount(), 48);
    QCOMPARE(bench.root.GetCommandCount(), 48);

    bench.Click(bench.CommandEntry(47));
    bench.frame->Action(ID_DELETE_COMMAND)->trigger();
    QCOMPARE(bench.Slave()->childCount(), 47);
    bench.Click(bench.Slave());
    commands->AddCommandOfFunction(0);
    QCOMPARE(bench.Slave()->childCount(), 48);
    QCOMPARE(bench.CommandEntry(47)->text(0), QString("01 Read Coil Status"));
    QCOMPARE(bench.prompt.messages.size(), 1);
}

void TreePaneTest::deleteCommandMovesSelection()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddNodeByMenu(bench);
    bench.Click(bench.Slave());
    for (const int function : {0, 2, 13})
        bench.frame->TreeCommands()->AddCommandOfFunction(function);
    bench.Click(bench.CommandEntry(1));
    bench.frame->Action(ID_DELETE_COMMAND)->trigger();
    // The next command takes the selection and the grid shows it.
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(1));
    QCOMPARE(bench.CommandEntry(1)->text(0), QString("16 Preset Multiple Registers"));
    QCOMPARE(bench.Cell(CMD_ROW_FUNCTION_CODE, 1), QString("16"));
    bench.frame->Action(ID_DELETE_COMMAND)->trigger();
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(0));
    bench.frame->Action(ID_DELETE_COMMAND)->trigger();
    // The last one: the slave node is selected.
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.Slave());
    QCOMPARE(bench.FilledRows(), 1);
    QCOMPARE(bench.root.Subnet().GetNodeAt(0)->GetCommandCount(), 0);
}

void TreePaneTest::rightClickOnCommand()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddNodeByMenu(bench);
    bench.Click(bench.Slave());
    bench.frame->TreeCommands()->AddCommandOfFunction(2);
    bench.Click(bench.Fieldbus());

    RightClick(bench, bench.Tree()->visualItemRect(bench.CommandEntry(0)).center());
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(0));
    QCOMPARE(bench.FilledRows(), 10);
    QMenu* menu = bench.frame->ContextMenu();
    QTRY_VERIFY(menu->isVisible());
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{"Add Node", "Delete Node", "Add Command", "Delete Command"}));
    QVERIFY(ContextEnables(bench) == (Enables{false, false, false, true}));

    menu->hide();
    bench.frame->ContextAction(ID_DELETE_COMMAND)->trigger();
    QCOMPARE(bench.Slave()->childCount(), 0);
}

void TreePaneTest::rightClickBesideEntries()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    const QRect last = bench.Tree()->visualItemRect(bench.Subnet());
    RightClick(bench, QPoint(last.center().x(), last.bottom() + 60));
    QVERIFY(!bench.frame->ContextMenu()->isVisible());
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.Subnet());
}

void TreePaneTest::contextMenuAddsNode()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    RightClick(bench, bench.Tree()->visualItemRect(bench.Subnet()).center());
    QTRY_VERIFY(bench.frame->ContextMenu()->isVisible());
    QVERIFY(ContextEnables(bench) == (Enables{true, false, false, false}));
    bench.frame->ContextMenu()->hide();
    bench.frame->ContextAction(ID_ADD_NODE)->trigger();
    QCOMPARE(bench.Subnet()->childCount(), 1);
}

void TreePaneTest::modeSwitchHidesSlave()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddNodeByMenu(bench);
    bench.Click(bench.Slave());
    bench.frame->TreeCommands()->AddCommandOfFunction(2);
    bench.Click(bench.Subnet());
    QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, QString::fromUtf8(GetLangString(21).c_str())));
    QCOMPARE(bench.Subnet()->childCount(), 0);
    QCOMPARE(bench.root.Subnet().GetNodeCount(), 1);
    // In User Config mode no node can be added, even with the subnet selected.
    bench.Click(bench.Subnet());
    QVERIFY(!bench.Enabled(ID_ADD_NODE));
    QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, QString::fromUtf8(GetLangString(20).c_str())));
    QCOMPARE(bench.Subnet()->childCount(), 1);
    QCOMPARE(bench.Slave()->child(0)->text(0), QString("03 Read Holding Register"));
}

QTEST_MAIN(TreePaneTest)
#include "tree_pane_test.moc"
