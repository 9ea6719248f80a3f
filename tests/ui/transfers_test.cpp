// Download, upload, Compare with Module and Compare with File from the main window and the port
// dialog, against the simulated module on a pseudo-terminal of its own (in this process): what
// the user is told, what the views show, what is left unchanged when a run fails.

#include <QtTest>
#include <QtWidgets>
#include <fstream>
#include <unistd.h>

#include "file/config_file.h"
#include "link/uucp_lock.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"
#include "support/scratch_folder.h"
#include "support/widget_dialog_driver.h"
#include "support/widget_modal_boxes.h"
#include "support/widget_workbench.h"
#include "ui/command_table.h"
#include "ui/differences_dialog.h"
#include "ui/line_pane.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"

using namespace ui_test;
using namespace test_config;

namespace {

// Cancel stays enabled during a run: it stops the run.
bool ControlsEnabled(const CSerialPortDlg& dialog, bool enabled)
{
    return dialog.StartButton()->isEnabled() == enabled && dialog.CancelButton()->isEnabled() &&
           dialog.PortList()->isEnabled() == enabled;
}

// Types the device into the next port dialog and presses Start (or Cancel), after act.
void StartWith(QObject* owner, const std::string& device, std::function<void(CSerialPortDlg&)> act = {},
               bool cancel = false)
{
    new DialogDriver<CSerialPortDlg>([=](CSerialPortDlg& dialog) {
        if (act)
            act(dialog);
        dialog.PortList()->lineEdit()->clear();
        QTest::keyClicks(dialog.PortList()->lineEdit(), QString::fromStdString(device));
        QTest::mouseClick(cancel ? dialog.CancelButton() : dialog.StartButton(), Qt::LeftButton);
    }, owner);
}

} // namespace

class TransfersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        UseTestSettings();
        m_module = std::make_unique<InProcessModule>(SimIdentity{});
        QVERIFY(m_module->Ready());
    }

    void downloadCompareAndUploadFromTheWindow()
    {
        ScratchFolder scratch;
        auto plant = MakeFilledConfig(MODE_MODBUS_MASTER, 3);
        QVERIFY(gw::SaveFile(*plant, scratch / "plant.xml").ok);
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.prompt.openPath = QString::fromStdString(scratch / "plant.xml");
        bench.Command(ID_FILE_OPEN)->trigger();
        QCOMPARE(bench.frame->windowTitle(), bench.prompt.openPath + "[*]");
        const std::string opened = ConfigText(bench.root);
        ModalBoxWatcher boxes;
        QObject owner;

        // Download with "Verify after download".
        StartWith(&owner, m_module->Path(), [](CSerialPortDlg& dialog) { dialog.VerifyBox()->setChecked(true); });
        bench.Command(ID_DOWNLOAD)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.empty(), kRunWaitMs);
        QVERIFY2(boxes.Texts().last().contains("holds what was downloaded"), qPrintable(boxes.Texts().last()));
        QCOMPARE(boxes.seen.back().icon, QMessageBox::Information);
        QVERIFY(!bench.modified);
        QCOMPARE(ConfigText(bench.root), opened);
        QCOMPARE(CSerialPortDlg::LastPort(), QString::fromStdString(m_module->Path()));
        // The next port dialog starts with the box as it was left; an upload has none.
        CSerialPortDlg next(TransferDirection::Download, bench.root);
        QVERIFY(next.VerifyBox()->isChecked());
        next.VerifyBox()->setChecked(false);
        QVERIFY(!CSerialPortDlg(TransferDirection::Download, bench.root).VerifyBox()->isChecked());
        QVERIFY(CSerialPortDlg(TransferDirection::Upload, bench.root).VerifyBox()->isHidden());

        // Compare with Module after a change: a double-click shows the command and its row.
        QVERIFY(bench.Ready());
        bench.Click(bench.CommandEntry(1));
        QVERIFY(bench.TypeValue(CMD_ROW_START_ADDRESS, "555"));
        bench.Click(bench.Fieldbus());
        const std::string edited = ConfigText(bench.root);
        StartWith(&owner, m_module->Path());
        QStringList shown;
        new DialogDriver<CDifferencesDialog>([&](CDifferencesDialog& dialog) {
            QTableWidget* table = dialog.Table();
            for (int column = 0; column < 4; ++column)
                shown << table->item(0, column)->text();
            shown << QString::number(table->rowCount());
            dialog.OnlyDifferences()->click();
            shown << QString::number(table->rowCount() > 20);   // every item the module keeps
            dialog.OnlyDifferences()->click();
            QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
            shown << QApplication::clipboard()->text();
            const QPoint cell = table->visualItemRect(table->item(0, 1)).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);   // a double-click starts as a click
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
            // The dialog has moved off the row it shows.
            const QRect row = bench.Grid()->visualRect(bench.Grid()->currentIndex());
            shown << QString::number(dialog.frameGeometry().intersects(
                         QRect(bench.Grid()->viewport()->mapToGlobal(QPoint(0, row.top())), QSize(bench.Grid()->width(), row.height()))));
            dialog.reject();
        }, &owner);
        QVERIFY(bench.Ready());
        QTest::keyClick(bench.frame.get(), Qt::Key_K, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), kRunWaitMs);
        QCOMPARE(shown, (QStringList{"command:2", "Starting Address", "555", "107", "1", "1",
                                     "command:2 / Starting Address: 555 \u2192 107\n", "0"}));
        QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(1));
        QCOMPARE(bench.Grid()->currentIndex().row(), int(CMD_ROW_START_ADDRESS));
        QCOMPARE(ConfigText(bench.root), edited);
        // Compare with File: an item changed and commands only here.
        auto other = MakeFilledConfig(MODE_MODBUS_MASTER, 1);
        SlaveOf(*other).GetCommandAt(0)->GetItemAt(CMD_ROW_MNEMONIC)->value = "pump";
        QVERIFY(gw::SaveFile(*other, scratch / "other.xml").ok);
        bench.prompt.openPath = QString::fromStdString(scratch / "other.xml");
        shown.clear();
        DialogDriver<CDifferencesDialog> file([&](CDifferencesDialog& dialog) {
            for (int row = 0; row < dialog.Table()->rowCount(); ++row)
                for (int column = 0; column < 4; ++column)
                    shown << dialog.Table()->item(row, column)->text();
            dialog.reject();
        });
        bench.Command(ID_COMPARE_FILE)->trigger();
        QCOMPARE(shown.size(), 12);   // the commands 2 and 3 are only here
        QCOMPARE(shown.mid(0, 6), (QStringList{"command:1", "Mnemonic", "", "pump", "command:2", ""}));
        QCOMPARE(shown[7], QString("(none)"));
        const QString line = bench.Find<CLinePane>("linePane")->Text();
        QVERIFY2(line.contains("-> READ_VERSION") && line.contains("<- READ_COMMAND_PAGE"), qPrintable(line));

        // Upload into a new document: the views show the module's configuration before the user
        // is told, the document counts as changed, and one Undo brings the old one back.
        bench.prompt.saveAnswer = CUserPrompt::Answer::No;
        bench.Command(ID_FILE_NEW)->trigger();
        QString preset, slaveWhileTold;
        bool modifiedWhileTold = false;
        boxes.whileShown = [&](const QMessageBox&) {
            slaveWhileTold = bench.Slave() ? bench.Slave()->text(0) : QString();
            modifiedWhileTold = bench.modified;
        };
        StartWith(&owner, m_module->Path(), [&](CSerialPortDlg& dialog) { preset = dialog.PortList()->currentText(); });
        const std::size_t told = boxes.seen.size();
        bench.Command(ID_UPLOAD)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(boxes.seen.size() > told, kRunWaitMs);
        QCOMPARE(preset, QString::fromStdString(m_module->Path()));
        QCOMPARE(boxes.Texts().last(), LangText(MessageText::UploadSucceeded));
        QCOMPARE(slaveWhileTold, QString("Node(17)"));
        QVERIFY(modifiedWhileTold && bench.modified);
        QCOMPARE(bench.FilledRows(), 0);   // the grid no longer shows the replaced configuration
        for (int i = 0; i < 3; ++i)
            for (const int row : {CMD_ROW_FUNCTION_CODE, CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS})
                QCOMPARE(SlaveOf(bench.root).GetCommandAt(i)->GetItemAt(row)->value, SlaveOf(*plant).GetCommandAt(i)->GetItemAt(row)->value);
        bench.Click(bench.Subnet());
        QCOMPARE(bench.Cell(SUBNET_ROW_RESPONSE_TIMEOUT, 1), QString("1500"));
        QVERIFY(bench.Ready());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!bench.Slave() && !bench.modified);
    }

    void failedRunsChangeNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("told");   // "=TEXT" or "~PART" per message box
        QTest::newRow("missing device")
            << "missing" << QStringList{"=" + LangText(MessageText::PortOpenFailed) + "\n/nonexistent/ttyGW0 does not exist (is the adapter plugged in?)."};
        QTest::newRow("silent module") << "silent" << QStringList{"=" + ResultText(RESULT_SERIAL_IO)};
        QTest::newRow("locked port") << "locked" << QStringList{"~in use by process 1."};
        QTest::newRow("impossible values")
            << "impossible" << QStringList{"=subnet / Scan Rate = \"0\": " + ResultText(RESULT_OUT_OF_RANGE) +
                                               "\ncommand:2 / Starting Address = \"70000\": " + ResultText(RESULT_OUT_OF_RANGE),
                                           "=" + ResultText(RESULT_OUT_OF_RANGE)};
        QTest::newRow("cancelled") << "cancel" << QStringList{};
    }

    void failedRunsChangeNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, told);
        const std::string lock = std::string(kSerialLockDirectory) + "/" + gw::LockFileName(m_module->Path());
        if (kind == "locked" && ::access(kSerialLockDirectory, W_OK) != 0)
            QSKIP("the lock directory cannot be written to here");
        InProcessModule silent(SimIdentity{}, SimFaults{.noAnswer = true});
        const std::string device = kind == "missing" ? "/nonexistent/ttyGW0" : kind == "silent" ? silent.Path() : m_module->Path();
        auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 2);
        SetValue(root->Subnet().GetItemAt(SUBNET_ROW_SCAN_RATE), kind == "impossible" ? "0" : "25");
        SetValue(SlaveOf(*root).GetCommandAt(1)->GetItemAt(CMD_ROW_START_ADDRESS), kind == "impossible" ? "70000" : "107");
        const std::string before = ConfigText(*root);
        const int requests = m_module->RequestsSeen();
        const QString lastPort = CSerialPortDlg::LastPort();
        if (kind == "locked")
            std::ofstream(lock) << "         1\n";   // init: always alive
        ModalBoxWatcher boxes;
        QObject owner;
        StartWith(&owner, device, [](CSerialPortDlg& dialog) { dialog.SetLinkTimings(FastTimings()); }, kind == "cancel");
        const auto direction = kind == "impossible" || kind == "missing" ? TransferDirection::Download : TransferDirection::Upload;
        QVERIFY(!RunTransferDialog(nullptr, direction, *root));
        std::remove(lock.c_str());
        QCOMPARE(boxes.seen.size(), std::size_t(told.size()));
        for (int i = 0; i < told.size(); ++i)
            QVERIFY2(told[i][0] == '=' ? boxes.Texts()[i] == told[i].mid(1) : boxes.Texts()[i].contains(told[i].mid(1)),
                     qPrintable(boxes.Texts()[i]));
        QCOMPARE(ConfigText(*root), before);
        QCOMPARE(m_module->RequestsSeen(), requests);   // the module was given nothing
        QCOMPARE(CSerialPortDlg::LastPort(), kind == "cancel" ? lastPort : QString::fromStdString(device));
    }

    // Cancel during a download stops it at the exchange it is waiting in (the module keeps the
    // second command record unanswered, longer than the test would wait), frees the port and
    // says that the module may now hold part of the configuration.
    void cancelStopsTheRunAtOnce_data()
    {
        QTest::addColumn<bool>("closeWindow");   // the window's close button instead of Cancel
        QTest::newRow("Cancel") << false;
        QTest::newRow("window closed") << true;
    }

    void cancelStopsTheRunAtOnce()
    {
        QFETCH(bool, closeWindow);
        InProcessModule silent(SimIdentity{}, {.noAnswer = true, .onCommand = 0x10, .after = 5});
        auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 4);
        const std::string before = ConfigText(*root);
        const LinkTimings patient = PatientTimings();
        CSerialPortDlg dialog(TransferDirection::Download, *root);
        dialog.SetLinkTimings(patient);
        ModalBoxWatcher boxes;
        dialog.show();
        dialog.PortList()->setEditText(QString::fromStdString(silent.Path()));
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.Progress()->value() == 5, kRunWaitMs);
        QVERIFY(ControlsEnabled(dialog, false) && dialog.IsRunning());
        if (closeWindow)
            QVERIFY(!dialog.close());   // the run is stopped first
        else
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), kRunWaitMs);
        QCOMPARE(boxes.Texts(), QStringList{FromUtf8(gw::ResultMessage(RESULT_STOPPED) + "\n" + gw::PartlyDownloadedText())});
        QCOMPARE(ConfigText(*root), before);
        CPortSlot again;
        QCOMPARE(gw::OpenPort(again, silent.Path()).code, RESULT_OK);
    }

    void messagesOnTheWayComeFirstAndCancelDoesNotCloseTheDialog()
    {
        auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 2);
        root->Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value.clear();
        CSerialPortDlg dialog(TransferDirection::Download, *root);
        ModalBoxWatcher boxes;
        bool offMeanwhile = false, stayedOpen = false;
        boxes.whileShown = [&](const QMessageBox&) {
            if (boxes.seen.size() != 1)
                return;
            offMeanwhile = ControlsEnabled(dialog, false) && dialog.IsRunning();
            dialog.reject();
            stayedOpen = dialog.isVisible();
        };
        dialog.show();
        dialog.PortList()->setEditText(QString::fromStdString(m_module->Path()));
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), kRunWaitMs);
        QCOMPARE(boxes.Texts().size(), 2);
        QVERIFY2(boxes.Texts()[0].contains("\"" + FromUtf8(root->Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->label) + "\"") &&
                     !boxes.Texts()[0].contains('\r'),
                 qPrintable(boxes.Texts()[0]));
        QCOMPARE(boxes.Texts()[1], ResultText(RESULT_EMPTY_ITEM));
        QVERIFY(offMeanwhile && stayedOpen);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(ControlsEnabled(dialog, true));
    }

    void uploadedImpossibleValuesAreRedUntilEdited()
    {
        InProcessModule module(SimIdentity{}, {}, ModuleHoldingImpossibleValues());
        Workbench bench;
        QVERIFY(bench.Ready());
        ModalBoxWatcher boxes;
        QObject owner;
        StartWith(&owner, module.Path());
        bench.Command(ID_UPLOAD)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(boxes.seen.size() == 2 && !QApplication::activeModalWidget(), kRunWaitMs);
        QCOMPARE(boxes.Texts()[0], LangText(MessageText::UploadSucceeded));
        QVERIFY2(boxes.Texts()[1].contains("command:1 / Number of Data = \"512\""), qPrintable(boxes.Texts()[1]));
        QVERIFY(bench.Ready());
        bench.Click(bench.CommandEntry(0));
        QCOMPARE(bench.CellColour(CMD_ROW_DATA_COUNT), kRed);
        QVERIFY(bench.TypeValue(CMD_ROW_DATA_COUNT, "123"));   // refused: the module's value stays
        QCOMPARE(bench.CellColour(CMD_ROW_DATA_COUNT), kRed);
        bench.Click(bench.Subnet());
        QCOMPARE(bench.CellColour(SUBNET_ROW_RESPONSE_TIMEOUT), kRed);
        QVERIFY(bench.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500"));
        QCOMPARE(bench.CellColour(SUBNET_ROW_RESPONSE_TIMEOUT), kWhite);
    }

    void linePaneShowsFailuresInRed()
    {
        InProcessModule other(SimIdentity{0x05, 2, 1});
        ScratchFolder scratch;
        Workbench bench;
        QVERIFY(bench.Ready());
        QAction* toggle = bench.Command(ID_VIEW_LINE);
        toggle->trigger();
        QVERIFY(bench.Find<QDockWidget>("lineDock")->isVisible() && toggle->isChecked());
        ModalBoxWatcher boxes;
        QObject owner;
        StartWith(&owner, other.Path());
        bench.Command(ID_UPLOAD)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.empty(), kRunWaitMs);
        QListWidget* lines = bench.Find<CLinePane>("linePane")->Lines();
        QTRY_COMPARE(lines->count(), 5);   // two requests, two replies, the result
        QVERIFY(lines->item(0)->text().contains(QRegularExpression("^ +\\d+ ms  -> READ_VERSION +01 00 01$")));
        QVERIFY(lines->item(0)->foreground().style() == Qt::NoBrush);
        QVERIFY(lines->item(4)->text().contains(ResultText(RESULT_VERSION_MISMATCH)));
        QCOMPARE(lines->item(4)->foreground().color(), QColor(0xC0, 0x00, 0x00));
        scratch.Write("line.txt", std::string(4096, '\n'));   // replaced whole
        QVERIFY(bench.Find<CLinePane>("linePane")->SaveTo(QString::fromStdString(scratch / "line.txt")));
        const std::string saved = scratch.Read("line.txt");
        QCOMPARE(int(std::count(saved.begin(), saved.end(), '\n')), 5);
        QTest::mouseClick(bench.Find<CLinePane>("linePane")->ClearButton(), Qt::LeftButton);
        QCOMPARE(lines->count(), 0);
    }

private:
    std::unique_ptr<InProcessModule> m_module;
};

QTEST_MAIN(TransfersTest)
#include "transfers_test.moc"
