// The Test Commands dialog driven like a user does it, against modbus-slave-sim on a pseudo-terminal.

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "dialog_driver.h"
#include "dialog_test_config.h"
#include "modal_box_watcher.h"
#include "support/serving_process.h"
#include "ui/command_test_dialog.h"
#include "widgets/memory_grid.h"

using namespace dialog_test;

namespace {

constexpr int kPollTimeoutMs = 20000;

// Read 3 registers at 100, 9 coils at 10 from bit 3, write a register at 300, read it back.
std::unique_ptr<CDeviceConfig> MakeConfig()
{
    auto root = std::make_unique<CDeviceConfig>();
    CSlaveNode& slave = SlaveOf(*root, 1);
    const struct { int code, start, count, bit; } commands[] = {{3, 100, 3, 0}, {1, 10, 9, 3}, {6, 300, 1, 0}, {3, 300, 1, 0}};
    for (const auto& c : commands)
        AddPlacedCommand(slave, c.code, "0H", c.bit, c.count)->GetItemAt(CMD_ROW_START_ADDRESS)->value = std::to_string(c.start);
    AutoMap(*root);
    return root;
}

ServingProcess StartSlave()
{
    return ServingProcess({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60", "--holding", "100=1,2,0x1234", "--coils",
                           "10=1,0,1,1,0,0,1,1,1", "--holding", "300=5"});
}

QString Text(const CCommandTestDlg& dialog, int number, int column)
{
    return dialog.Table()->item(number - 1, column)->text();
}

void PollOnce(CCommandTestDlg& dialog)
{
    QTest::mouseClick(dialog.PollOnceButton(), Qt::LeftButton);
    QVERIFY(dialog.IsPolling());
    QVERIFY(!dialog.PollOnceButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsPolling() && dialog.PollOnceButton()->isEnabled(), kPollTimeoutMs);
}

} // namespace

class CommandTestDialogTest : public QObject {
    Q_OBJECT
private slots:
    void PollOnceShowsOutcomesValuesAndTheImage()
    {
        ServingProcess sim = StartSlave();
        QVERIFY(sim.Running());
        auto root = MakeConfig();
        CCommandTestDlg dialog(*root);
        dialog.show();
        dialog.PortList()->setEditText(QString::fromStdString(sim.Path()));
        PollOnce(dialog);

        QCOMPARE(Text(dialog, 1, CCommandTestDlg::COL_OUTCOME), QString("ok"));
        QCOMPARE(Text(dialog, 1, CCommandTestDlg::COL_VALUES), QString("1 2 4660"));
        QCOMPARE(Text(dialog, 2, CCommandTestDlg::COL_VALUES), QString("1 0 1 1 0 0 1 1 1"));
        QCOMPARE(Text(dialog, 3, CCommandTestDlg::COL_OUTCOME), QString("skipped"));
        QCOMPARE(Text(dialog, 4, CCommandTestDlg::COL_VALUES), QString("5"));
        QTest::mouseClick(dialog.HexToggle(), Qt::LeftButton);
        QCOMPARE(Text(dialog, 1, CCommandTestDlg::COL_VALUES), QString("0x0001 0x0002 0x1234"));

        // Byte 5 holds 34h, the low byte of the third register; byte 6 the coils from bit 3 (68h).
        const auto bitText = [&](int bit) {
            return dialog.Image()->item(CMemoryGrid::RowOfBit(bit), CMemoryGrid::ColumnOfBit(bit))->text();
        };
        QString byte5, byte6;
        for (int bit = 7; bit >= 0; --bit) {
            byte5 += bitText(5 * 8 + bit);
            byte6 += bitText(6 * 8 + bit);
        }
        QCOMPARE(byte5, QString("00110100"));
        QCOMPARE(byte6, QString("01101000"));
        QCOMPARE(dialog.Image()->BitColour(0), CCommandTestDlg::CommandColour(1));
        QCOMPARE(dialog.Image()->BitColour(6 * 8), CCommandTestDlg::CommandColour(2));
        QVERIFY(CCommandTestDlg::CommandColour(1) != CCommandTestDlg::CommandColour(2));
        QCOMPARE(dialog.Image()->BitColour(10 * 8), QColor(Qt::white));
    }

    void WriteGoesOutOnlyAfterConfirmation()
    {
        ServingProcess sim = StartSlave();
        auto root = MakeConfig();
        CCommandTestDlg dialog(*root);
        dialog.show();
        dialog.PortList()->setEditText(QString::fromStdString(sim.Path()));
        QVERIFY(!dialog.WriteButton(1));
        ModalBoxWatcher boxes;
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            boxes.answers.push_back(answer);
            DialogDriver<QInputDialog> values([](QInputDialog& input) {
                input.setTextValue("77");
                input.accept();
            });
            QTest::mouseClick(dialog.WriteButton(3), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsPolling(), kPollTimeoutMs);
            PollOnce(dialog);
            QCOMPARE(Text(dialog, 4, CCommandTestDlg::COL_VALUES), QString(answer == QMessageBox::Yes ? "77" : "5"));
        }
        QCOMPARE(boxes.seen.size(), std::size_t(2));
        QVERIFY(boxes.seen.front().text.contains("Address 300, values: 77"));
    }

    void ContinuousPollingNeverWritesAndEndsWithTheDialog()
    {
        ServingProcess sim = StartSlave();
        auto root = MakeConfig();
        auto dialog = std::make_unique<CCommandTestDlg>(*root);
        dialog->show();
        dialog->PortList()->setEditText(QString::fromStdString(sim.Path()));
        QTest::mouseClick(dialog->PollContinuouslyButton(), Qt::LeftButton);
        QVERIFY(dialog->IsPolling());
        QVERIFY(!dialog->WriteButton(3)->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(Text(*dialog, 4, CCommandTestDlg::COL_VALUES) == "5", kPollTimeoutMs);
        QCOMPARE(Text(*dialog, 3, CCommandTestDlg::COL_OUTCOME), QString("skipped"));
        dialog->reject();
        QVERIFY(!dialog->IsPolling());
    }

    void RefusedSettingIsNamed()
    {
        ServingProcess sim = StartSlave();
        auto root = MakeConfig();
        root->Subnet().GetItemAt(SUBNET_ROW_CHECK_BIT)->value = "Even";
        CCommandTestDlg dialog(*root);
        dialog.show();
        dialog.PortList()->setEditText(QString::fromStdString(sim.Path()));
        PollOnce(dialog);
        QVERIFY2(dialog.Status()->text().contains("the port refused parity Even"), qPrintable(dialog.Status()->text()));
        QCOMPARE(Text(dialog, 1, CCommandTestDlg::COL_OUTCOME), QString());
    }
};

QTEST_MAIN(CommandTestDialogTest)
#include "command_test_dialog_test.moc"
