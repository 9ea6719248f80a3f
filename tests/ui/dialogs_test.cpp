// The dialogs that stand on their own: Conflict Detect on hand-placed commands, Export XLS with
// scripted answers and with the desktop's save dialog and questions, and Test Commands against
// one modbus-slave-sim on a pseudo-terminal.

#include <QtTest>
#include <QtWidgets>

#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "support/config_builder.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"
#include "support/timings.h"
#include "support/widget_dialog_driver.h"
#include "support/widget_modal_boxes.h"
#include "ui/command_test_dialog.h"
#include "ui/export_action.h"
#include "ui/export_prompts.h"
#include "ui/memory_map_dialog.h"
#include "widgets/memory_grid.h"

using namespace test_config;

namespace {

const QColor kGrey(200, 200, 200), kRed(255, 0, 0), kYellow(255, 255, 0), kBlue(49, 106, 197), kWhite(255, 255, 255);

// The bits of a grid painted in a colour, as "first-last" runs.
QStringList BitsIn(const CMemoryGrid* grid, const QColor& colour)
{
    QStringList runs;
    for (int bit = 0; bit < CMemoryGrid::kBitCount; ++bit) {
        if (grid->BitColour(bit) != colour)
            continue;
        int last = bit;
        while (last + 1 < CMemoryGrid::kBitCount && grid->BitColour(last + 1) == colour)
            ++last;
        runs << QString("%1-%2").arg(bit).arg(last);
        bit = last;
    }
    return runs;
}

QTreeWidgetItem* CommandItem(QTreeWidget* tree, int position)
{
    int seen = -1;   // commands lie two levels below "Subnet", in list order
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->parent() && (*it)->parent()->parent() && ++seen == position)
            return *it;
    return nullptr;
}

// Answers the export's prompts from a script and records what was asked.
class ScriptedPrompts : public CExportPrompts {
public:
    QString savePath;   // empty: cancelled
    bool overwrite = false, open = false, openWorks = true;
    QStringList asked;   // "overwrite PATH", "failure TEXT", "open PATH", "opened PATH"

    QString AskSavePath(QWidget*) override { return savePath; }
    bool AskOverwrite(QWidget*, const QString& path) override { return asked << "overwrite " + path, overwrite; }
    void ShowFailure(QWidget*, const QString& text) override { asked << "failure " + text; }
    bool AskOpenWorkbook(QWidget*, const QString& path) override { return asked << "open " + path, open; }
    bool OpenWorkbook(const QString& path) override { return asked << "opened " + path, openWorks; }
};

QString Cell(const CCommandTestDlg& dialog, int number, int column) { return dialog.Table()->item(number - 1, column)->text(); }

