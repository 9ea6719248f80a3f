// A Chinese session: the configuration built in Chinese from the start, the desktop's own texts
// from its translation and Qt's from Qt's. Every text the main window, its menus, tool tips and
// each dialog show is walked for Latin words outside a short list of names and units; started in
// a Chinese locale, the program downloads its new configuration untouched to gateway-sim, and
// the file it saves passes gatewaycfg --lang zh check.

#include <QtTest>
#include <QtWidgets>

#include "file/config_file.h"
#include "mapping/auto_map.h"
#include "model/lang_strings.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"
#include "support/run_program.h"
#include "support/widget_dialog_driver.h"
#include "support/widget_modal_boxes.h"
#include "support/widget_workbench.h"
#include "ui/command_table.h"
#include "ui/dialog_prompt.h"
#include "ui/gateway_app.h"
#include "ui/help_window.h"
#include "ui/language_choice.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"

using namespace ui_test;

namespace {

// Names, units, byte orders, IEC 61131-3 addresses and key names that stay Latin in Chinese; "Node" is the slave node's
// name as the file stores it.
const QSet<QString> kAllowed = {"PROFIBUS", "DP", "Modbus", "RTU", "ASCII", "CRC", "HEX", "I", "O", "ms", "bps",
                                "Orvel", "Tessun", "Excel", "XML", "xml", "xlsx", "txt", "Node", "Ctrl",
                                "RS", "RTS", "USB", "ABCD", "CDAB", "BADC", "DCBA", "PLC", "IW", "JSON", "TCP", "RFC", "CSV"};
// Widgets that show data rather than texts of the program: the build's version and the web address.
const QSet<QString> kDataWidgets = {"buildVersion", "makerLink"};

// The Latin words of a text outside the list: keys (after a tab, or as Ctrl+K), mnemonics,
// file names, paths and addresses (web pages, rfc2217:// ports) left out.
QStringList LatinWords(QString text)
{
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(&\\w\\)|&(?=\\w)|(?:Ctrl|Shift|Alt)\\+\\w+|"
                                                  "(?:[a-z][a-z0-9]*://|www\\.|/)\\S*|[\\w.-]+\\.(?:xml|xlsx|txt)\\b|<[^>]*>")));
    QStringList words;
    static const QRegularExpression kWord(QStringLiteral("(?<![A-Za-z0-9])[A-Za-z]+(?![A-Za-z0-9])"));
    for (const QRegularExpressionMatch& match : kWord.globalMatch(text))
        if (!kAllowed.contains(match.captured()))
            words << match.captured();
    return words;
}

void Check(QStringList& faults, const QString& where, const QString& text)
{
    const QStringList words = LatinWords(text);
    if (!words.isEmpty())
        faults << QString("%1: \"%2\": %3").arg(where, text, words.join(' '));
}

void CheckModel(QStringList& faults, const QString& where, const QAbstractItemModel* model, const QModelIndex& parent = {})
{
    for (int row = 0; row < model->rowCount(parent); ++row)
        for (int column = 0; column < model->columnCount(parent); ++column) {
            const QModelIndex index = model->index(row, column, parent);
            Check(faults, where, index.data().toString());
            CheckModel(faults, where, model, index);
        }
}

void CheckMenu(QStringList& faults, const QString& where, const QMenu* menu)
{
    Check(faults, where, menu->title());
    for (const QAction* action : menu->actions()) {
        Check(faults, where, action->text());
        if (action->menu())
            CheckMenu(faults, where, action->menu());
    }
}

// Every text a window shows: its title, labels, buttons, panes, tables, trees, menus and the
// tool tips of its tool bars. The file lists of Qt's file dialog are data of the disk.
QStringList WalkTexts(QWidget* window)
{
    QStringList faults;
    const QString name = window->metaObject()->className();
    Check(faults, name, window->windowTitle().remove(QStringLiteral("[*]")));
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || kDataWidgets.contains(widget->objectName()))
            continue;
        const QString where = name + "/" + widget->metaObject()->className() + " " + widget->objectName();
        if (auto* label = qobject_cast<QLabel*>(widget))
            Check(faults, where, label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // A tool button that shows its image only shows no text.
            const auto* tool = qobject_cast<QToolButton*>(button);
            if (!tool || tool->toolButtonStyle() != Qt::ToolButtonIconOnly)
                Check(faults, where, button->text());
        }
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            Check(faults, where, group->title());
        else if (auto* dock = qobject_cast<QDockWidget*>(widget))
            Check(faults, where, dock->windowTitle());
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            Check(faults, where, text->toPlainText());
        else if (auto* bar = qobject_cast<QMenuBar*>(widget))
            for (const QAction* action : bar->actions())
                CheckMenu(faults, where, action->menu());
        else if (auto* tools = qobject_cast<QToolBar*>(widget))
            for (const QAction* action : tools->actions())
                Check(faults, where, action->toolTip());
        else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && !combo->isEditable())
            for (int i = 0; i < combo->count(); ++i)
                Check(faults, where, combo->itemText(i));
        else if (auto* header = qobject_cast<QHeaderView*>(widget))
            for (int i = 0; i < header->count(); ++i)
                Check(faults, where, header->model()->headerData(i, header->orientation()).toString());
        else if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && !qobject_cast<QFileDialog*>(window))
            CheckModel(faults, where, view->model());
    }
    return faults;
}

