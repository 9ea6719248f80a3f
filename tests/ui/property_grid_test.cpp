// The property grid of the main window: rows of each node, the text-box and drop-down editors,
// the checks and rewrites of committed values, the choice rules and the annotation pane.

#include <QPlainTextEdit>
#include <QTest>

#include "model/lang_strings.h"
#include "ui/command_table.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

// A slave node with one command of each function index given, shown in the tree.
void AddSlave(Workbench& bench, std::initializer_list<int> functions)
{
    CSlaveNode* slave = bench.root.Subnet().AddNode();
    for (const int function : functions)
        slave->AddCommand(function);
    bench.frame->StartUp(std::nullopt);
}

QString Lang(int id)
{
    return QString::fromUtf8(GetLangString(id).c_str());
}

} // namespace

class PropertyGridTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void rowsOfEachNode_data();
    void rowsOfEachNode();
    void commitText_data();
    void commitText();
    void slaveAddressRenamesTreeEntry();
    void asciiTransmissionLimitsDataCount();
    void labelClickShowsHelpWithoutEditor();
    void greyCellShowsHelpOnly();
    void focusLossCommitsText();
    void frameTypeRules_data();
    void frameTypeRules();
    void autoSendingPeriodFollowsChoice();
    void sameChoiceLeavesModifiedFlag();
    void fieldbusTimeoutTakesTypedNumbers_data();
    void fieldbusTimeoutTakesTypedNumbers();
    void modeSwitchChangesRowsAndCommands();
    void openEditorCommitsBeforeDeleteCommand();
};

void PropertyGridTest::rowsOfEachNode_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("firstLabel");
    QTest::newRow("PROFIBUS") << "fieldbus" << 5 << Lang(59);
    QTest::newRow("Subnet") << "subnet" << 12 << Lang(4001);
    QTest::newRow("Node(1)") << "slave" << 1 << Lang(49);
    QTest::newRow("command") << "command" << 10 << Lang(3051);
}

void PropertyGridTest::rowsOfEachNode()
{
    QFETCH(QString, entry);
    QFETCH(int, rows);
    QFETCH(QString, firstLabel);
    Workbench bench;
    QVERIFY(bench.Ready());
    AddSlave(bench, {2});
    QTreeWidgetItem* target = entry == "fieldbus" ? bench.Fieldbus()
                            : entry == "subnet"   ? bench.Subnet()
                            : entry == "slave"    ? bench.Slave()
                                                  : bench.CommandEntry(0);
    bench.Click(target);
    QCOMPARE(bench.FilledRows(), rows);
    QCOMPARE(bench.Cell(0, 0), firstLabel);
    for (int row = 0; row < rows; ++row) {
        const CParamItem* item = bench.Grid()->ItemAtRow(row);
        QCOMPARE(bench.Cell(row, 0), QString::fromUtf8(item->label.c_str()));
        QCOMPARE(bench.Cell(row, 1), QString::fromUtf8(item->value.c_str()));
        QCOMPARE(bench.CellColour(row), item->enable == 1 ? kWhite : kGrey);
    }
    // The rows below the items stay empty and white.
    QVERIFY(bench.Grid()->rowCount() >= CPropertyGrid::kGridRows);
    QCOMPARE(bench.Cell(rows, 0), QString());
    QCOMPARE(bench.CellColour(rows), kWhite);
    QVERIFY(!bench.modified);
}

void PropertyGridTest::commitText_data()
{
    QTest::addColumn<QString>("entry");     // subnet, slave or command:<function index>
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("modified");

    const QString outOfRange = Lang(5009);
    QTest::newRow("timeout 500") << "subnet" << 7 << "500" << "500" << "" << true;
    QTest::newRow("timeout 70000") << "subnet" << 7 << "70000" << "300" << outOfRange << false;
    QTest::newRow("timeout empty") << "subnet" << 7 << "" << "300" << Lang(5007) << false;
    QTest::newRow("timeout 5x0") << "subnet" << 7 << "5x0" << "300" << Lang(5008) << false;
    QTest::newRow("timeout unchanged") << "subnet" << 7 << "300" << "300" << "" << false;
    QTest::newRow("delay 2345 rounds") << "subnet" << 8 << "2345" << "2340" << "" << true;
    QTest::newRow("delay 2501") << "subnet" << 8 << "2501" << "0" << outOfRange << false;
    QTest::newRow("scan rate 0") << "subnet" << 11 << "0" << "10" << outOfRange << false;
    QTest::newRow("scan rate 255") << "subnet" << 11 << "255" << "255" << "" << true;
    QTest::newRow("slave address 248") << "slave" << 0 << "248" << "1" << outOfRange << false;
    QTest::newRow("start address 65535") << "command:2" << 1 << "65535" << "65535" << "" << true;
    QTest::newRow("registers 300") << "command:2" << 2 << "300" << "" << outOfRange << false;
    QTest::newRow("registers 122") << "command:2" << 2 << "122" << "122" << "" << true;
    QTest::newRow("coils 400") << "command:0" << 2 << "400" << "400" << "" << true;
    QTest::newRow("read address 10") << "command:2" << 3 << "10" << "10H" << "" << true;
    QTest::newRow("read address 1a") << "command:2" << 3 << "1a" << "1AH" << "" << true;
    QTest::newRow("write address 40f4h") << "command:13" << 3 << "40f4h" << "" << outOfRange << false;
    QTest::newRow("write address 40f3h") << "command:13" << 3 << "40f3h" << "40F3H" << "" << true;
    QTest::newRow("mapping bit 8") << "command:0" << 4 << "8" << "0" << outOfRange << false;
}

