// The property grid of the main window, by mouse and by keyboard: the editors, the checks and
// rewrites of committed values, the choice and enable rules, the annotation pane, and the
// commands that must commit an open edit first. Every key goes to the focused widget.

#include <QtTest>
#include <QtWidgets>
#include <map>

#include "support/config_builder.h"
#include "support/widget_workbench.h"
#include "ui/edit_history.h"
#include "ui/command_table.h"
#include "ui/ui_text.h"

using namespace ui_test;
using test_config::ConfigText;

namespace {

// Sends steps to the focused widget: "<Key>" names a key, anything else is typed.
void Press(const QStringList& steps)
{
    static const std::map<QString, Qt::Key> kKeys = {{"<Return>", Qt::Key_Return}, {"<F2>", Qt::Key_F2},
                                                     {"<Escape>", Qt::Key_Escape}, {"<Tab>", Qt::Key_Tab},
                                                     {"<Backtab>", Qt::Key_Backtab}, {"<Down>", Qt::Key_Down}};
    for (const QString& step : steps) {
        QVERIFY2(QApplication::focusWidget(), qPrintable(step));
        if (kKeys.contains(step))
            QTest::keyClick(QApplication::focusWidget(), kKeys.at(step),
                            step == "<Backtab>" ? Qt::ShiftModifier : Qt::NoModifier);
        else   // the first character may open an editor, which takes the rest
            for (const QChar c : step)
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
}

} // namespace

class PropertyGridTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void commitText_data()
    {
        QTest::addColumn<QString>("entry");   // subnet, slave, read (03) or write (16) command
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<ResultCode>("code");  // the result whose message is shown, 0 for none
        const ResultCode none = RESULT_OK, range = RESULT_OUT_OF_RANGE, empty = RESULT_EMPTY_ITEM, illegal = RESULT_ILLEGAL_CHAR;
        QTest::newRow("timeout 500") << "subnet" << 7 << "500" << "500" << none;
        QTest::newRow("timeout 70000") << "subnet" << 7 << "70000" << "300" << range;
        QTest::newRow("timeout empty") << "subnet" << 7 << "" << "300" << empty;
        QTest::newRow("timeout 5x0") << "subnet" << 7 << "5x0" << "300" << illegal;
        QTest::newRow("timeout unchanged") << "subnet" << 7 << "300" << "300" << none;
        QTest::newRow("delay 2345 rounds") << "subnet" << 8 << "2345" << "2340" << none;
        QTest::newRow("slave address 12") << "slave" << 0 << "12" << "12" << none;
        QTest::newRow("slave address 248") << "slave" << 0 << "248" << "1" << range;
        QTest::newRow("registers 300") << "read" << 2 << "300" << "" << range;
        QTest::newRow("read address 1a") << "read" << 3 << "1a" << "1AH" << none;
        QTest::newRow("read address empty again") << "read" << 3 << "" << "" << none;
        QTest::newRow("write address 40f4h") << "write" << 3 << "40f4h" << "" << range;
    }

    void commitText()
    {
        QFETCH(QString, entry);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(ResultCode, code);
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Fill({entry == "write" ? FUNCTION_PRESET_MULTIPLE_REGISTERS : FUNCTION_READ_HOLDING_REGISTER});
        bench.Click(entry == "subnet" ? bench.Subnet() : entry == "slave" ? bench.Slave() : bench.CommandEntry(0));
        const QString before = bench.Cell(row, 1);
        QVERIFY(bench.TypeValue(row, typed));
        QCOMPARE(FromUtf8(bench.Grid()->ItemAtRow(row)->value), stored);
        QCOMPARE(bench.Cell(row, 1), stored);
        QCOMPARE(bench.prompt.messages, code != RESULT_OK ? QStringList{ResultText(code)} : QStringList());
        QCOMPARE(bench.modified, stored != before);
        // One undo step for a change, none for a value committed again.
        QCOMPARE(bench.Find<QUndoStack>()->count(), stored != before ? 1 : 0);
        // A refusal keeps the text box on its row with the old value, ready for the next try.
        QCOMPARE(bench.Grid()->EditRow(), code != RESULT_OK ? row : -1);
        QVERIFY(code != RESULT_OK ? bench.Grid()->TextEditor()->hasFocus() && bench.Grid()->TextEditor()->text() == before
                        : bench.Grid()->hasFocus());
        if (entry == "slave")   // the tree entry is named after the address
            QCOMPARE(bench.Slave()->text(0), "Node(" + stored + ")");
    }

