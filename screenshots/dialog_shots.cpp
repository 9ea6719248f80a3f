// Pictures of the dialogs: the memory map with a conflict, the transfer dialog halfway through a
// download to gateway-sim, Compare with Module (the differences and the main window with its
// Line pane) and Test Commands after one poll of modbus-slave-sim.
// Usage: dialog_shots OUTPUT_FOLDER

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "file/config_file.h"
#include "link/transfer_run.h"
#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"
#include "support/scratch_folder.h"
#include "support/run_program.h"
#include "support/widget_dialog_driver.h"
#include "support/widget_modal_boxes.h"
#include "support/widget_workbench.h"
#include "ui/command_table.h"
#include "ui/command_test_dialog.h"
#include "ui/differences_dialog.h"
#include "ui/memory_map_dialog.h"
#include "ui/transfer_dialog.h"
#include "widgets/memory_grid.h"

using namespace test_config;

namespace {

QString g_folder;

bool Save(QWidget& widget, const QString& name)
{
    QTest::qWait(100);
    const QString path = QDir(g_folder).filePath(name);
    const bool ok = widget.grab().save(path);
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "cannot write", qPrintable(path));
    return ok;
}

bool Fail(const char* why)
{
    std::fprintf(stderr, "%s\n", why);
    return false;
}

// Twelve commands mapped end to end, one reading into bytes already taken and one writing past
// the end of the output area; an input command beside the conflict is selected.
bool ShootMemoryMap()
{
    auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 12);
    AddCommand(SlaveOf(*root), {3, "0", "3", "0006H"});
    AddCommand(SlaveOf(*root), {16, "0", "4", "40F0H"});
    CConflictDlg dialog(*root);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return false;
    int commands = 0;
    for (QTreeWidgetItemIterator it(dialog.Tree()); *it; ++it)
        if ((*it)->parent() && (*it)->parent()->parent() && ++commands == 4)
            dialog.Tree()->setCurrentItem(*it);
    CMemoryGrid* output = dialog.Grid(AREA_OUTPUT);
    output->scrollToItem(output->item(CMemoryGrid::RowOfBit(kAreaBits) - 4, 0), QAbstractItemView::PositionAtTop);
    return Save(dialog, "memory-map-conflict.png");
}

bool ShootTransfer()
{
    ServingProcess sim({GATEWAY_SIM_PATH, "--idle-exit", "60", "--wire-time"});
    if (!sim.Running())
        return Fail("gateway-sim did not start");
    auto root = MakeFilledConfig(MODE_MODBUS_MASTER, 48);
    ModalBoxWatcher boxes;
    CSerialPortDlg dialog(TransferDirection::Download, *root);
    dialog.show();
    dialog.PortList()->lineEdit()->setText(QString::fromStdString(sim.Path()));
    QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    const QProgressBar* bar = dialog.Progress();
    if (!QTest::qWaitFor([&] { return !dialog.isVisible() || (bar->maximum() > 10 && bar->value() * 2 >= bar->maximum()); },
                         60000) || !dialog.isVisible())
        return Fail("the download ended before a picture was taken");
    const bool saved = Save(dialog, "transfer-download.png");
    if (!QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000))
        Fail("the download did not end");
    return saved;
}

// The module holds the plant's file with three values changed since.
bool ShootCompare()
{
    InProcessModule module(SimIdentity{});
    auto held = MakeFilledConfig(MODE_MODBUS_MASTER, 6);
    SlaveOf(*held).GetCommandAt(1)->GetItemAt(CMD_ROW_START_ADDRESS)->value = "555";
    SlaveOf(*held).GetCommandAt(3)->SetChoice(CMD_ROW_SCAN_TYPE, 1);
    held->Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "2000";
    if (!module.Ready() || gw::RunTransfer(TransferDirection::Download, module.Path(), *held).code != RESULT_OK)
        return Fail("the simulated module could not be loaded");
    ScratchFolder scratch;
    if (!gw::SaveFile(*MakeFilledConfig(MODE_MODBUS_MASTER, 6), scratch / "plant.xml").ok)
        return false;
    ui_test::Workbench bench;
    bench.frame->StartUp(scratch / "plant.xml");
    bench.Command(ID_VIEW_LINE)->trigger();
    bool shot = false;
    DialogDriver<CSerialPortDlg> port([&](CSerialPortDlg& dialog) {
        dialog.PortList()->lineEdit()->setText(QString::fromStdString(module.Path()));
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    });
    DialogDriver<CDifferencesDialog> differences([&](CDifferencesDialog& dialog) {
        QTableWidget* table = dialog.Table();
        table->selectRow(1);
        shot = Save(dialog, "compare-differences.png");
        const QPoint cell = table->visualItemRect(table->item(1, 1)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
        dialog.reject();
    });
    bench.Command(ID_COMPARE_MODULE)->trigger();
    return Save(*bench.frame, "line-pane.png") && shot;
}

bool ShootTestCommands()
{
    ServingProcess slave({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60", "--holding", "100=1,2,0x1234,500,0xBEEF",
                          "--input-registers", "0=7,8,9", "--coils", "10=1,0,1,1,0,0,1,1,1", "--exception", "5000-5010"});
    if (!slave.Running())
        return Fail("modbus-slave-sim did not start");
    auto root = MakeConfig({{3, "100", "5"}, {4, "0", "3"}, {1, "10", "9", "", "3"}, {2, "20", "12"}, {3, "5000", "4"},
                            {6, "300"}, {16, "310", "2"}});
    SlaveOf(*root, 1);
    gw::AutoMap(*root);
    CCommandTestDlg dialog(*root);
    dialog.show();
    dialog.PortList()->setEditText(QString::fromStdString(slave.Path()));
    QTest::mouseClick(dialog.PollOnceButton(), Qt::LeftButton);
    return QTest::qWaitFor([&] { return !dialog.IsPolling(); }, 20000) && Save(dialog, "test-commands.png");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 64;
    }
    ui_test::UseTestSettings();
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    const bool memoryMap = ShootMemoryMap();
    const bool transfer = ShootTransfer();
    const bool compare = ShootCompare();
    const bool testCommands = ShootTestCommands();
    return memoryMap && transfer && compare && testCommands ? 0 : 1;
}