void PollOnce(CCommandTestDlg& dialog)
{
    QTest::mouseClick(dialog.PollOnceButton(), Qt::LeftButton);
    QVERIFY(dialog.IsPolling() && !dialog.PollOnceButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsPolling() && dialog.PollOnceButton()->isEnabled(), kRunWaitMs);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Read 3 registers at 100, 9 coils at 10 from bit 3, write a register at 300, read it back.
        m_slave = std::make_unique<ServingProcess>(std::vector<std::string>{
            MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60", "--holding", "100=1,2,0x1234", "--coils", "10=1,0,1,1,0,0,1,1,1",
            "--holding", "300=5"});
        QVERIFY(m_slave->Running());
        m_polled = MakeConfig({{3, "100", "3"}, {1, "10", "9", "", "3"}, {6, "300"}, {3, "300"}});
        SlaveOf(*m_polled, 1);
        gw::AutoMap(*m_polled);
    }

    void memoryMapClassifiesAndHighlights()
    {
        // Input: two register commands sharing bytes 2-3, coils from 00F2H running past the
        // area's end, inputs at 0010H bit 3; output: two registers at 4004H. A second slave node
        // (which a file can bring) is neither counted nor highlighted.
        auto root = MakeConfig({{3, "1", "2", "0000H"}, {4, "1", "1", "0002H"}, {1, "1", "24", "00F2H"},
                                {16, "1", "2", "4004H"}, {2, "1", "5", "0010h", "3"}});
        AddCommand(*root->Subnet().AddNode(), {3, "1", "2", "0000H"});
        CConflictDlg dialog(*root);
        const std::string before = ConfigText(*root);
        const CMemoryGrid* input = dialog.Grid(AREA_INPUT);
        const CMemoryGrid* output = dialog.Grid(AREA_OUTPUT);
        QCOMPARE(BitsIn(input, kRed), QStringList{"16-31"});
        QCOMPARE(BitsIn(input, kYellow), QStringList{"1952-1959"});
        QCOMPARE(BitsIn(input, kGrey), (QStringList{"0-15", "131-135", "1936-1951"}));
        QCOMPARE(BitsIn(output, kGrey), QStringList{"32-63"});
        // Bit 0 of a byte is its leftmost column: 0010H bit 3 lies in row 4 from column 3.
        QCOMPARE(input->item(4, 2)->background().color(), kWhite);
        QCOMPARE(input->item(4, 3)->background().color(), kGrey);
        QCOMPARE(output->RowLabel(1), QString("4004"));

        const std::pair<int, QStringList> selections[] = {
            {1, {"16-31"}}, {0, {"0-31"}}, {2, {"1936-1959"}}, {5, {}}, {-1, {}}};
        for (const auto& [command, blue] : selections) {
            QTreeWidgetItem* entry = command >= 0 ? CommandItem(dialog.Tree(), command) : dialog.Tree()->topLevelItem(1);
            dialog.Tree()->setCurrentItem(entry);
            QCOMPARE(BitsIn(input, kBlue), blue);
        }
        QCOMPARE(BitsIn(input, kRed), QStringList{"16-31"});
        QCOMPARE(BitsIn(input, kYellow), QStringList{"1952-1959"});
        QCOMPARE(ConfigText(*root), before);
    }

    void exportWithScriptedAnswers()
    {
        ScratchFolder scratch;
        const QString folder = QString::fromStdString(scratch.Path().string()) + "/";
        auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 48);
        ScriptedPrompts prompts;
        const auto run = [&](const QString& name) {
            prompts.asked.clear();
            prompts.savePath = name.isEmpty() ? name : folder + name;
            return RunExportCommand(nullptr, *root, prompts).remove(folder);
        };
        const auto isZip = [&](const char* name) { return scratch.Read(name).starts_with("PK\x03\x04"); };
        // A bare name, or one ending in a dot, gets the workbook extension; another is kept.
        QCOMPARE(run("plant"), QString("plant.xlsx"));
        QCOMPARE(prompts.asked, QStringList{"open " + folder + "plant.xlsx"});
        QCOMPARE(run("second."), QString("second.xlsx"));
        QCOMPARE(run("third.wb"), QString("third.wb"));
        QVERIFY(isZip("plant.xlsx") && isZip("third.wb"));
        // An existing file under the completed name is asked about.
        scratch.Write("plant.xlsx", "not a workbook");
        QVERIFY(run("plant").isEmpty());
        QCOMPARE(prompts.asked, QStringList{"overwrite " + folder + "plant.xlsx"});
        QCOMPARE(scratch.Read("plant.xlsx"), std::string("not a workbook"));
        prompts.overwrite = true;
        QCOMPARE(run("plant"), QString("plant.xlsx"));
        QVERIFY(isZip("plant.xlsx"));
        // The save dialog has asked about a name it returned with the extension.
        QCOMPARE(run("plant.xlsx"), QString("plant.xlsx"));
        QCOMPARE(prompts.asked, QStringList{"open " + folder + "plant.xlsx"});
        // Cancelling writes nothing; a failure names the path; an opened workbook that fails too.
        const std::size_t files = scratch.Names().size();
        QVERIFY(run("").isEmpty() && prompts.asked.isEmpty() && scratch.Names().size() == files);
        QVERIFY(run("missing/plant.xlsx").isEmpty());
        QVERIFY(prompts.asked.size() == 1 && prompts.asked[0].startsWith("failure ") && prompts.asked[0].contains(folder + "missing/plant.xlsx"));
        prompts.open = true;
        prompts.openWorks = false;
        QCOMPARE(run("open-me.xlsx"), QString("open-me.xlsx"));
        QCOMPARE(prompts.asked.mid(0, 2), (QStringList{"open " + folder + "open-me.xlsx", "opened " + folder + "open-me.xlsx"}));
        QVERIFY(prompts.asked.size() == 3 && prompts.asked[2].startsWith("failure ") && prompts.asked[2].contains("open-me.xlsx"));
    }

    void exportDesktopPrompts()
    {
        ScratchFolder scratch;
        scratch.Write("plant.xlsx", "not a workbook");
        ModalBoxWatcher boxes;
        boxes.answers = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Yes};
        QStringList filters;
        DialogDriver<QFileDialog> driver([&](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            dialog.setDirectory(QString::fromStdString(scratch.Path().string()));
            dialog.findChild<QLineEdit*>("fileNameEdit")->setText("plant");
            static_cast<QDialog&>(dialog).accept();   // runs the file dialog's own checks
        });
        CDesktopExportPrompts prompts;
        const QString path = QString::fromStdString(scratch / "plant.xlsx");
        QCOMPARE(QFileInfo(prompts.AskSavePath(nullptr)).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
        QCOMPARE(filters, QStringList{"Excel File(*.xlsx)"});
        QVERIFY(!prompts.AskOpenWorkbook(nullptr, path));
        QVERIFY(prompts.AskOverwrite(nullptr, path));
        QCOMPARE(boxes.seen.size(), std::size_t(3));
        for (const SeenBox& box : boxes.seen)
            QVERIFY2(box.text.contains("plant.xlsx") && box.buttons == (QMessageBox::Yes | QMessageBox::No), qPrintable(box.text));
    }

    void testCommands()
    {
        CCommandTestDlg dialog(*m_polled);
        dialog.show();
        dialog.PortList()->setEditText(QString::fromStdString(m_slave->Path()));
        PollOnce(dialog);
        QCOMPARE(Cell(dialog, 1, CCommandTestDlg::COL_OUTCOME), QString("ok"));
        QCOMPARE(Cell(dialog, 1, CCommandTestDlg::COL_VALUES), QString("1 2 4660"));
        QCOMPARE(Cell(dialog, 2, CCommandTestDlg::COL_VALUES), QString("1 0 1 1 0 0 1 1 1"));
        QCOMPARE(Cell(dialog, 3, CCommandTestDlg::COL_OUTCOME), QString("skipped"));
        QVERIFY(Cell(dialog, 1, CCommandTestDlg::COL_STATISTICS).startsWith("ok 1  timeout 0  error 0  ms "));
        QVERIFY(!dialog.WordOrderChoice()->isEnabled());
        dialog.ViewKindChoice()->setCurrentText("int32");
        dialog.WordOrderChoice()->setCurrentText("CDAB");
        QCOMPARE(Cell(dialog, 1, CCommandTestDlg::COL_VALUES), QString("131073 (odd register)"));
        QCOMPARE(Cell(dialog, 2, CCommandTestDlg::COL_VALUES), QString("1 0 1 1 0 0 1 1 1"));   // coils stay bits
        dialog.ViewKindChoice()->setCurrentText("hex");
        QCOMPARE(Cell(dialog, 1, CCommandTestDlg::COL_VALUES), QString("0x0001 0x0002 0x1234"));
        // Byte 5 holds 34h, the low byte of the third register; byte 6 the coils from bit 3 (68h).
        QString bytes;
        for (int bit = 5 * 8; bit < 7 * 8; ++bit)
            bytes.prepend(dialog.Image()->item(CMemoryGrid::RowOfBit(bit), CMemoryGrid::ColumnOfBit(bit))->text());
        QCOMPARE(bytes, QString("0110100000110100"));
        QCOMPARE(dialog.Image()->BitColour(0), CCommandTestDlg::CommandColour(1));
        QCOMPARE(dialog.Image()->BitColour(6 * 8), CCommandTestDlg::CommandColour(2));
        QVERIFY(CCommandTestDlg::CommandColour(1) != CCommandTestDlg::CommandColour(2));
        QCOMPARE(dialog.Image()->BitColour(10 * 8), kWhite);

        // A write goes out only after confirmation.
        QVERIFY(!dialog.WriteButton(1));
        ModalBoxWatcher boxes;
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            boxes.answers.push_back(answer);
            DialogDriver<QInputDialog> values([](QInputDialog& input) {
                input.setTextValue("77");
                input.accept();
            });
            QTest::mouseClick(dialog.WriteButton(3), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsPolling(), kRunWaitMs);
            PollOnce(dialog);
            QCOMPARE(Cell(dialog, 4, CCommandTestDlg::COL_VALUES), QString(answer == QMessageBox::Yes ? "0x004D" : "0x0005"));   // still in hex
        }
        QCOMPARE(boxes.seen.size(), std::size_t(2));
        QVERIFY(boxes.seen.front().text.contains("Address 300, values: 77"));

        // Continuous polling offers no writes and ends with the dialog.
        QTest::mouseClick(dialog.PollContinuouslyButton(), Qt::LeftButton);
        QVERIFY(dialog.IsPolling() && !dialog.WriteButton(3)->isEnabled());
        dialog.reject();
        QVERIFY(!dialog.IsPolling());
    }

    void testCommandsMarkSharedBytesAndStopWhenThePortGoesAway()
    {
        // Command 2 reads into bytes 2-3, which command 1's two registers take too.
        auto root = MakeConfig({{3, "100", "2", "0000H"}, {3, "100", "1", "0002H"}});
        SlaveOf(*root, 1);
        auto slave = std::make_unique<ServingProcess>(std::vector<std::string>{MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60"});
        CCommandTestDlg dialog(*root);
        dialog.show();
        dialog.PortList()->setEditText(QString::fromStdString(slave->Path()));
        PollOnce(dialog);
        QCOMPARE(BitsIn(dialog.Image(), CCommandTestDlg::SharedColour()), QStringList{"16-31"});
        QCOMPARE(BitsIn(dialog.Image(), CCommandTestDlg::CommandColour(1)), QStringList{"0-15"});

        QTest::mouseClick(dialog.PollContinuouslyButton(), Qt::LeftButton);
        QVERIFY(dialog.IsPolling());
        QTRY_VERIFY(!Cell(dialog, 1, CCommandTestDlg::COL_STATISTICS).isEmpty());   // polling on the open port
        slave.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsPolling(), kRunWaitMs);
        QVERIFY2(dialog.Status()->text().contains("hung up") && dialog.Status()->text().contains("Polling stopped"),
                 qPrintable(dialog.Status()->text()));
        QVERIFY(!dialog.PollContinuouslyButton()->isChecked());
    }

    void testCommandsNameARefusedSetting()
    {
        // Parity Even, which a pty refuses; a driver's RS-485 mode, which a pty has not.
        auto even = MakeFilledConfig(MODE_MODBUS_MASTER, 2);
        const std::pair<CDeviceConfig*, QString> rows[] = {{even.get(), "the port refused parity Even"},
                                                           {m_polled.get(), "the port's driver has no RS-485 mode"}};
        for (const auto& [root, refusal] : rows) {
            CCommandTestDlg dialog(*root);
            dialog.show();
            dialog.PortList()->setEditText(QString::fromStdString(m_slave->Path()));
            dialog.DirectionChoice()->setCurrentIndex(root == m_polled.get() ? 1 : 0);
            PollOnce(dialog);
            QVERIFY2(dialog.Status()->text().contains(refusal), qPrintable(dialog.Status()->text()));
            QCOMPARE(Cell(dialog, 1, CCommandTestDlg::COL_OUTCOME), QString());
            // Another port: the error about the last one goes.
            QTest::keyClick(dialog.PortList()->lineEdit(), Qt::Key_Backspace);
            QCOMPARE(dialog.Status()->text(), QString());
        }
    }

private:
    std::unique_ptr<ServingProcess> m_slave;
    std::unique_ptr<CDeviceConfig> m_polled;
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
