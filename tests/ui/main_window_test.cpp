// The main window: accelerators, tool-bar images and pane toggles, the save prompt on New and
// closing, automatic mapping, the real message boxes, the About box, the manual, the language
// menu, and the window on small and scaled screens under a window manager (the real start-up in
// programs of its own on a virtual display) with its remembered layout.

#include <QtTest>
#include <QtWidgets>
#include <cstdio>

#include "model/lang_strings.h"
#include "support/run_program.h"
#include "support/widget_modal_boxes.h"
#include "support/widget_workbench.h"
#include "ui/about_dialog.h"
#include "ui/command_table.h"
#include "ui/dialog_prompt.h"
#include "ui/gateway_app.h"
#include "ui/help_window.h"
#include "ui/language_choice.h"
#include "ui/tree_commands.h"
#include "ui/ui_text.h"
#include "version/build_version.h"
#include "widgets/hyperlink_label.h"

using namespace ui_test;

namespace {

class CUrlRecorder : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { opened << url; }

public:
    QList<QUrl> opened;
};

// The child of windowFitsTheScreen: the program's own start-up on a fresh settings store under a
// window manager; exit 0 when the window, frame included, lies wholly on the screen and the tool
// bar shows every button.
int RunStartUp(int argc, char** argv)
{
    CGatewayApp app(argc, argv);
    UseTestSettings();
    QSettings().remove(QStringLiteral("Workbench"));
    if (!app.InitInstance() || !QTest::qWaitForWindowExposed(app.MainFrame()))
        return 3;
    CMainFrame& frame = *app.MainFrame();
    // The window manager's frame: a title bar above the window.
    if (!QTest::qWaitFor([&] { return frame.frameGeometry().top() < frame.geometry().top(); }, 5000))
        return 4;
    QTest::qWait(300);
    const QRect outer = frame.frameGeometry();
    const QRect screen = frame.screen()->availableGeometry();
    int hidden = 0;
    const QToolBar* tools = frame.findChild<QToolBar*>("mainToolBar");
    for (QAction* action : tools->actions()) {
        const QWidget* button = tools->widgetForAction(action);
        hidden += !action->isSeparator() && (!button || !button->isVisible());
    }
    std::printf("%s %dx%d: frame %d,%d %dx%d, %d buttons hidden\n", qgetenv("QT_SCALE_FACTOR").constData(),
                screen.width(), screen.height(), outer.x(), outer.y(), outer.width(), outer.height(), hidden);
    return screen.contains(outer) && hidden == 0 ? 0 : 2;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void acceleratorsToolBarAndPanes()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.prompt.yesNo = false;
        const std::pair<int, const char*> keys[] = {{ID_FILE_NEW, "Ctrl+N"}, {ID_FILE_OPEN, "Ctrl+O"}, {ID_FILE_SAVE, "Ctrl+S"},
            {ID_AUTO_MAPPING, "Ctrl+M"}, {ID_UPLOAD, "Ctrl+U"}, {ID_DOWNLOAD, "Ctrl+D"}, {ID_EXPORT_XLS, "Ctrl+E"},
            {ID_CONFLICT_DETECT, "Ctrl+T"}, {ID_COMPARE_MODULE, "Ctrl+K"}};
        for (int i = 0; i < 9; ++i) {
            const auto& [command, sequence] = keys[i];
            QAction* action = bench.Command(command);
            QCOMPARE(action->property("accelerator").value<QKeySequence>(), QKeySequence(sequence));
            if (i >= 4)
                continue;   // the others open dialogs
            QSignalSpy triggered(action, &QAction::triggered);
            bench.Grid()->setFocus();
            QTest::keySequence(bench.frame.get(), QKeySequence(sequence));
            QCOMPARE(triggered.count(), 1);
        }
        // Every tool-bar button shows an image drawn from the resources.
        for (QAction* action : bench.Find<QToolBar>("mainToolBar")->actions())
            QVERIFY2(action->isSeparator() || !action->icon().pixmap(QSize(32, 32)).isNull(), qPrintable(action->text()));
        const std::pair<int, QWidget*> panes[] = {
            {ID_VIEW_TOOLBAR, bench.Find<QToolBar>("mainToolBar")}, {ID_VIEW_TREE, bench.Find<QDockWidget>("treePane")}, {ID_VIEW_ANNOTATION, bench.Find<QDockWidget>("annotationPane")}};
        for (const auto& [command, pane] : panes) {
            QAction* action = bench.Command(command);
            QVERIFY(action->isChecked());
            action->trigger();
            QVERIFY(pane->isHidden() && !action->isChecked());
            action->trigger();
            QVERIFY(pane->isVisible() && action->isChecked());
            // Closing a pane with its own close button removes the check mark as well.
            if (auto* dock = qobject_cast<QDockWidget*>(pane)) {
                dock->close();
                QVERIFY(!action->isChecked());
            }
        }
    }

    void savePrompt_data()
    {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<int>("answer");
        using A = CUserPrompt::Answer;
        for (const int trigger : {ID_FILE_NEW, ID_APP_EXIT}) {
            const QString name = trigger == ID_FILE_NEW ? "New, " : "close, ";
            QTest::newRow(qPrintable(name + "Yes")) << trigger << int(A::Yes);
            QTest::newRow(qPrintable(name + "No")) << trigger << int(A::No);
            QTest::newRow(qPrintable(name + "Cancel")) << trigger << int(A::Cancel);
        }
    }

    void savePrompt()
    {
        QFETCH(int, trigger);
        QFETCH(int, answer);
        const bool saved = answer == int(CUserPrompt::Answer::Yes);
        const bool wentOn = answer != int(CUserPrompt::Answer::Cancel);   // New reset, or the window closed
        QTemporaryDir dir;
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Click(bench.Subnet());
        QVERIFY(bench.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500"));
        bench.prompt.saveAnswer = CUserPrompt::Answer(answer);
        bench.prompt.savePath = dir.filePath("prompted");
        bench.Command(trigger)->trigger();

        QCOMPARE(bench.prompt.questions, QStringList{LangText(MessageText::SaveChangesQuestion)});
        QCOMPARE(QFile::exists(dir.filePath("prompted.xml")), saved);
        if (trigger == ID_APP_EXIT) {
            QCOMPARE(bench.frame->isVisible(), !wentOn);
            return;
        }
        QCOMPARE(bench.root.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, std::string(wentOn ? "300" : "500"));
        QCOMPARE(bench.modified, !wentOn);
        QCOMPARE(bench.FilledRows(), wentOn ? 0 : 12);
        // Saved, then New without further edits: no question.
        bench.Command(ID_FILE_NEW)->trigger();
        QCOMPARE(bench.prompt.questions.size(), wentOn ? 1 : 2);
    }

    void autoMapping()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Fill({FUNCTION_READ_HOLDING_REGISTER, FUNCTION_READ_HOLDING_REGISTER});
        for (int i = 0; i < 2; ++i)
            bench.root.Subnet().GetNodeAt(0)->GetCommandAt(i)->GetItemAt(CMD_ROW_DATA_COUNT)->value = "4";
        bench.frame->StartUp(std::nullopt);
        bench.Click(bench.CommandEntry(1));
        for (const bool yes : {false, true}) {
            bench.prompt.yesNo = yes;
            bench.Command(ID_AUTO_MAPPING)->trigger();
            QCOMPARE(bench.prompt.questions.last(), LangText(MessageText::AutoMapQuestion));
            QCOMPARE(bench.modified, yes);
            // The grid shows the new address of the selected command at once.
            QCOMPARE(bench.Cell(CMD_ROW_MAP_ADDRESS, 1), yes ? QString("0008H") : QString());
            QCOMPARE(bench.Cell(CMD_ROW_BYTE_COUNT, 1), yes ? QString("8") : QString("0"));
        }
        QVERIFY(bench.prompt.messages.isEmpty());
    }

    void realMessageBoxes()
    {
        CDialogPrompt prompt;
        ModalBoxWatcher boxes;
        boxes.answers = {QMessageBox::Ok, QMessageBox::No};
        prompt.ShowMessage(nullptr, LangText(MessageText::OutOfRange));
        QVERIFY(prompt.AskYesNoCancel(nullptr, LangText(MessageText::SaveChangesQuestion)) == CUserPrompt::Answer::No);
        QCOMPARE(boxes.Texts(), (QStringList{LangText(MessageText::OutOfRange), LangText(MessageText::SaveChangesQuestion)}));
        QCOMPARE(boxes.seen[0].buttons, QMessageBox::Ok);
        QCOMPARE(boxes.seen[1].icon, QMessageBox::Question);
        QCOMPARE(boxes.seen[1].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }

    void aboutBoxHelpAndLanguage()
    {
        Workbench bench;
        QVERIFY(bench.Ready());
        CUrlRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "Open");
        QStringList texts;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (!about)
                return;
            for (const QLabel* label : about->findChildren<QLabel*>())
                texts << label->text();
            QTest::mouseClick(about->WebLink(), Qt::LeftButton, {}, QPoint(8, about->WebLink()->height() / 2));
            if (about->findChild<QLabel*>("makerLogo")->pixmap().isNull())
                texts << "no logo";
            about->findChild<QPushButton*>()->click();
        });
        bench.Command(ID_APP_ABOUT)->trigger();
        QDesktopServices::unsetUrlHandler("https");
        QVERIFY(texts.contains(QStringLiteral("Build ") + gw::BuildVersion()));
        QVERIFY(texts.contains(QStringLiteral("Version ") + QString(gw::BuildVersion()).section(' ', 0, 0)));   // one version
        QVERIFY(!texts.contains("no logo"));
        QCOMPARE(recorder.opened, QList<QUrl>{QUrl(MakerWebAddress())});

        // Next to the test program there is no manual: Content does nothing and says nothing.
        bench.Command(ID_HELP_CONTENT)->trigger();
        QVERIFY(!bench.frame->findChild<QTextBrowser*>("helpWindow"));
        QVERIFY(bench.prompt.messages.isEmpty());
        const QString manual = QStringLiteral(GATEWAY_SOURCE_DIR "/docs/help/index.html");
        QTextBrowser* browser = ShowHelpWindow(bench.frame.get(), manual);
        QVERIFY(browser && browser->isVisible());
        QVERIFY(browser->toPlainText().contains("Keyboard shortcuts"));
        QCOMPARE(ShowHelpWindow(bench.frame.get(), manual), browser);
        // The manual beside the program wins over the installed one; without either, the path
        // beside the program is named.
        QTemporaryDir root;
        const QString beside = root.filePath("bin/help/index.html");
        QCOMPARE(HelpFilePath(root.filePath("bin")), beside);
        for (const QString& path : {root.filePath("share/doc/gateway-workbench/index.html"), beside}) {
            QVERIFY(QDir().mkpath(QFileInfo(path).path()) && QFile::copy(manual, path));
            QCOMPARE(HelpFilePath(root.filePath("bin")), path);
        }

        // A picked language is kept for the next start; a change is announced, the same one not.
        const Language running = gw::ActiveLanguage();
        for (QAction* pick : bench.frame->findChild<QMenu*>("languageMenu")->actions()) {
            pick->trigger();
            const Language picked = *gw::ParseLanguage(pick->data().toString().toStdString());
            QCOMPARE(bench.prompt.messages.size(), picked == running ? 0 : 1);
            bench.prompt.messages.clear();
            ApplyLanguageChoice();
            QCOMPARE(gw::ActiveLanguage(), picked);
            gw::SetActiveLanguage(running);
        }
        QSettings().remove("Workbench/Language");
    }

    // The manual, in both languages, has the same sections and names every key of the window.
    void manualNamesEveryKey()
    {
        Workbench bench;
        QStringList keys;
        for (const QAction* action : bench.frame->findChildren<QAction*>())
            for (const QKeySequence& sequence : {action->shortcut(), action->property("accelerator").value<QKeySequence>()})
                keys << sequence.toString(QKeySequence::PortableText);
        keys.removeAll(QString());
        keys.removeDuplicates();
        QVERIFY(keys.contains("Ctrl+K") && keys.contains("Ctrl+Down"));   // accelerators and the actions' own keys
        QStringList sections[2], faults;
        for (int i = 0; i < 2; ++i) {
            QFile file(QStringLiteral(GATEWAY_SOURCE_DIR "/docs/help/") + (i ? "index_zh_CN.html" : "index.html"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString manual = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch& id : QRegularExpression(" id=\"(\\w+)\"").globalMatch(manual))
                sections[i] << id.captured(1);
            for (const QString& key : keys)
                if (!manual.contains("<kbd>" + key + "</kbd>"))
                    faults << file.fileName() + ": " + key;
        }
        QCOMPARE(sections[1], sections[0]);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // The real start-up under openbox on a virtual display, on a 1280x800 screen at each scale
    // factor and on a 1024x600 one.
    void windowFitsTheScreen_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("scales");
        QTest::newRow("1280x800") << "1280x800" << "1 1.25 1.5 2";
        QTest::newRow("1024x600") << "1024x600" << "1";
    }

    void windowFitsTheScreen()
    {
        QFETCH(QString, screen);
        QFETCH(QString, scales);
        QTemporaryDir dir;
        const QString script =
            QString("export GATEWAY_FIT_CHILD=1 QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 HOME='%1';"
                    "openbox --sm-disable >/dev/null 2>&1 & wm=$!; i=0;"
                    "until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do"
                    "  i=$((i+1)); [ $i -gt 100 ] && exit 9; sleep 0.1; done;"
                    "s=0; for f in %2; do QT_SCALE_FACTOR=$f '%3' || s=$?; done; kill $wm; exit $s")
                .arg(dir.path(), scales, QCoreApplication::applicationFilePath());
        const ProgramRun run = RunProgram("/usr/bin/xvfb-run", {"-a", "-s", ("-screen 0 " + screen + "x24").toStdString(),
                                                                "/bin/sh", "-c", script.toStdString()},
                                          dir.path().toStdString());
        QVERIFY2(run.status == 0, (run.out + run.err).c_str());
        QCOMPARE(QString::fromStdString(run.out).count("0 buttons hidden"), scales.count(' ') + 1);
    }

    void remembersLayoutAndShowsCutText()
    {
        {
            Workbench bench;
            QVERIFY(bench.Ready());
            bench.frame->resize(900, 600);
            bench.Grid()->SetLabelColumnWidth(150);
            bench.frame->SaveLayout();
        }
        Workbench bench;
        bench.frame->RestoreLayout();
        QCOMPARE(bench.frame->size(), QSize(900, 600));
        QCOMPARE(bench.Grid()->LabelColumnWidth(), 150);
        QVERIFY(bench.Ready());
        bench.Click(bench.Subnet());
        bench.Grid()->SetLabelColumnWidth(40);
        for (const int column : {0, 1}) {
            const QRect cell = bench.Grid()->visualRect(bench.Grid()->model()->index(SUBNET_ROW_RESPONSE_TIMEOUT, column));
            QHelpEvent help(QEvent::ToolTip, cell.center(), bench.Grid()->viewport()->mapToGlobal(cell.center()));
            QApplication::sendEvent(bench.Grid()->viewport(), &help);
            // The cut label shows its whole text; the value "300" fits and shows none.
            QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), column == 0 ? bench.Cell(SUBNET_ROW_RESPONSE_TIMEOUT, 0) : QString());
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
        }
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("GATEWAY_FIT_CHILD"))
        return RunStartUp(argc, argv);
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
