// The desktop on the network: the port dialog's network choice through ser2net, remembered for
// the next dialog, and File > Fleet… over a plan with a module that holds its file, one that
// differs and one whose server nobody runs: coloured rows, progress, the summary, a file opened
// and a module's Line text shown by a double-click.

#include <QtTest>
#include <QtWidgets>

#include "file/config_file.h"
#include "support/config_builder.h"
#include "support/device_server.h"
#include "support/in_process_module.h"
#include "support/scratch_folder.h"
#include "support/widget_dialog_driver.h"
#include "support/widget_modal_boxes.h"
#include "support/widget_workbench.h"
#include "ui/command_table.h"
#include "ui/fleet_dialog.h"
#include "ui/port_choice.h"
#include "ui/transfer_dialog.h"

using namespace ui_test;
using namespace test_config;

namespace {

QPoint CellCentre(QTableWidget* table, int row, int column)
{
    return table->visualItemRect(table->item(row, column)).center();
}

} // namespace

class FleetTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void thePortDialogReachesAServer()
    {
        ScratchFolder scratch;
        InProcessModule module(SimIdentity{});
        Ser2net server({{module.Path(), true}}, scratch.Path().string());
        QVERIFY(server.Running());
        const QString url = QString::fromStdString(server.Url(0));
        const QString hostAndPort = url.section(QStringLiteral("://"), 1);
        Workbench bench;
        QVERIFY(bench.Ready());
        ModalBoxWatcher boxes;
        QObject owner;
        new DialogDriver<CSerialPortDlg>([&](CSerialPortDlg& dialog) {
            CPortChooser* port = dialog.PortChoice();
            QTest::mouseClick(port->NetworkChoice(), Qt::LeftButton);
            port->Protocols()->setCurrentIndex(1);
            QTest::keyClicks(port->ServerAddress(), hostAndPort);
            QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        }, &owner);
        bench.Command(ID_DOWNLOAD)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.empty(), kRunWaitMs);
        QCOMPARE(boxes.Texts().last(), QStringLiteral("Download successfully!"));
        QCOMPARE(CSerialPortDlg::LastPort(), url);
        QVERIFY(module.RequestsSeen() > 0);

        // The next dialog offers the server again; typing a device chooses the local port.
        CSerialPortDlg next(TransferDirection::Upload, bench.root);
        QVERIFY(next.PortChoice()->NetworkChoice()->isChecked());
        QCOMPARE(next.PortChoice()->PortName(), url);
        next.PortList()->setEditText(QStringLiteral("/dev/ttyUSB7"));
        QVERIFY(next.PortChoice()->LocalChoice()->isChecked());
        QCOMPARE(next.PortChoice()->PortName(), QStringLiteral("/dev/ttyUSB7"));
        next.PortChoice()->Protocols()->setCurrentIndex(0);
        QCOMPARE(next.PortChoice()->PortName(), QStringLiteral("socket://") + hostAndPort);
    }

    void theFleetDialogShowsEveryModule()
    {
        ScratchFolder scratch;
        auto plant = MakeFilledConfig(MODE_MODBUS_MASTER, 3);
        QVERIFY(gw::SaveFile(*plant, scratch / "plant.xml").ok);
        InProcessModule holding(SimIdentity{}), differing(SimIdentity{});
        Ser2net server({{holding.Path()}, {differing.Path(), true}}, scratch.Path().string());
        QVERIFY(server.Running());
        SetValue(plant->Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_START_ADDRESS), "99");
        QVERIFY(gw::SaveFile(*plant, scratch / "other.xml").ok);
        scratch.Write("plan.csv", "name,port,file,action\nhall," + server.Url(0) + ",plant.xml,download\nyard," +
                                      server.Url(1) + ",other.xml,download\ngate,socket://127.0.0.1:" +
                                      std::to_string(FreeTcpPort()) + ",plant.xml,download\n");
        Workbench bench;
        QVERIFY(bench.Ready());
        QObject owner;
        QStringList seen;
        new DialogDriver<CFleetDlg>([&](CFleetDlg& dialog) {
            QVERIFY(dialog.OpenPlan(QString::fromStdString(scratch / "plan.csv")));
            QTableWidget* table = dialog.Table();
            dialog.Run();   // as the plan says: download every module
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsRunning(), kRunWaitMs);
            // "yard" now holds other.xml; verify it and "hall" against plant.xml.
            scratch.Write("plan.csv", "name,port,file\nhall," + server.Url(0) + ",plant.xml\nyard," + server.Url(1) +
                                          ",plant.xml\ngate,socket://127.0.0.1:1,plant.xml\n");
            QVERIFY(dialog.OpenPlan(QString::fromStdString(scratch / "plan.csv")));
            dialog.ActionList()->setCurrentIndex(2);   // Verify
            QTest::mouseClick(dialog.RunButton(), Qt::LeftButton);
            QVERIFY(dialog.StopButton()->isEnabled() && !dialog.RunButton()->isEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsRunning(), kRunWaitMs);
            for (int row = 0; row < table->rowCount(); ++row) {
                auto* progress = static_cast<QProgressBar*>(table->cellWidget(row, CFleetDlg::COL_PROGRESS));
                seen << table->item(row, CFleetDlg::COL_STATUS)->text() + " " +
                            table->item(row, CFleetDlg::COL_STATUS)->background().color().name() + " " +
                            QString::number(progress->value() == progress->maximum());
            }
            seen << dialog.Status()->text();
            seen << QString::number(dialog.LineText(1).contains("-> READ_VERSION"));
            // A double-click on a file opens it; on the message, the module's Line text.
            new DialogDriver<CModuleLineDlg>([&](CModuleLineDlg& line) {
                seen << line.Text()->toPlainText().section('\n', 0, 0);
                line.reject();
            }, &owner);
            for (const auto& [row, column] : {std::pair{0, int(CFleetDlg::COL_MESSAGE)}, std::pair{1, int(CFleetDlg::COL_FILE)}}) {
                // A double-click starts as a click.
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, CellCentre(table, row, column));
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, CellCentre(table, row, column));
            }
            dialog.reject();
        }, &owner);
        bench.Command(ID_FLEET)->trigger();
        QCOMPARE(seen, QStringList({"succeeded #c8f0c8 1", "failed (1) #ffc0c0 1", "failed (4) #ffc0c0 1",
                                    "3 module(s): 1 succeeded, 2 failed", "1",
                                    "hall via " + QString::fromStdString(server.Url(0)) + ": verify plant.xml"}));
        QCOMPARE(bench.frame->windowTitle(), QString::fromStdString(scratch / "plant.xml") + "[*]");
    }
};

QTEST_MAIN(FleetTest)
#include "fleet_test.moc"