    // Keys through the focus chain into every editor kind: a text box (the subnet's timeouts), a
    // list (baud rate, check bit) and a list that takes text (the fieldbus's probe timeout).
    void keyboard_data()
    {
        QTest::addColumn<bool>("fieldbus");
        QTest::addColumn<int>("startRow");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("cells");   // "row=value" after the steps
        QTest::addColumn<ResultCode>("code");
        QTest::addColumn<int>("editorRow");       // the row of the editor left open, -1 for none
        const int timeout = SUBNET_ROW_RESPONSE_TIMEOUT, delay = SUBNET_ROW_POLL_DELAY, probe = BUS_ROW_PROBE_TIMEOUT;
        const int baud = SUBNET_ROW_BAUD_RATE, check = SUBNET_ROW_CHECK_BIT;
        const auto cell = [](int row, const QString& value) { return QString("%1=%2").arg(row).arg(value); };
        const QString defaultValue = LangText(ChoiceText::DefaultValue);
        const ResultCode none = RESULT_OK, range = RESULT_OUT_OF_RANGE, illegal = RESULT_ILLEGAL_CHAR;
        QTest::newRow("text: F2, Return commits whole") << false << timeout << QStringList{"<F2>", "450", "<Return>"}
                                                        << QStringList{cell(timeout, "450")} << none << -1;
        QTest::newRow("text: typing opens") << false << timeout << QStringList{"450", "<Return>"}
                                            << QStringList{cell(timeout, "450")} << none << -1;
        QTest::newRow("text: Esc restores") << false << timeout << QStringList{"99", "<Escape>"}
                                            << QStringList{cell(timeout, "300")} << none << -1;
        QTest::newRow("text: Tab commits whole, edits the next") << false << timeout << QStringList{"<Return>", "600", "<Tab>", "30", "<Return>"}
                                                                 << QStringList{cell(timeout, "600"), cell(delay, "30")} << none << -1;
        QTest::newRow("text: Shift+Tab goes back") << false << delay << QStringList{"40", "<Backtab>", "700", "<Return>"}
                                                   << QStringList{cell(delay, "40"), cell(timeout, "700")} << none << -1;
        QTest::newRow("text: refused Return stays") << false << timeout << QStringList{"70000", "<Return>", "500", "<Return>"}
                                                    << QStringList{cell(timeout, "500")} << range << -1;
        QTest::newRow("text: refused Tab stays") << false << timeout << QStringList{"70000", "<Tab>", "450"}
                                                 << QStringList{cell(timeout, "300"), cell(delay, "0")} << range << timeout;
        QTest::newRow("list: arrows, Return picks") << false << baud << QStringList{"<Return>", "<Down>", "<Return>"}
                                                    << QStringList{cell(baud, "38400")} << none << -1;
        QTest::newRow("list: a letter finds") << false << check << QStringList{QString(LangText(ChoiceText::ParityEven).at(0)), "<Return>"}
                                              << QStringList{cell(check, LangText(ChoiceText::ParityEven))} << none << -1;
        QTest::newRow("list: Esc restores") << false << baud << QStringList{"<F2>", "<Down>", "<Escape>"}
                                            << QStringList{cell(baud, "19200")} << none << -1;
        QTest::newRow("list: Tab picks, goes on") << false << baud << QStringList{"<Return>", "<Down>", "<Tab>"}
                                                  << QStringList{cell(baud, "38400")} << none << check;
        QTest::newRow("typed list: 450 whole") << true << probe << QStringList{"450", "<Return>"}
                                               << QStringList{cell(probe, "450")} << none << -1;
        QTest::newRow("typed list: typing in the open list") << true << probe << QStringList{"<Return>", "450", "<Return>"}
                                                             << QStringList{cell(probe, "450")} << none << -1;
        QTest::newRow("typed list: F2, Tab commits") << true << probe << QStringList{"<F2>", "1234", "<Tab>"}
                                                     << QStringList{cell(probe, "1234")} << none << -1;
        QTest::newRow("typed list: Esc restores") << true << probe << QStringList{"45", "<Escape>"}
                                                  << QStringList{cell(probe, defaultValue)} << none << -1;
        QTest::newRow("typed list: refused stays") << true << probe << QStringList{"60001", "<Return>"}
                                                   << QStringList{cell(probe, defaultValue)} << range << probe;
        QTest::newRow("typed list: a picked word is refused") << true << probe << QStringList{"<F2>", "<Down>", "<Return>"}
                                                              << QStringList{cell(probe, defaultValue)} << illegal << probe;
    }