// Walks the next modal window of a class (any when none is named) that the action opens, then
// closes it.
QStringList WalkModal(const std::function<void()>& open, const char* className = nullptr)
{
    QStringList faults;
    bool walked = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || walked || (className && !modal->inherits(className)))
            return;
        QTest::qWait(50);
        faults = WalkTexts(modal);
        walked = true;
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            box->escapeButton() ? box->escapeButton()->click() : box->reject();
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    poll.start();
    open();
    if (!walked)
        faults << "no window opened";
    return faults;
}

} // namespace

class ChineseSessionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        UseTestSettings();
        gw::SetActiveLanguage(Language::Chinese);
        QVERIFY(InstallTranslations());
        m_module = std::make_unique<ServingProcess>(std::vector<std::string>{GATEWAY_SIM_PATH, "--idle-exit", "120"});
        QVERIFY(m_module->Running());
    }

    void mainWindowAndMenus()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Fill({FUNCTION_READ_HOLDING_REGISTER, FUNCTION_PRESET_SINGLE_REGISTER, FUNCTION_PRESET_MULTIPLE_REGISTERS});
        bench.Command(ID_VIEW_LINE)->trigger();
        QStringList faults = WalkTexts(bench.frame.get());
        CheckMenu(faults, "context menu", bench.ContextMenu());
        // Each node's rows and help texts, the subnet in both modes.
        QList<QTreeWidgetItem*> entries{bench.Fieldbus(), bench.Subnet(), bench.Slave()};
        for (int i = 0; i < 3; ++i)
            entries << bench.CommandEntry(i);
        for (QTreeWidgetItem* entry : entries) {
            bench.Click(entry);
            for (int row = 0; row < bench.FilledRows(); ++row) {
                bench.ClickCell(row, 0);
                faults << WalkTexts(bench.frame.get());
            }
        }
        bench.Click(bench.Subnet());
        QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, LangText(ChoiceText::UserConfig)));
        faults << WalkTexts(bench.frame.get());
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void dialogs_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("window");
        QTest::newRow("About") << int(ID_APP_ABOUT) << "CAboutDlg";
        QTest::newRow("Add Command") << int(ID_ADD_COMMAND) << "CSelectCommandDlg";
        QTest::newRow("Download") << int(ID_DOWNLOAD) << "CSerialPortDlg";
        QTest::newRow("Upload") << int(ID_UPLOAD) << "CSerialPortDlg";
        QTest::newRow("Compare with Module") << int(ID_COMPARE_MODULE) << "CSerialPortDlg";
        QTest::newRow("Compare with File") << int(ID_COMPARE_FILE) << "CDifferencesDialog";
        QTest::newRow("Fleet") << int(ID_FLEET) << "CFleetDlg";
        QTest::newRow("Conflict Detect") << int(ID_CONFLICT_DETECT) << "CConflictDlg";
        QTest::newRow("Test Commands") << int(ID_TEST_COMMANDS) << "CCommandTestDlg";
        QTest::newRow("Export XLS") << int(ID_EXPORT_XLS) << "QFileDialog";
        QTest::newRow("Auto Mapping") << int(ID_AUTO_MAPPING) << "QMessageBox";
        QTest::newRow("Export I/O List") << int(ID_EXPORT_IO_LIST) << "CHandoverOptionsDlg";
        QTest::newRow("Export Report") << int(ID_EXPORT_REPORT) << "CHandoverOptionsDlg";
        QTest::newRow("Print") << int(ID_FILE_PRINT) << "CHandoverOptionsDlg";
    }

    void dialogs()
    {
        QFETCH(int, command);
        QFETCH(QString, window);
        QTemporaryDir dir;
        auto filled = test_config::MakeConfig({{3, "100", "3"}, {1, "10", "9"}, {6, "300"}});
        test_config::SlaveOf(*filled, 1);
        gw::AutoMap(*filled);
        const QString other = dir.filePath("other.xml");
        QVERIFY(gw::SaveFile(*filled, ToUtf8(other)).ok);
        CDialogPrompt prompt;   // the real message boxes and file dialogs
        CDeviceConfig root;
        bool modified = false;
        CMainFrame frame(root, modified, prompt);
        frame.StartUp(ToUtf8(other));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto* tree = frame.findChild<CConfigTreePane*>("configTree");
        tree->SelectEntry(tree->topLevelItem(1)->child(0));
        // Compare with File: the file itself, after a change here.
        QObject owner;
        if (command == ID_COMPARE_FILE) {
            root.Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_START_ADDRESS)->value = "7";
            new DialogDriver<QFileDialog>([other](QFileDialog& dialog) {
                dialog.selectFile(other);
                QMetaObject::invokeMethod(&dialog, "accept");
            }, &owner);
        }
        const QStringList faults = WalkModal([&] { MenuCommand(frame, command)->trigger(); }, qPrintable(window));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        modified = false;
    }

    void questionsAndNotices()
    {
        CDialogPrompt prompt;
        QStringList faults = WalkModal([&] { prompt.AskYesNoCancel(nullptr, LangText(MessageText::SaveChangesQuestion)); });
        faults << WalkModal([&] { prompt.AskSavePath(nullptr); });
        // View > Language tells, in the language being left, that the change waits for a restart.
        Workbench bench;
        for (QAction* pick : bench.frame->findChild<QMenu*>("languageMenu")->actions())
            pick->trigger();
        QCOMPARE(bench.prompt.messages.size(), 1);
        Check(faults, "language notice", bench.prompt.messages.value(0));
        QSettings().remove("Workbench/Language");
        // Help > Content: the Chinese manual.
        const QString manual = HelpFilePath(QStringLiteral(GATEWAY_SOURCE_DIR "/docs"));
        QVERIFY2(manual.endsWith("/help/index_zh_CN.html"), qPrintable(manual));
        Check(faults, "manual", ShowHelpWindow(bench.frame.get(), manual)->windowTitle());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // The program's own start-up in a Chinese locale, then Download of the new configuration,
    // untouched: the module takes it; the saved file is Chinese throughout and passes
    // gatewaycfg's check in Chinese.
    void startedInChineseDownloadsAndChecks()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath("new.xml");
        const QString script = QString("LANG=zh_CN.UTF-8 LC_ALL= ASAN_OPTIONS=detect_leaks=0 GATEWAY_ZH_CHILD='%1' "
                                       "GATEWAY_ZH_SAVE='%2' '%3'")
                                   .arg(QString::fromStdString(m_module->Path()), saved, QCoreApplication::applicationFilePath());
        const ProgramRun run = RunProgram("/bin/sh", {"-c", script.toStdString()}, dir.path().toStdString());
        QVERIFY2(run.status == 0, (run.out + run.err).c_str());
        const ProgramRun check = RunProgram(GATEWAYCFG_PATH, {"--lang", "zh", "check", ToUtf8(saved)}, dir.path().toStdString());
        QVERIFY2(check.status == 0, (check.out + check.err).c_str());
        const ProgramRun shown = RunProgram(GATEWAYCFG_PATH, {"--lang", "zh", "show", ToUtf8(saved)}, dir.path().toStdString());
        for (const QString& line : QString::fromStdString(shown.out).split('\n').filter(" = "))
            QVERIFY2(LatinWords(line.section(" = ", 0, 0)).isEmpty(), qPrintable(line));
    }

    void cleanupTestCase()
    {
        m_module.reset();
        gw::SetActiveLanguage(Language::English);
        InstallTranslations();
    }