void PropertyGridTest::commitText()
{
    QFETCH(QString, entry);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    QFETCH(bool, modified);

    Workbench bench;
    QVERIFY(bench.Ready());
    const int function = entry.startsWith("command:") ? entry.mid(8).toInt() : 2;
    AddSlave(bench, {function});
    bench.Click(entry == "subnet" ? bench.Subnet() : entry == "slave" ? bench.Slave() : bench.CommandEntry(0));
    CParamItem* item = bench.Grid()->ItemAtRow(row);
    QVERIFY(item);

    QVERIFY(bench.TypeValue(row, typed));
    QCOMPARE(QString::fromUtf8(item->value.c_str()), stored);
    QCOMPARE(bench.Cell(row, 1), stored);
    QCOMPARE(bench.prompt.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(bench.modified, modified);
    // Return gave the focus back to the grid.
    QVERIFY(bench.Grid()->hasFocus());
}

void PropertyGridTest::slaveAddressRenamesTreeEntry()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddSlave(bench, {2});
    bench.Click(bench.Slave());
    QVERIFY(bench.TypeValue(SLAVE_ROW_ADDRESS, "12"));
    QCOMPARE(bench.Slave()->text(0), QString("Node(12)"));
    QCOMPARE(bench.root.Subnet().GetNodeAt(0)->GetName(), std::string("Node(12)"));
    QVERIFY(bench.modified);
}

void PropertyGridTest::asciiTransmissionLimitsDataCount()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.root.Subnet().GetItemAt(SUBNET_ROW_TRANSMISSION)->value = "ASCII";
    AddSlave(bench, {2});
    bench.Click(bench.CommandEntry(0));
    QVERIFY(bench.TypeValue(CMD_ROW_DATA_COUNT, "46"));
    QCOMPARE(bench.prompt.messages, QStringList{Lang(5009)});
    QCOMPARE(bench.Cell(CMD_ROW_DATA_COUNT, 1), QString());
    QVERIFY(bench.TypeValue(CMD_ROW_DATA_COUNT, "45"));
    QCOMPARE(bench.Cell(CMD_ROW_DATA_COUNT, 1), QString("45"));
}

void PropertyGridTest::labelClickShowsHelpWithoutEditor()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    bench.ClickCell(SUBNET_ROW_RESPONSE_TIMEOUT, 0);
    QVERIFY(!bench.Grid()->TextEditor()->isVisible());
    QVERIFY(!bench.Grid()->ChoiceEditor()->isVisible());
    QString help = Lang(4014);
    help.replace("\r\n", "\n");
    QCOMPARE(bench.frame->Annotation()->toPlainText(), help);
    // Another selection in the tree empties the pane.
    bench.Click(bench.Fieldbus());
    QCOMPARE(bench.frame->Annotation()->toPlainText(), QString());
}

void PropertyGridTest::greyCellShowsHelpOnly()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    QCOMPARE(bench.CellColour(SUBNET_ROW_OUTPUT_PULSE), kGrey);
    bench.ClickCell(SUBNET_ROW_OUTPUT_PULSE, 1);
    QVERIFY(!bench.Grid()->TextEditor()->isVisible());
    QVERIFY(!bench.Grid()->ChoiceEditor()->isVisible());
    QCOMPARE(bench.frame->Annotation()->toPlainText(), Lang(4020).replace("\r\n", "\n"));
}

