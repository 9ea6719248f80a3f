// A picture of the Test Commands dialog after one poll of modbus-slave-sim.
// Usage: command_test_shots OUTPUT_FOLDER

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "dialog_test_config.h"
#include "support/serving_process.h"
#include "ui/command_test_dialog.h"

using namespace dialog_test;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 64;
    }
    ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60", "--holding", "100=1,2,0x1234,500,0xBEEF",
                        "--input-registers", "0=7,8,9", "--coils", "10=1,0,1,1,0,0,1,1,1", "--exception", "5000-5010"});
    if (!sim.Running()) {
        std::fprintf(stderr, "modbus-slave-sim did not start\n");
        return 1;
    }
    CDeviceConfig root;
    CSlaveNode& slave = SlaveOf(root, 1);
    const struct { int code, start, count, bit; } commands[] = {
        {3, 100, 5, 0}, {4, 0, 3, 0}, {1, 10, 9, 3}, {2, 20, 12, 0}, {3, 5000, 4, 0}, {6, 300, 1, 0}, {16, 310, 2, 0}};
    for (const auto& c : commands)
        AddPlacedCommand(slave, c.code, "0H", c.bit, c.count)->GetItemAt(CMD_ROW_START_ADDRESS)->value = std::to_string(c.start);
    AutoMap(root);

    CCommandTestDlg dialog(root);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 1;
    dialog.PortList()->setEditText(QString::fromStdString(sim.Path()));
    QTest::mouseClick(dialog.PollOnceButton(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return !dialog.IsPolling(); }, 20000))
        return 1;
    QTest::qWait(100);
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath("test-commands.png");
    if (!dialog.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
