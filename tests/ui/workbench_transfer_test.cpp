// Upload and Download from the main window's commands, against gateway-sim: after an upload the
// tree and the grid show the module's configuration and the document counts as changed.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialog_driver.h"
#include "dialog_test_config.h"
#include "link/sim_process.h"
#include "link/transfer_run.h"
#include "modal_box_watcher.h"
#include "support/module_states.h"
#include "ui/command_table.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

constexpr int kRunTimeoutMs = 60000;

// Types the device into the dialog's field and starts the run.
DialogDriver<CSerialPortDlg>* StartWith(const QString& device, QObject* owner)
{
    auto* driver = new DialogDriver<CSerialPortDlg>([device](CSerialPortDlg& dialog) {
        QLineEdit* field = dialog.PortList()->lineEdit();
        field->clear();
        QTest::keyClicks(field, device);
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    });
    driver->setParent(owner);
    return driver;
}

} // namespace

class WorkbenchTransferTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }
    void uploadRebuildsTreeAndGrid();
    void downloadLeavesTheDocumentAlone();
    void uploadedImpossibleValuesAreRedUntilEdited();
};

void WorkbenchTransferTest::uploadRebuildsTreeAndGrid()
{
    const QString state = QDir::temp().filePath(QStringLiteral("workbench-upload-%1.txt").arg(QCoreApplication::applicationPid()));
    QFile::remove(state);
    {
        SimProcess loader({"--state", state.toStdString()});
        QVERIFY(loader.Running());
        auto module = dialog_test::MakeMappedConfig(5);
        QCOMPARE(RunTransfer(TransferDirection::Download, loader.Path(), *module).code, RESULT_OK);
    }
    SimProcess sim({"--state", state.toStdString()});
    QVERIFY(sim.Running());

    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Fieldbus());
    QVERIFY(bench.FilledRows() > 0);
    QVERIFY(!bench.modified);

    ModalBoxWatcher boxes;
    QString slaveWhileTold;
    bool modifiedWhileTold = false;
    boxes.whileShown = [&](const QMessageBox&) {
        slaveWhileTold = bench.Slave() ? bench.Slave()->text(0) : QString();
        modifiedWhileTold = bench.modified;
    };
    QObject owner;
    StartWith(QString::fromStdString(sim.Path()), &owner);
    bench.frame->Action(ID_UPLOAD)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.empty(), kRunTimeoutMs);
    QCOMPARE(boxes.Texts().last(), LangText(30));
    // The views showed the module's configuration before the user was told of the success.
    QCOMPARE(slaveWhileTold, QString("Node(17)"));
    QVERIFY(modifiedWhileTold);

    QVERIFY(bench.modified);
    QVERIFY(bench.Slave());
    QCOMPARE(bench.Slave()->text(0), QString("Node(17)"));
    QCOMPARE(bench.Slave()->childCount(), 5);
    QCOMPARE(bench.CommandEntry(0)->text(0), FromUtf8(bench.root.Subnet().GetNodeAt(0)->GetCommandAt(0)->GetName()));
    QCOMPARE(bench.FilledRows(), 0);   // the grid no longer shows the replaced configuration

    bench.Click(bench.CommandEntry(2));
    QCOMPARE(bench.FilledRows(), 10);
    bench.Click(bench.Subnet());
    QCOMPARE(bench.Cell(SUBNET_ROW_RESPONSE_TIMEOUT, 1), QString("1500"));

    // The upload is one step to undo: the configuration of before comes back, unmodified.
    bench.frame->activateWindow();
    QVERIFY(bench.Ready());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!bench.Slave());
    QVERIFY(!bench.modified);
    QFile::remove(state);
}

void WorkbenchTransferTest::downloadLeavesTheDocumentAlone()
{
    SimProcess sim({});
    QVERIFY(sim.Running());
    Workbench bench;
    QVERIFY(bench.Ready());
    const std::string before = dialog_test::ModelText(bench.root);

    ModalBoxWatcher boxes;
    QObject owner;
    StartWith(QString::fromStdString(sim.Path()), &owner);
    bench.frame->Action(ID_DOWNLOAD)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.empty(), kRunTimeoutMs);
    QCOMPARE(boxes.Texts().last(), LangText(29));
    QVERIFY(!bench.modified);
    QVERIFY(dialog_test::ModelText(bench.root) == before);
    QCOMPARE(CSerialPortDlg::LastPort(), QString::fromStdString(sim.Path()));
}

void WorkbenchTransferTest::uploadedImpossibleValuesAreRedUntilEdited()
{
    const QString state = QDir::temp().filePath(QStringLiteral("workbench-faults-%1.txt").arg(QCoreApplication::applicationPid()));
    std::string error;
    QVERIFY2(SaveModuleState(state.toStdString(), ModuleHoldingImpossibleValues(), error), error.c_str());
    SimProcess sim({"--state", state.toStdString()});
    Workbench bench;
    QVERIFY(bench.Ready());
    ModalBoxWatcher boxes;
    QObject owner;
    StartWith(QString::fromStdString(sim.Path()), &owner);
    bench.frame->Action(ID_UPLOAD)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(boxes.seen.size() == 2 && !QApplication::activeModalWidget(), kRunTimeoutMs);
    QCOMPARE(boxes.Texts()[0], LangText(30));
    QVERIFY2(boxes.Texts()[1].contains("command:1 / Number of Data = \"512\""), qPrintable(boxes.Texts()[1]));
    bench.frame->activateWindow();   // the closed dialog hands the focus back
    QVERIFY(bench.Ready());

    const QColor red(255, 0, 0);
    bench.Click(bench.CommandEntry(0));
    QCOMPARE(bench.CellColour(CMD_ROW_DATA_COUNT), red);
    QVERIFY(bench.TypeValue(CMD_ROW_DATA_COUNT, "123"));   // refused: the module's value stays
    QCOMPARE(bench.CellColour(CMD_ROW_DATA_COUNT), red);
    bench.Click(bench.Subnet());
    QCOMPARE(bench.CellColour(SUBNET_ROW_RESPONSE_TIMEOUT), red);
    QVERIFY(bench.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500"));
    QCOMPARE(bench.CellColour(SUBNET_ROW_RESPONSE_TIMEOUT), kWhite);
    QFile::remove(state);
}

QTEST_MAIN(WorkbenchTransferTest)
#include "workbench_transfer_test.moc"
