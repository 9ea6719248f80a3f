// Pictures of the main window: the subnet in both protocol modes, a selected command and the
// About box. argv[1] is the folder the PNG files go to. With SHOT_SUFFIX set (language and scale
// factor) only the command picture is taken, as main<suffix>.png. Under a window manager the
// main window is taken with its frame, from the screen.

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include "model/lang_strings.h"
#include "support/widget_workbench.h"
#include "ui/about_dialog.h"
#include "ui/language_choice.h"

namespace {

bool Save(QWidget& widget, const QString& folder, const QString& name)
{
    QTest::qWait(50);
    // Framed by a window manager: the frame as the screen shows it.
    const QRect frame = widget.frameGeometry();
    const bool framed = frame.top() < widget.geometry().top();
    const QPixmap picture = framed ? widget.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                                   : widget.grab();
    const bool ok = picture.save(QDir(folder).filePath(name));
    if (!ok)
        qWarning("could not write %s", qPrintable(name));
    return ok;
}

// Shows the entry and makes the row current without opening an editor.
void Show(ui_test::Workbench& bench, QTreeWidgetItem* entry, int row)
{
    bench.Tree()->SelectEntry(entry);
    bench.ClickCell(row, 0);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ui_test::UseTestSettings();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    // The language of the locale (LANG); the configuration's texts are made in it.
    gw::SetActiveLanguage(gw::SystemLanguage());
    InstallTranslations();
    ui_test::Workbench bench;
    bench.Fill({FUNCTION_READ_HOLDING_REGISTER, FUNCTION_READ_INPUT_REGISTER, FUNCTION_READ_COIL_STATUS,
                FUNCTION_PRESET_SINGLE_REGISTER, FUNCTION_PRESET_MULTIPLE_REGISTERS});
    const char* const values[][2] = {{"0", "10"}, {"100", "4"}, {"0", "16"}, {"20", "1"}, {"40", "8"}};
    CSlaveNode* slave = bench.root.Subnet().GetNodeAt(0);
    for (int i = 0; i < 5; ++i) {
        slave->GetCommandAt(i)->GetItemAt(CMD_ROW_START_ADDRESS)->value = values[i][0];
        if (CParamItem* count = slave->GetCommandAt(i)->GetItemAt(CMD_ROW_DATA_COUNT))
            count->value = values[i][1];
    }
    bench.frame->FitOnScreen(true);
    if (!QTest::qWaitForWindowExposed(bench.frame.get()))
        return 1;
    // A window manager frames the window a moment after it is shown; the fit follows.
    (void)QTest::qWaitFor([&] { return bench.frame->frameGeometry().top() < bench.frame->geometry().top(); }, 2000);
    QTest::qWait(300);

    const QString suffix = qEnvironmentVariable("SHOT_SUFFIX");
    Show(bench, bench.CommandEntry(1), CMD_ROW_DATA_COUNT);
    if (!suffix.isEmpty())
        return Save(*bench.frame, folder, QStringLiteral("main%1.png").arg(suffix)) ? 0 : 1;
    bool ok = Save(*bench.frame, folder, "main-command.png");
    Show(bench, bench.Subnet(), SUBNET_ROW_RESPONSE_TIMEOUT);
    ok = Save(*bench.frame, folder, "main-modbus-subnet.png") && ok;
    bench.root.Subnet().SetMode(MODE_USER_CONFIG);
    bench.frame->StartUp(std::nullopt);
    Show(bench, bench.Subnet(), SUBNET_ROW_FRAME_TYPE);
    ok = Save(*bench.frame, folder, "main-userconfig-subnet.png") && ok;

    CAboutDlg about(bench.frame.get());
    about.show();
    return QTest::qWaitForWindowExposed(&about) && Save(about, folder, "about-box.png") && ok ? 0 : 1;
}
