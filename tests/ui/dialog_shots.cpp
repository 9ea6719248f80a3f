// Pictures of the memory map dialog, of the transfer dialog during a download to gateway-sim, and
// of Compare with Module against gateway-sim: the differences dialog and the main window with
// its Line pane.
// Usage: dialog_shots OUTPUT_FOLDER

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

#include "dialog_driver.h"
#include "dialog_test_config.h"
#include "file/config_file.h"
#include "link/sim_process.h"
#include "link/transfer_run.h"
#include "modal_box_watcher.h"
#include "ui/command_table.h"
#include "ui/differences_dialog.h"
#include "ui/memory_map_dialog.h"
#include "ui/transfer_dialog.h"
#include "ui_test_support.h"
#include "widgets/memory_grid.h"
#include "mapping/usage_map.h"

using namespace dialog_test;

namespace {

bool Save(QWidget& widget, const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Twelve commands mapped end to end, then one that reads into bytes already taken and one that
// writes past the end of the output area.
std::unique_ptr<CDeviceConfig> MakeConflictConfig()
{
    auto root = MakeMappedConfig(12);
    CSlaveNode& slave = *root->Subnet().GetNodeAt(0);
    AddPlacedCommand(slave, 3, "0006H", 0, 3);
    AddPlacedCommand(slave, 16, "40F0H", 0, 4);
    return root;
}

bool ShootMemoryMap(const QString& folder)
{
    auto root = MakeConflictConfig();
    CConflictDlg dialog(*root);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return false;
    // An input command beside the conflict is selected; the output grid shows the area's end.
    QTreeWidget* tree = dialog.Tree();
    int commands = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->parent() && (*it)->parent()->parent() && ++commands == 4) {
            tree->setCurrentItem(*it);
            break;
        }
    }
    CMemoryGrid* output = dialog.Grid(1);
    output->scrollToItem(output->item(CMemoryGrid::RowOfBit(kAreaBits) - 4, 0), QAbstractItemView::PositionAtTop);
    QTest::qWait(100);
    return Save(dialog, folder, "memory-map-conflict.png");
}

bool ShootTransfer(const QString& folder)
{
    SimProcess sim({"--wire-time"});
    if (!sim.Running()) {
        std::fprintf(stderr, "gateway-sim did not start\n");
        return false;
    }
    auto root = MakeMappedConfig(48);
    ModalBoxWatcher boxes;
    CSerialPortDlg dialog(TransferDirection::Download, *root);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return false;
    dialog.PortList()->lineEdit()->setText(QString::fromStdString(sim.Path()));
    QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    // Halfway through the exchanges.
    const bool halfway = QTest::qWaitFor(
        [&] {
            const QProgressBar* bar = dialog.Progress();
            return !dialog.isVisible() || (bar->maximum() > 10 && bar->value() * 2 >= bar->maximum());
        },
        60000);
    if (!halfway || !dialog.isVisible()) {
        std::fprintf(stderr, "the download ended before a picture was taken\n");
        return false;
    }
    const bool saved = Save(dialog, folder, "transfer-download.png");
    if (!QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000))
        std::fprintf(stderr, "the download did not end\n");
    for (const SeenBox& box : boxes.seen)
        std::printf("  message: %s\n", qPrintable(box.text));
    return saved;
}

bool ShootCompare(const QString& folder)
{
    // The module holds the plant's file with three values changed since.
    SimProcess sim({});
    auto module = dialog_test::MakeMappedConfig(6);
    CSlaveNode& slave = *module->Subnet().GetNodeAt(0);
    slave.GetCommandAt(1)->GetItemAt(CMD_ROW_START_ADDRESS)->value = "555";
    slave.GetCommandAt(3)->SetChoice(CMD_ROW_SCAN_TYPE, 1);
    module->Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "2000";
    if (!sim.Running() || RunTransfer(TransferDirection::Download, sim.Path(), *module).code != RESULT_OK) {
        std::fprintf(stderr, "gateway-sim could not be loaded\n");
        return false;
    }
    QTemporaryDir dir;
    const QString file = dir.filePath("plant.xml");
    if (!SaveFile(*dialog_test::MakeMappedConfig(6), file.toStdString()).ok)
        return false;

    ui_test::Workbench bench;
    bench.frame->OpenFile(file);
    bench.frame->Action(ID_VIEW_LINE)->trigger();
    if (!bench.Ready())
        return false;

    bool shot = false;
    DialogDriver<CSerialPortDlg> port([&](CSerialPortDlg& dialog) {
        dialog.PortList()->lineEdit()->setText(QString::fromStdString(sim.Path()));
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    });
    DialogDriver<CDifferencesDialog> differences([&](CDifferencesDialog& dialog) {
        QTest::qWait(100);
        dialog.Table()->selectRow(1);
        shot = Save(dialog, folder, "compare-differences.png");
        const QRect cell = dialog.Table()->visualItemRect(dialog.Table()->item(1, 1));
        QTest::mouseClick(dialog.Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(dialog.Table()->viewport(), Qt::LeftButton, {}, cell.center());
        dialog.reject();
    });
    bench.frame->Action(ID_COMPARE_MODULE)->trigger();
    QTest::qWait(200);
    if (!bench.Tree()->SelectedEntry())
        std::fprintf(stderr, "the double-click selected nothing\n");
    return Save(*bench.frame, folder, "line-pane.png") && shot;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 64;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const bool memoryMap = ShootMemoryMap(folder);
    const bool transfer = ShootTransfer(folder);
    ui_test::UseTestSettings();
    const bool compare = ShootCompare(folder);
    return memoryMap && transfer && compare ? 0 : 1;
}
