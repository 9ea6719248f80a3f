// The download/upload dialog driven like a user does it, against gateway-sim on a pseudo-terminal.

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "dialog_driver.h"
#include "dialog_test_config.h"
#include "link/sim_process.h"
#include "link/uucp_lock.h"
#include "modal_box_watcher.h"
#include "model/lang_strings.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"

using namespace dialog_test;

namespace {

constexpr int kRunTimeoutMs = 60000;

void TypePort(CSerialPortDlg& dialog, const QString& path)
{
    QLineEdit* field = dialog.PortList()->lineEdit();
    QVERIFY(field);
    field->clear();
    QTest::keyClicks(field, path);
}

bool ControlsEnabled(const CSerialPortDlg& dialog)
{
    return dialog.StartButton()->isEnabled() && dialog.CancelButton()->isEnabled() && dialog.PortList()->isEnabled();
}

bool ControlsDisabled(const CSerialPortDlg& dialog)
{
    return !dialog.StartButton()->isEnabled() && !dialog.CancelButton()->isEnabled() &&
           !dialog.PortList()->isEnabled();
}

using TransferDriver = DialogDriver<CSerialPortDlg>;

// Short time limits, for a module that never answers.
LinkTimings QuickTimings()
{
    LinkTimings timings;
    timings.readInterval = 50;
    timings.readTotalConstant = 200;
    timings.readTotalPerByte = 0;
    timings.writeTotalConstant = 200;
    timings.writeTotalPerByte = 0;
    timings.transactPause = 10;
    return timings;
}

} // namespace

class TransferDialogTest : public QObject {
    Q_OBJECT
private slots:
    void CaptionAndButtonNameTheDirection()
    {
        CDeviceConfig root;
        CSerialPortDlg download(TransferDirection::Download, root);
        // "Download " keeps its trailing blank.
        QCOMPARE(download.windowTitle(), LangText(32));
        QCOMPARE(download.StartButton()->text(), LangText(32));
        CSerialPortDlg upload(TransferDirection::Upload, root);
        QCOMPARE(upload.windowTitle(), LangText(31));
        QCOMPARE(upload.StartButton()->text(), LangText(31));
        QCOMPARE(upload.CancelButton()->text(), QString("Cancel"));
        QVERIFY(upload.PortList()->isEditable());
    }

    void DownloadThenUploadAgainstTheModule()
    {
        SimProcess sim({});
        QVERIFY(sim.Running());
        const QString device = QString::fromStdString(sim.Path());
        auto source = MakeMappedConfig(6);
        const std::string sourceText = ModelText(*source);

        ModalBoxWatcher boxes;
        {
            CSerialPortDlg dialog(TransferDirection::Download, *source);
            dialog.show();
            TypePort(dialog, device);
            QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
            QVERIFY(dialog.IsRunning());
            QVERIFY(ControlsDisabled(dialog));
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), kRunTimeoutMs);