void PropertyGridTest::focusLossCommitsText()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    bench.ClickCell(SUBNET_ROW_RESPONSE_TIMEOUT, 1);
    QLineEdit* editor = bench.Grid()->TextEditor();
    QVERIFY(editor->isVisible());
    // The text box lies exactly over the value cell.
    QCOMPARE(editor->geometry(),
             bench.Grid()->visualRect(bench.Grid()->model()->index(SUBNET_ROW_RESPONSE_TIMEOUT, 1)));
    QTest::keyClicks(editor, "750");
    // A click on another cell takes the focus and commits the first edit before the next opens.
    bench.ClickCell(SUBNET_ROW_SCAN_RATE, 1);
    QCOMPARE(bench.Cell(SUBNET_ROW_RESPONSE_TIMEOUT, 1), QString("750"));
    QVERIFY(bench.modified);
    QVERIFY(editor->isVisible());
    QCOMPARE(bench.Grid()->EditRow(), int(SUBNET_ROW_SCAN_RATE));
    QCOMPARE(editor->text(), QString("10"));
    // A click in the tree commits too, and the grid then shows the other node.
    QTest::keyClicks(editor, "20");
    bench.Click(bench.Fieldbus());
    QCOMPARE(bench.root.Subnet().GetItemAt(SUBNET_ROW_SCAN_RATE)->value, std::string("20"));
    QCOMPARE(bench.FilledRows(), 5);
}

void PropertyGridTest::frameTypeRules_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<bool>("frameLength");
    QTest::addColumn<bool>("delimiters");
    QTest::addColumn<bool>("crc");
    QTest::newRow("Frame Length") << Lang(22) << true << false << true;
    QTest::newRow("Delimiter") << Lang(23) << false << true << false;
    QTest::newRow("Time Interval") << Lang(24) << false << false << true;
}

void PropertyGridTest::frameTypeRules()
{
    QFETCH(QString, picked);
    QFETCH(bool, frameLength);
    QFETCH(bool, delimiters);
    QFETCH(bool, crc);
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, Lang(21)));
    QCOMPARE(bench.FilledRows(), 20);
    // CRC enabled beforehand, so that the Delimiter rule visibly forces it off.
    QVERIFY(bench.PickChoice(SUBNET_ROW_CRC_CHECK, Lang(26)));

    QVERIFY(bench.PickChoice(SUBNET_ROW_FRAME_TYPE, picked));
    QCOMPARE(bench.Cell(SUBNET_ROW_FRAME_TYPE, 1), picked);
    QCOMPARE(bench.CellColour(SUBNET_ROW_FRAME_LENGTH), frameLength ? kWhite : kGrey);
    QCOMPARE(bench.CellColour(SUBNET_ROW_START_DELIMITER), delimiters ? kWhite : kGrey);
    QCOMPARE(bench.CellColour(SUBNET_ROW_END_DELIMITER), delimiters ? kWhite : kGrey);
    QCOMPARE(bench.CellColour(SUBNET_ROW_CRC_CHECK), crc ? kWhite : kGrey);
    QCOMPARE(bench.Cell(SUBNET_ROW_CRC_CHECK, 1), crc ? Lang(26) : Lang(25));
    QCOMPARE(bench.Cell(SUBNET_ROW_CHAR_INTERVAL, 1), QString("10"));
    // A greyed row offers no editor any more; an enabled one does.
    bench.ClickCell(SUBNET_ROW_FRAME_LENGTH, 1);
    QCOMPARE(bench.Grid()->TextEditor()->isVisible(), frameLength);
    bench.Grid()->FinishEditing();
}

void PropertyGridTest::autoSendingPeriodFollowsChoice()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, Lang(21)));
    QCOMPARE(bench.CellColour(SUBNET_ROW_AUTO_SEND_PERIOD), kGrey);
    QVERIFY(bench.PickChoice(SUBNET_ROW_AUTO_SEND, Lang(26)));
    QCOMPARE(bench.CellColour(SUBNET_ROW_AUTO_SEND_PERIOD), kWhite);
    QVERIFY(bench.TypeValue(SUBNET_ROW_AUTO_SEND_PERIOD, "5"));
    QCOMPARE(bench.prompt.messages, QStringList{Lang(5009)});
    QVERIFY(bench.PickChoice(SUBNET_ROW_AUTO_SEND, Lang(25)));
    QCOMPARE(bench.CellColour(SUBNET_ROW_AUTO_SEND_PERIOD), kGrey);
    QCOMPARE(bench.Cell(SUBNET_ROW_AUTO_SEND_PERIOD, 1), QString("1000"));
}