private:
    std::unique_ptr<ServingProcess> m_module;
};

// The child of startedInChineseDownloadsAndChecks: the real start-up, the main window walked,
// Download to the module on GATEWAY_ZH_CHILD, then Save As GATEWAY_ZH_SAVE. Exit 0 when all is
// Chinese and the download succeeded.
int RunChineseStartUp(int argc, char** argv)
{
    CGatewayApp app(argc, argv);
    UseTestSettings();
    if (!app.InitInstance() || !QTest::qWaitForWindowExposed(app.MainFrame()))
        return 3;
    CMainFrame& frame = *app.MainFrame();
    const QStringList faults = WalkTexts(&frame);
    if (!faults.isEmpty() || frame.findChild<CConfigTreePane*>("configTree")->topLevelItem(1)->text(0) != QStringLiteral("子网")) {
        std::printf("%s\n", qPrintable(faults.join('\n')));
        return 4;
    }
    ModalBoxWatcher boxes;
    DialogDriver<CSerialPortDlg> driver([](CSerialPortDlg& dialog) {
        dialog.SetLinkTimings(FastTimings());
        dialog.PortList()->setEditText(qEnvironmentVariable("GATEWAY_ZH_CHILD"));
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    });
    MenuCommand(frame, ID_DOWNLOAD)->trigger();
    if (!QTest::qWaitFor([&] { return !boxes.seen.empty(); }, kRunWaitMs) || boxes.Texts() != QStringList{LangText(MessageText::DownloadSucceeded)}) {
        std::printf("download: %s\n", qPrintable(boxes.Texts().join('\n')));
        return 5;
    }
    const QString saved = qEnvironmentVariable("GATEWAY_ZH_SAVE");
    DialogDriver<QFileDialog> saveAs([saved](QFileDialog& dialog) {
        dialog.selectFile(saved);
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    MenuCommand(frame, ID_FILE_SAVE_AS)->trigger();
    return QFile::exists(saved) && !app.IsModified() ? 0 : 6;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("GATEWAY_ZH_CHILD"))
        return RunChineseStartUp(argc, argv);
    QApplication app(argc, argv);
    ChineseSessionTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "chinese_session_test.moc"