            QCOMPARE(boxes.Texts(), QStringList{LangText(29)});
            QCOMPARE(boxes.seen.front().icon, QMessageBox::Information);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(ControlsEnabled(dialog));
            QVERIFY(!dialog.ConfigurationReplaced());
            QVERIFY(dialog.Progress()->maximum() > 1);
            QCOMPARE(dialog.Progress()->value(), dialog.Progress()->maximum());
        }
        QVERIFY2(ModelText(*source) == sourceText, "a download leaves the configuration as it was");
        QCOMPARE(CSerialPortDlg::LastPort(), device);

        // The upload into a new configuration, through the modal dialog: the device of the last
        // run is already in the field.
        CDeviceConfig target;
        QString preset;
        TransferDriver driver([&](CSerialPortDlg& dialog) {
            preset = dialog.PortList()->currentText();
            QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        });
        const bool replaced = RunTransferDialog(nullptr, TransferDirection::Upload, target);
        QCOMPARE(preset, device);
        QVERIFY(replaced);
        QCOMPARE(boxes.Texts().last(), LangText(30));

        const CSlaveNode* slave = target.Subnet().GetNodeAt(0);
        QVERIFY(slave);
        QCOMPARE(slave->GetName(), std::string("Node(17)"));
        QCOMPARE(slave->GetCommandCount(), 6);
        const CSlaveNode* sent = source->Subnet().GetNodeAt(0);
        for (int i = 0; i < 6; ++i) {
            for (int row : {CMD_ROW_FUNCTION_CODE, CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS}) {
                QCOMPARE(slave->GetCommandAt(i)->GetItemAt(row)->value, sent->GetCommandAt(i)->GetItemAt(row)->value);
            }
        }
        QCOMPARE(target.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, std::string("1500"));
    }

    void MissingDeviceIsNotOpened()
    {
        CDeviceConfig root;
        const std::string before = ModelText(root);
        const QString device = QStringLiteral("/nonexistent/ttyGW0");
        ModalBoxWatcher boxes;
        CSerialPortDlg dialog(TransferDirection::Download, root);
        dialog.show();
        TypePort(dialog, device);
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), kRunTimeoutMs);

        QCOMPARE(boxes.Texts(), QStringList{LangText(28)});
        QCOMPARE(boxes.seen.front().icon, QMessageBox::Warning);
        QVERIFY(ControlsEnabled(dialog));
        QCOMPARE(CSerialPortDlg::LastPort(), device);
        QVERIFY(ModelText(root) == before);
    }

    void PortLockedByAnotherProgramIsRefusedNamingIt()
    {
        if (::access(kSerialLockDirectory, W_OK) != 0)
            QSKIP("the lock directory cannot be written to here");
        SimProcess sim({});
        QVERIFY(sim.Running());
        const std::string lock = std::string(kSerialLockDirectory) + "/" + LockFileName(sim.Path());
        std::ofstream(lock) << "         1\n";   // init: always alive
        CDeviceConfig root;
        ModalBoxWatcher boxes;
        TransferDriver driver([&](CSerialPortDlg& dialog) {
            TypePort(dialog, QString::fromStdString(sim.Path()));
            QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        });
        QVERIFY(!RunTransferDialog(nullptr, TransferDirection::Upload, root));
        std::remove(lock.c_str());
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY2(boxes.Texts()[0].startsWith(LangText(28)) && boxes.Texts()[0].contains("in use by process 1."),
                 qPrintable(boxes.Texts()[0]));
    }

    void SilentModuleFailsTheUploadAndKeepsTheConfiguration()
    {
        SimProcess sim({"--no-answer"});
        QVERIFY(sim.Running());
        auto root = MakeMappedConfig(3);
        const std::string before = ModelText(*root);
        ModalBoxWatcher boxes;
        TransferDriver driver([&](CSerialPortDlg& dialog) {
            dialog.SetLinkTimings(QuickTimings());
            TypePort(dialog, QString::fromStdString(sim.Path()));
            QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        });
        QVERIFY(!RunTransferDialog(nullptr, TransferDirection::Upload, *root));
        QCOMPARE(boxes.Texts(), QStringList{ResultText(RESULT_SERIAL_IO)});
        QVERIFY2(ModelText(*root) == before, "a failed upload leaves the configuration as it was");
    }

    void MessagesOnTheWayComeFirstAndTheRunCannotBeCancelled()
    {
        SimProcess sim({});
        QVERIFY(sim.Running());
        auto root = MakeMappedConfig(2);
        root->Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value.clear();

        CSerialPortDlg dialog(TransferDirection::Download, *root);
        ModalBoxWatcher boxes;
        bool disabledMeanwhile = false;
        bool stayedOpen = false;
        boxes.whileShown = [&](const QMessageBox&) {
            if (boxes.seen.size() != 1)
                return;
            // The run is still going on while its first message is shown.
            disabledMeanwhile = ControlsDisabled(dialog) && dialog.IsRunning();
            dialog.reject();
            stayedOpen = dialog.isVisible();
        };
        dialog.show();
        TypePort(dialog, QString::fromStdString(sim.Path()));
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), kRunTimeoutMs);

        const QString label = FromUtf8(root->Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->label);
        QCOMPARE(boxes.Texts().size(), 2);
        QVERIFY2(boxes.Texts()[0].contains("\"" + label + "\""), qPrintable(boxes.Texts()[0]));
        QVERIFY2(!boxes.Texts()[0].contains('\r'), "line breaks are shown as such");
        QCOMPARE(boxes.Texts()[1], ResultText(RESULT_EMPTY_ITEM));
        QVERIFY(disabledMeanwhile);
        QVERIFY(stayedOpen);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(ControlsEnabled(dialog));
    }

    void ImpossibleValuesAreNamedInOneBoxAndNothingIsSent()
    {
        const QString state = QDir::temp().filePath(QStringLiteral("refused-%1.txt").arg(QCoreApplication::applicationPid()));
        QFile::remove(state);
        SimProcess sim({"--state", state.toStdString()});
        QVERIFY(sim.Running());
        auto root = MakeMappedConfig(2);
        root->Subnet().GetItemAt(SUBNET_ROW_SCAN_RATE)->value = "0";
        root->Subnet().GetNodeAt(0)->GetCommandAt(1)->GetItemAt(CMD_ROW_START_ADDRESS)->value = "70000";
        ModalBoxWatcher boxes;
        TransferDriver driver([&](CSerialPortDlg& dialog) {
            TypePort(dialog, QString::fromStdString(sim.Path()));
            QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        });
        RunTransferDialog(nullptr, TransferDirection::Download, *root);
        QCOMPARE(boxes.Texts().size(), 2);
        QCOMPARE(boxes.Texts()[0], "subnet / Scan Rate = \"0\": " + ResultText(RESULT_OUT_OF_RANGE) +
                                       "\ncommand:2 / Starting Address = \"70000\": " + ResultText(RESULT_OUT_OF_RANGE));
        QCOMPARE(boxes.Texts()[1], ResultText(RESULT_OUT_OF_RANGE));
        QVERIFY2(!QFile::exists(state), "the module was given nothing");
    }

    void CancelOpensNothingAndKeepsTheLastPort()
    {
        CDeviceConfig root;
        const QString last = CSerialPortDlg::LastPort();
        ModalBoxWatcher boxes;
        TransferDriver driver([&](CSerialPortDlg& dialog) {
            TypePort(dialog, QStringLiteral("/dev/null"));
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        });
        QVERIFY(!RunTransferDialog(nullptr, TransferDirection::Download, root));
        QVERIFY(boxes.seen.empty());
        QCOMPARE(CSerialPortDlg::LastPort(), last);
    }
};

QTEST_MAIN(TransferDialogTest)
#include "transfer_dialog_test.moc"