void PropertyGridTest::sameChoiceLeavesModifiedFlag()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    QVERIFY(bench.PickChoice(SUBNET_ROW_BAUD_RATE, "19200"));
    QVERIFY(!bench.modified);
    QVERIFY(bench.PickChoice(SUBNET_ROW_BAUD_RATE, "9600"));
    QVERIFY(bench.modified);
    QCOMPARE(bench.root.Subnet().GetItemAt(SUBNET_ROW_BAUD_RATE)->value, std::string("9600"));
    // Closing the list without a pick leaves the value.
    bench.ClickCell(SUBNET_ROW_CHECK_BIT, 1);
    QVERIFY(bench.Grid()->ChoiceEditor()->isVisible());
    bench.Grid()->FinishEditing();
    QCOMPARE(bench.Cell(SUBNET_ROW_CHECK_BIT, 1), Lang(71));
}

void PropertyGridTest::fieldbusTimeoutTakesTypedNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("message");
    QTest::newRow("0") << "0" << Lang(86) << Lang(5009);
    QTest::newRow("60001") << "60001" << Lang(86) << Lang(5009);
    QTest::newRow("250") << "250" << "250" << "";
    QTest::newRow("Customized") << Lang(87) << Lang(86) << Lang(5008);
}

void PropertyGridTest::fieldbusTimeoutTakesTypedNumbers()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Fieldbus());
    bench.ClickCell(BUS_ROW_PROBE_TIMEOUT, 1);
    QComboBox* combo = bench.Grid()->ChoiceEditor();
    QVERIFY(combo->isVisible() && combo->isEditable());
    combo->hidePopup();
    QLineEdit* edit = combo->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    // Return goes where the keyboard sends it: to the focused combo box, not to its line edit.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!combo->isVisible());
    QCOMPARE(bench.Cell(BUS_ROW_PROBE_TIMEOUT, 1), stored);
    QCOMPARE(QString::fromUtf8(bench.root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value.c_str()), stored);
    QCOMPARE(bench.prompt.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(bench.modified, message.isEmpty());

    // "Default Value" picked from the list is stored as it stands.
    QVERIFY(bench.PickChoice(BUS_ROW_PROBE_TIMEOUT, Lang(86)));
    QCOMPARE(bench.Cell(BUS_ROW_PROBE_TIMEOUT, 1), Lang(86));
}

void PropertyGridTest::modeSwitchChangesRowsAndCommands()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddSlave(bench, {2, 3});
    bench.Click(bench.Subnet());
    QCOMPARE(bench.FilledRows(), 12);
    QVERIFY(bench.Enabled(ID_AUTO_MAPPING) && bench.Enabled(ID_CONFLICT_DETECT));

    QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, Lang(21)));
    QCOMPARE(bench.FilledRows(), 20);
    QCOMPARE(bench.Cell(SUBNET_ROW_PROTOCOL, 1), Lang(21));
    QVERIFY(bench.modified);
    QVERIFY(!bench.Enabled(ID_AUTO_MAPPING));
    QVERIFY(!bench.Enabled(ID_CONFLICT_DETECT));
    QCOMPARE(bench.Subnet()->childCount(), 0);
    QVERIFY(!bench.Tree()->SelectedEntry());
    // The grid still edits the subnet after the switch.
    QVERIFY(bench.TypeValue(SUBNET_ROW_FRAME_LENGTH - 1, "20"));
    QCOMPARE(bench.root.Subnet().GetItemAt(SUBNET_ROW_CHAR_INTERVAL)->value, std::string("20"));

    QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, Lang(20)));
    QCOMPARE(bench.FilledRows(), 12);
    QVERIFY(bench.Enabled(ID_AUTO_MAPPING) && bench.Enabled(ID_CONFLICT_DETECT));
    QCOMPARE(bench.Subnet()->childCount(), 1);
    QCOMPARE(bench.Slave()->childCount(), 2);
}

void PropertyGridTest::openEditorCommitsBeforeDeleteCommand()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    AddSlave(bench, {2, 3});
    bench.Click(bench.CommandEntry(0));
    bench.ClickCell(CMD_ROW_START_ADDRESS, 1);
    QVERIFY(bench.Grid()->TextEditor()->isVisible());
    QTest::keyClicks(bench.Grid()->TextEditor(), "77");
    // The tool bar takes no focus: the command must commit the open edit itself, before the
    // command it was typed for is freed.
    bench.frame->Action(ID_DELETE_COMMAND)->trigger();
    QVERIFY(!bench.Grid()->TextEditor()->isVisible());
    QCOMPARE(bench.root.Subnet().GetNodeAt(0)->GetCommandCount(), 1);
    QCOMPARE(bench.Slave()->childCount(), 1);
    QVERIFY(bench.modified);
    // The selection moved to the remaining command; its items are untouched.
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(0));
    QCOMPARE(bench.Cell(CMD_ROW_START_ADDRESS, 1), QString());
}

QTEST_MAIN(PropertyGridTest)
#include "property_grid_test.moc"
