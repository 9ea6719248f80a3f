// Speed of the desktop program: from start to the first shown main window, and from selecting a
// tree entry to its rows in the property grid, on a configuration with 48 commands.
// Run with QT_QPA_PLATFORM=offscreen when there is no display.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWindow>

#include "bench_config.h"
#include "model/device_config.h"
#include "ui/config_tree_pane.h"
#include "ui/gateway_app.h"
#include "ui/gateway_view.h"
#include "ui/main_frame.h"
#include "ui/user_prompt.h"
#include "widgets/property_grid.h"

namespace {

using bench::Fill48Commands;

class CSilentPrompt : public CUserPrompt {
public:
    void ShowMessage(QWidget*, const QString&) override {}
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    Answer AskYesNoCancel(QWidget*, const QString&) override { return Answer::No; }
    QString AskOpenPath(QWidget*) override { return {}; }
    QString AskSavePath(QWidget*) override { return {}; }
};

void WaitExposed(QWidget& window)
{
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void BM_StartToShownWindow(benchmark::State& state)
{
    CSilentPrompt prompt;
    for (auto _ : state) {
        CDeviceConfig root;
        bool modified = false;
        Fill48Commands(root);
        CMainFrame frame(root, modified, prompt);
        frame.StartUp(std::nullopt);
        frame.show();
        WaitExposed(frame);
        benchmark::DoNotOptimize(frame.findChild<CConfigTreePane*>("configTree")->topLevelItemCount());
    }
}
BENCHMARK(BM_StartToShownWindow)->Unit(benchmark::kMillisecond);

void BM_SelectNodeFillsGrid(benchmark::State& state)
{
    CSilentPrompt prompt;
    CDeviceConfig root;
    bool modified = false;
    Fill48Commands(root);
    CMainFrame frame(root, modified, prompt);
    frame.StartUp(std::nullopt);
    frame.show();
    WaitExposed(frame);
    CConfigTreePane* tree = frame.findChild<CConfigTreePane*>("configTree");
    const CPropertyGrid* grid = frame.findChild<CPropertyGrid*>();
    QTreeWidgetItem* slave = tree->topLevelItem(1)->child(0);
    QTreeWidgetItem* targets[] = {slave->child(0), tree->topLevelItem(1), slave->child(47), tree->topLevelItem(0)};
    const int rows[] = {CMD_ROW_COUNT, 12, CMD_ROW_COUNT, BUS_ROW_COUNT};
    std::size_t next = 0;
    for (auto _ : state) {
        tree->SelectEntry(targets[next]);
        QCoreApplication::processEvents();
        if (!grid->ItemAtRow(rows[next] - 1) || grid->ItemAtRow(rows[next])) {
            state.SkipWithError("the grid does not show the selected entry's rows");
            break;
        }
        next = (next + 1) % 4;
    }
}
BENCHMARK(BM_SelectNodeFillsGrid)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetWorkbenchSettingsNames();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
