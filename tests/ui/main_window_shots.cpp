// Pictures of the main window for the documentation: the subnet in both protocol modes and a
// selected command. argv[1] is the folder the PNG files go to.

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include "model/device_config.h"
#include "model/lang_strings.h"
#include "ui/about_dialog.h"
#include "ui/config_tree_pane.h"
#include "ui/dialog_prompt.h"
#include "ui/gateway_app.h"
#include "ui/gateway_view.h"
#include "ui/main_frame.h"
#include "widgets/property_grid.h"

namespace {

void SetValue(CModbusCommand* command, int row, const char* value)
{
    if (CParamItem* item = command->GetItemAt(row))
        item->value = value;
}

void BuildSample(CDeviceConfig& root)
{
    CSlaveNode* slave = root.Subnet().AddNode();
    struct Sample {
        int function;
        const char* start;
        const char* count;
    };
    const Sample samples[] = {{2, "0", "10"}, {3, "100", "4"}, {0, "0", "16"}, {5, "20", "1"}, {13, "40", "8"}};
    for (const Sample& s : samples) {
        CModbusCommand* command = slave->AddCommand(s.function);
        SetValue(command, CMD_ROW_START_ADDRESS, s.start);
        SetValue(command, CMD_ROW_DATA_COUNT, s.count);
    }
}

void ClickLabel(CMainFrame& frame, int row)
{
    CPropertyGrid* grid = frame.View()->Grid();
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

bool Save(CMainFrame& frame, const QDir& folder, const QString& name)
{
    QApplication::processEvents();
    QTest::qWait(50);
    const bool ok = frame.grab().save(folder.filePath(name));
    if (!ok)
        qWarning("could not write %s", qPrintable(name));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetWorkbenchSettingsNames();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(folder.path());

    // The language of the locale (LANG); the configuration's texts are made in it.
    SetActiveLanguage(SystemLanguage());
    CDeviceConfig root;
    root.ResetAll();
    bool modified = false;
    CDialogPrompt prompt;
    BuildSample(root);

    CMainFrame frame(root, modified, prompt);
    frame.StartUp(std::nullopt);
    frame.show();
    frame.FitOnScreen(true);
    if (!QTest::qWaitForWindowExposed(&frame))
        return 1;

    bool ok = true;
    CConfigTreePane* tree = frame.Tree();
    tree->SelectEntry(tree->topLevelItem(1));
    ClickLabel(frame, SUBNET_ROW_RESPONSE_TIMEOUT);
    ok = Save(frame, folder, QStringLiteral("main-modbus-subnet.png")) && ok;

    QTreeWidgetItem* command = tree->topLevelItem(1)->child(0)->child(1);
    tree->SelectEntry(command);
    ClickLabel(frame, CMD_ROW_DATA_COUNT);
    // With a suffix (language and scale factor) only this picture is taken.
    const QString suffix = qEnvironmentVariable("SHOT_SUFFIX");
    if (!suffix.isEmpty())
        return Save(frame, folder, QStringLiteral("main%1.png").arg(suffix)) ? 0 : 1;
    ok = Save(frame, folder, QStringLiteral("main-command.png")) && ok;

    root.Subnet().SetMode(MODE_USER_CONFIG);
    frame.StartUp(std::nullopt);
    tree->SelectEntry(tree->topLevelItem(1));
    ClickLabel(frame, SUBNET_ROW_FRAME_TYPE);
    ok = Save(frame, folder, QStringLiteral("main-userconfig-subnet.png")) && ok;

    CAboutDlg about(&frame);
    about.show();
    if (!QTest::qWaitForWindowExposed(&about))
        return 1;
    QTest::qWait(50);
    ok = about.grab().save(folder.filePath(QStringLiteral("about-box.png"))) && ok;
    return ok ? 0 : 1;
}