    void keyboard()
    {
        QFETCH(bool, fieldbus);
        QFETCH(int, startRow);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, cells);
        QFETCH(ResultCode, code);
        QFETCH(int, editorRow);
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Click(fieldbus ? bench.Fieldbus() : bench.Subnet());
        // A click on the label makes the row current without opening an editor.
        bench.ClickCell(startRow, 0);
        QVERIFY(bench.Grid()->hasFocus());
        const std::string before = ConfigText(bench.root);
        Press(steps);
        for (const QString& expected : cells) {
            const int row = expected.section('=', 0, 0).toInt();
            QCOMPARE(bench.Cell(row, 1), expected.section('=', 1));
            QCOMPARE(FromUtf8(bench.Grid()->ItemAtRow(row)->value), expected.section('=', 1));
        }
        QCOMPARE(bench.modified, ConfigText(bench.root) != before);
        QCOMPARE(bench.prompt.messages, code != RESULT_OK ? QStringList{ResultText(code)} : QStringList());
        QCOMPARE(bench.Grid()->EditRow(), editorRow);
        QVERIFY(editorRow < 0 ? bench.Grid()->hasFocus() : bench.Grid()->Editor()->hasFocus());
        Press({"<Escape>"});
        // The annotation pane follows the current row as the arrows move it.
        QVERIFY(bench.Grid()->hasFocus());
        bench.ClickCell(2, 0);
        Press({"<Down>"});
        QCOMPARE(bench.Find<QPlainTextEdit>("annotation")->toPlainText(), FromUtf8(bench.Grid()->ItemAtRow(3)->help).replace("\r\n", "\n"));
    }

    void focusLossCommitsText()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Click(bench.Subnet());
        bench.ClickCell(SUBNET_ROW_RESPONSE_TIMEOUT, 1);
        QTest::keyClicks(bench.Grid()->TextEditor(), "750");
        // A click on another cell commits the first edit before the next opens.
        bench.ClickCell(SUBNET_ROW_SCAN_RATE, 1);
        QCOMPARE(bench.Cell(SUBNET_ROW_RESPONSE_TIMEOUT, 1), QString("750"));
        QVERIFY(bench.modified);
        QCOMPARE(bench.Grid()->EditRow(), int(SUBNET_ROW_SCAN_RATE));
        // A click in the tree commits too, and the grid then shows the other node.
        QTest::keyClicks(bench.Grid()->TextEditor(), "20");
        bench.Click(bench.Fieldbus());
        QCOMPARE(bench.root.Subnet().GetItemAt(SUBNET_ROW_SCAN_RATE)->value, std::string("20"));
        QCOMPARE(bench.FilledRows(), int(BUS_ROW_COUNT));
        QCOMPARE(bench.Find<QPlainTextEdit>("annotation")->toPlainText(), QString());
    }

    void frameTypeRules_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<bool>("frameLength");
        QTest::addColumn<bool>("delimiters");
        QTest::addColumn<bool>("crc");
        QTest::newRow("Frame Length") << LangText(ChoiceText::FrameLength) << true << false << true;
        QTest::newRow("Delimiter") << LangText(ChoiceText::Delimiter) << false << true << false;
        QTest::newRow("Time Interval") << LangText(ChoiceText::CharacterInterval) << false << false << true;
    }

    void frameTypeRules()
    {
        QFETCH(QString, picked);
        QFETCH(bool, frameLength);
        QFETCH(bool, delimiters);
        QFETCH(bool, crc);
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Click(bench.Subnet());
        QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, LangText(ChoiceText::UserConfig)));
        // CRC on beforehand, so that the Delimiter rule visibly forces it off.
        QVERIFY(bench.PickChoice(SUBNET_ROW_CRC_CHECK, LangText(ChoiceText::Enable)));
        QVERIFY(bench.PickChoice(SUBNET_ROW_FRAME_TYPE, picked));
        QCOMPARE(bench.CellColour(SUBNET_ROW_FRAME_LENGTH), frameLength ? kWhite : kGrey);
        QCOMPARE(bench.CellColour(SUBNET_ROW_START_DELIMITER), delimiters ? kWhite : kGrey);
        QCOMPARE(bench.CellColour(SUBNET_ROW_END_DELIMITER), delimiters ? kWhite : kGrey);
        QCOMPARE(bench.CellColour(SUBNET_ROW_CRC_CHECK), crc ? kWhite : kGrey);
        QCOMPARE(bench.Cell(SUBNET_ROW_CRC_CHECK, 1), LangText(crc ? ChoiceText::Enable : ChoiceText::Disable));
        // A greyed row offers no editor, only its help; an enabled one opens its editor.
        bench.ClickCell(SUBNET_ROW_FRAME_LENGTH, 1);
        QCOMPARE(bench.Grid()->TextEditor() != nullptr, frameLength);
        QCOMPARE(bench.Find<QPlainTextEdit>("annotation")->toPlainText(),
                 FromUtf8(bench.Grid()->ItemAtRow(SUBNET_ROW_FRAME_LENGTH)->help).replace("\r\n", "\n"));
        bench.Grid()->FinishEditing();
    }

    void modeSwitchChangesRowsAndCommands()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Fill({FUNCTION_READ_HOLDING_REGISTER, FUNCTION_READ_INPUT_REGISTER});
        bench.Click(bench.Subnet());
        const QList<int> masterOnly = {ID_AUTO_MAPPING, ID_CONFLICT_DETECT, ID_TEST_COMMANDS};
        for (const bool userConfig : {true, false}) {
            QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, LangText(userConfig ? ChoiceText::UserConfig : ChoiceText::ModbusMaster)));
            QCOMPARE(bench.FilledRows(), userConfig ? 20 : 12);
            QVERIFY(bench.modified);
            for (const int command : masterOnly)
                QCOMPARE(bench.Enabled(command), !userConfig);
            // The slave node is hidden, kept, and cannot be added to in User Config mode.
            QCOMPARE(bench.Subnet()->childCount(), userConfig ? 0 : 1);
            QCOMPARE(bench.root.Subnet().GetNodeCount(), 1);
            bench.Click(bench.Subnet());
            QVERIFY(!bench.Enabled(ID_ADD_NODE));
        }
        QCOMPARE(bench.Slave()->childCount(), 2);
    }

    void openEditorCommitsBeforeDeleteCommand()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Fill({FUNCTION_READ_HOLDING_REGISTER, FUNCTION_READ_INPUT_REGISTER});
        bench.Click(bench.CommandEntry(0));
        bench.ClickCell(CMD_ROW_START_ADDRESS, 1);
        QTest::keyClicks(bench.Grid()->TextEditor(), "77");
        // The tool bar takes no focus: the command must commit the open edit itself, before the
        // command it was typed for is freed.
        bench.Command(ID_DELETE_COMMAND)->trigger();
        QVERIFY(!bench.Grid()->Editor());
        QCOMPARE(bench.root.Subnet().GetNodeAt(0)->GetCommandCount(), 1);
        QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(0));
        QCOMPARE(bench.Cell(CMD_ROW_START_ADDRESS, 1), QString());
    }
};

QTEST_MAIN(PropertyGridTest)
#include "property_grid_test.moc"
