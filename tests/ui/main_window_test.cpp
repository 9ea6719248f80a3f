// The main window: title and layout, menus, tool bar and accelerators from the command table,
// the pane toggles, the save prompt on New and closing, files and titles, automatic mapping,
// the real message boxes, the About box and the manual.

#include <QDesktopServices>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>

#include "model/lang_strings.h"
#include "ui/about_dialog.h"
#include "ui/command_table.h"
#include "ui/dialog_prompt.h"
#include "ui/help_window.h"
#include "ui/tree_commands.h"
#include "ui/language_choice.h"
#include "ui_test_support.h"
#include "version/build_version.h"
#include "widgets/hyperlink_label.h"

using namespace ui_test;

namespace {

QString Lang(int id)
{
    return QString::fromUtf8(GetLangString(id).c_str());
}

QStringList MenuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (action->isVisible())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QMenu* TopMenu(const CMainFrame& frame, const QString& title)
{
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

// Makes a change through the grid, so that the save prompt has something to ask about.
void EditTimeout(Workbench& bench)
{
    bench.Click(bench.Subnet());
    QVERIFY(bench.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500"));
    QVERIFY(bench.modified);
}

class CUrlRecorder : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { opened << url; }

public:
    QList<QUrl> opened;
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void windowAtStart();
    void menus_data();
    void menus();
    void toolBar();
    void accelerators_data();
    void accelerators();
    void paneToggles_data();
    void paneToggles();
    void savePrompt_data();
    void savePrompt();
    void saveOpenAndTitles();
    void recentFileThatVanished();
    void autoMapping_data();
    void autoMapping();
    void realMessageBoxes();
    void aboutBox();
    void helpContent();
    void languageMenu();
};

void MainWindowTest::windowAtStart()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    CMainFrame& frame = *bench.frame;
    QCOMPARE(frame.windowTitle(), Lang(1));
    QCOMPARE(frame.size(), QSize(1024, 700));
    QCOMPARE(frame.TreeDock()->windowTitle(), QString("MY Control"));
    QCOMPARE(frame.AnnotationDock()->windowTitle(), QString("MY Control"));
    QCOMPARE(frame.dockWidgetArea(frame.TreeDock()), Qt::LeftDockWidgetArea);
    QCOMPARE(frame.dockWidgetArea(frame.AnnotationDock()), Qt::BottomDockWidgetArea);
    QCOMPARE(frame.centralWidget(), frame.View());
    QVERIFY(frame.Annotation()->isReadOnly());
    QVERIFY(!frame.findChild<QStatusBar*>());
    QVERIFY(!bench.modified);
}

void MainWindowTest::menus_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("File") << "File(&F)"
                          << QStringList{"New(&N)\tCtrl+N", "Open(&O)...\tCtrl+O", "Save(&S)\tCtrl+S", "Save As(&A)...",
                                         "Compare with File\u2026", "-", "Recent File", "-", "Exit(&X)"};
    QTest::newRow("Edit") << "Edit(&E)"
                          << QStringList{"Undo", "Redo", "-", "Add Node(&I)", "Delete Node(&S)", "Add Command(&A)",
                                         "Delete Command(&L)", "Upload(Ctrl+U)", "Download(Ctrl+D)",
                                         "Compare with Module\u2026\tCtrl+K", "Export XLS(Ctrl+E)",
                                         "Auto Mapping(Ctrl+M)", "Conflict Detect(Ctrl+T)", "Test Commands...", "-",
                                         "Duplicate Command", "Cut Command", "Copy Command", "Paste Command",
                                         "Move Command Up", "Move Command Down"};
    QTest::newRow("View") << "View(&V)" << QStringList{"Toolbar(&T)", "Tree(&L)", "Annotation(&I)", "Line(&N)", "-", "Language"};
    QTest::newRow("Help") << "Help(&H)" << QStringList{"About(&A)...", "Content"};
}

void MainWindowTest::menus()
{
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    Workbench bench;
    QMenu* menu = TopMenu(*bench.frame, title);
    QVERIFY(menu);
    QCOMPARE(MenuTexts(menu), items);
}

void MainWindowTest::toolBar()
{
    Workbench bench;
    QStringList tips;
    QList<int> ids;
    for (QAction* action : bench.frame->MainToolBar()->actions()) {
        if (action->isSeparator())
            continue;
        ids << action->data().toInt();
        tips << action->toolTip();
        // Every button shows an image drawn from the resources.
        const QImage image = action->icon().pixmap(QSize(32, 32)).toImage();
        QVERIFY2(!image.isNull(), qPrintable(action->text()));
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) > 0;
        QVERIFY2(painted, qPrintable(action->text()));
    }
    const std::span<const int> expected = ToolBarCommands();
    QCOMPARE(ids, QList<int>(expected.begin(), expected.end()) << 0 << 0);
    QCOMPARE(tips, (QStringList{"New", "Save", "Open", "Add Node", "Delete Node", "Add Command", "Delete Command",
                                "Upload", "Download", "Compare with Module", "Mapping", "Conflict", "Test Commands", "Excel",
                                "Undo", "Redo"}));
    QCOMPARE(bench.frame->MainToolBar()->iconSize(), QSize(32, 32));
}

void MainWindowTest::accelerators_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("press");   // pressing it runs nothing modal of another dialog
    QTest::newRow("New") << int(ID_FILE_NEW) << "Ctrl+N" << true;
    QTest::newRow("Open") << int(ID_FILE_OPEN) << "Ctrl+O" << true;
    QTest::newRow("Save") << int(ID_FILE_SAVE) << "Ctrl+S" << true;
    QTest::newRow("Auto Mapping") << int(ID_AUTO_MAPPING) << "Ctrl+M" << true;
    QTest::newRow("Upload") << int(ID_UPLOAD) << "Ctrl+U" << false;
    QTest::newRow("Download") << int(ID_DOWNLOAD) << "Ctrl+D" << false;
    QTest::newRow("Export XLS") << int(ID_EXPORT_XLS) << "Ctrl+E" << false;
    QTest::newRow("Conflict Detect") << int(ID_CONFLICT_DETECT) << "Ctrl+T" << false;
}

void MainWindowTest::accelerators()
{
    QFETCH(int, command);
    QFETCH(QString, keys);
    QFETCH(bool, press);
    Workbench bench;
    QVERIFY(bench.Ready());
    QAction* action = bench.frame->Action(command);
    const QKeySequence sequence(keys);
    QCOMPARE(action->property("accelerator").value<QKeySequence>(), sequence);
    if (!press)
        return;
    bench.prompt.yesNo = false;
    QSignalSpy triggered(action, &QAction::triggered);
    bench.frame->View()->Grid()->setFocus();
    QTest::keyClick(bench.frame.get(), sequence[0].key(), sequence[0].keyboardModifiers());
    QCOMPARE(triggered.count(), 1);
}

void MainWindowTest::paneToggles_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("Toolbar") << int(ID_VIEW_TOOLBAR);
    QTest::newRow("Tree") << int(ID_VIEW_TREE);
    QTest::newRow("Annotation") << int(ID_VIEW_ANNOTATION);
}

void MainWindowTest::paneToggles()
{
    QFETCH(int, command);
    Workbench bench;
    QVERIFY(bench.Ready());
    QWidget* bar = command == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(bench.frame->MainToolBar())
                 : command == ID_VIEW_TREE    ? static_cast<QWidget*>(bench.frame->TreeDock())
                                              : static_cast<QWidget*>(bench.frame->AnnotationDock());
    QAction* action = bench.frame->Action(command);
    QVERIFY(action->isCheckable() && action->isChecked());
    action->trigger();
    QVERIFY(bar->isHidden());
    QVERIFY(!action->isChecked());
    action->trigger();
    QVERIFY(bar->isVisible());
    QVERIFY(action->isChecked());
    // Closing the pane with its own close button removes the check mark as well.
    if (auto* dock = qobject_cast<QDockWidget*>(bar)) {
        dock->close();
        QVERIFY(!action->isChecked());
    }
}

void MainWindowTest::savePrompt_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("wentOn");   // New reset the configuration, or the window closed
    using A = CUserPrompt::Answer;
    QTest::newRow("New, Yes") << "new" << int(A::Yes) << true << true;
    QTest::newRow("New, No") << "new" << int(A::No) << false << true;
    QTest::newRow("New, Cancel") << "new" << int(A::Cancel) << false << false;
    QTest::newRow("close, Yes") << "close" << int(A::Yes) << true << true;
    QTest::newRow("close, No") << "close" << int(A::No) << false << true;
    QTest::newRow("close, Cancel") << "close" << int(A::Cancel) << false << false;
}

void MainWindowTest::savePrompt()
{
    QFETCH(QString, trigger);
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(bool, wentOn);
    QTemporaryDir dir;
    Workbench bench;
    QVERIFY(bench.Ready());
    EditTimeout(bench);
    bench.prompt.saveAnswer = static_cast<CUserPrompt::Answer>(answer);
    bench.prompt.savePath = dir.filePath("prompted");

    if (trigger == "new")
        bench.frame->Action(ID_FILE_NEW)->trigger();
    else
        bench.frame->Action(ID_APP_EXIT)->trigger();

    QCOMPARE(bench.prompt.questions, QStringList{Lang(47)});
    QCOMPARE(QFile::exists(dir.filePath("prompted.xml")), saved);
    const std::string timeout = bench.root.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value;
    if (trigger == "new") {
        QCOMPARE(timeout, std::string(wentOn ? "300" : "500"));
        QCOMPARE(bench.modified, !wentOn);
        if (wentOn) {
            // The reset configuration: Output Mode reads "Cyclic", the grid is empty, the title text 1.
            QCOMPARE(bench.root.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value, GetLangString(77));
            QCOMPARE(bench.FilledRows(), 0);
            QCOMPARE(bench.frame->windowTitle(), Lang(1));
        }
    } else {
        QCOMPARE(bench.frame->isVisible(), !wentOn);
    }
    // Saved, then New without further edits: no question.
    if (saved && trigger == "new") {
        bench.frame->Action(ID_FILE_NEW)->trigger();
        QCOMPARE(bench.prompt.questions.size(), 1);
    }
}

void MainWindowTest::saveOpenAndTitles()
{
    QTemporaryDir dir;
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    bench.frame->Action(ID_ADD_NODE)->trigger();
    bench.Click(bench.Slave());
    bench.frame->TreeCommands()->AddCommandOfFunction(2);

    bench.prompt.savePath = dir.filePath("conf");
    bench.frame->Action(ID_FILE_SAVE)->trigger();
    const QString saved = dir.filePath("conf.xml");
    QVERIFY(QFile::exists(saved));
    QCOMPARE(bench.frame->windowTitle(), saved);
    QVERIFY(!bench.modified);
    QCOMPARE(bench.frame->RecentFileActions().value(0)->text(), RecentFileMenuText(0, saved));

    bench.frame->Action(ID_FILE_NEW)->trigger();
    QCOMPARE(bench.frame->windowTitle(), Lang(1));
    QCOMPARE(bench.Subnet()->childCount(), 0);

    bench.prompt.openPath = saved;
    bench.frame->Action(ID_FILE_OPEN)->trigger();
    QCOMPARE(bench.frame->windowTitle(), saved);
    QCOMPARE(bench.Subnet()->childCount(), 1);
    QCOMPARE(bench.Slave()->child(0)->text(0), QString("03 Read Holding Register"));
    QVERIFY(bench.prompt.questions.isEmpty());
    // The recent-file entry opens the file too.
    bench.frame->Action(ID_FILE_NEW)->trigger();
    bench.frame->RecentFileActions().value(0)->trigger();
    QCOMPARE(bench.Subnet()->childCount(), 1);
}

void MainWindowTest::recentFileThatVanished()
{
    QTemporaryDir dir;
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.prompt.savePath = dir.filePath("gone.xml");
    bench.frame->Action(ID_FILE_SAVE_AS)->trigger();
    QVERIFY(QFile::remove(dir.filePath("gone.xml")));
    const int before = bench.frame->RecentFileActions().size();
    bench.frame->RecentFileActions().value(0)->trigger();
    QCOMPARE(bench.frame->RecentFileActions().size(), before - 1);
    QCOMPARE(bench.frame->windowTitle(), dir.filePath("gone.xml"));
}

void MainWindowTest::autoMapping_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void MainWindowTest::autoMapping()
{
    QFETCH(bool, yes);
    Workbench bench;
    QVERIFY(bench.Ready());
    CSlaveNode* slave = bench.root.Subnet().AddNode();
    for (int i = 0; i < 2; ++i)
        slave->AddCommand(2)->GetItemAt(CMD_ROW_DATA_COUNT)->value = "4";
    bench.frame->StartUp(std::nullopt);
    bench.Click(bench.CommandEntry(1));
    bench.prompt.yesNo = yes;

    bench.frame->Action(ID_AUTO_MAPPING)->trigger();
    QCOMPARE(bench.prompt.questions, QStringList{Lang(19)});
    QCOMPARE(bench.modified, yes);
    // The grid shows the new address of the selected command at once.
    QCOMPARE(bench.Cell(CMD_ROW_MAP_ADDRESS, 1), yes ? QString("0008H") : QString());
    QCOMPARE(bench.Cell(CMD_ROW_BYTE_COUNT, 1), yes ? QString("8") : QString("0"));
    QVERIFY(bench.prompt.messages.isEmpty());

    // An overflow is reported after the addresses were written.
    slave->GetCommandAt(0)->GetItemAt(CMD_ROW_DATA_COUNT)->value = "122";
    slave->GetCommandAt(1)->GetItemAt(CMD_ROW_DATA_COUNT)->value = "122";
    bench.prompt.yesNo = true;
    bench.frame->Action(ID_AUTO_MAPPING)->trigger();
    QCOMPARE(bench.prompt.messages, QStringList{Lang(5015)});
    QCOMPARE(bench.Cell(CMD_ROW_MAP_ADDRESS, 1), QString("00F4H"));
}

void MainWindowTest::realMessageBoxes()
{
    CDeviceConfig root;
    bool modified = false;
    CDialogPrompt prompt;
    CMainFrame frame(root, modified, prompt);
    frame.StartUp(std::nullopt);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));

    // A refused value: the message box shows the result text with an OK button.
    QString shown;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    CPropertyGrid* grid = frame.View()->Grid();
    frame.Tree()->SelectEntry(frame.Tree()->topLevelItem(1));
    const QRect cell = grid->visualRect(grid->model()->index(SUBNET_ROW_RESPONSE_TIMEOUT, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(grid->TextEditor()->isVisible());
    QTest::keyClicks(grid->TextEditor(), "70000");
    QTest::keyClick(grid->TextEditor(), Qt::Key_Return);
    QCOMPARE(shown, Lang(5009));
    QCOMPARE(root.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, std::string("300"));
    QVERIFY(!modified);

    // The save question: question icon, Yes, No and Cancel; No closes the window unsaved.
    modified = true;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::No)->click();
    });
    QVERIFY(frame.close());
    QCOMPARE(shown, Lang(47));
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void MainWindowTest::aboutBox()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    CUrlRecorder recorder;
    QDesktopServices::setUrlHandler("https", &recorder, "Open");
    QString caption;
    QStringList texts;
    QTimer::singleShot(0, this, [&] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (!about)
            return;
        caption = about->windowTitle();
        for (const QLabel* label : about->findChildren<QLabel*>())
            texts << label->text();
        CHyperLink* link = about->WebLink();
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(8, link->height() / 2));
        const QImage logo = about->findChild<QLabel*>("makerLogo")->pixmap().toImage();
        if (logo.isNull())
            texts << "no logo";
        about->findChild<QPushButton*>()->click();
    });
    bench.frame->Action(ID_APP_ABOUT)->trigger();
    QDesktopServices::unsetUrlHandler("https");

    QCOMPARE(caption, QString("Orvel"));
    QVERIFY(texts.contains("Embedded module configuration software Orvel"));
    QVERIFY(texts.contains("Version 1.1.0"));
    QVERIFY(texts.contains("Need more information and upgrade, please visit:"));
    QVERIFY(texts.contains(Lang(88)));
    QVERIFY(texts.contains(QStringLiteral("Build ") + BuildVersion()));
    QVERIFY(!texts.contains("no logo"));
    QCOMPARE(recorder.opened, QList<QUrl>{QUrl(MakerWebAddress())});
}

void MainWindowTest::helpContent()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    // Next to the test program there is no manual: Content does nothing and says nothing.
    bench.frame->Action(ID_HELP_CONTENT)->trigger();
    QVERIFY(!bench.frame->findChild<QTextBrowser*>("helpWindow"));
    QVERIFY(bench.prompt.messages.isEmpty());

    // The manual of the source tree: ctest runs the program in another folder than the build's.
    const QString manual = QStringLiteral(GATEWAY_SOURCE_DIR "/docs/help/index.html");
    QTextBrowser* browser = ShowHelpWindow(bench.frame.get(), manual);
    QVERIFY(browser);
    QVERIFY(browser->isVisible());
    QCOMPARE(browser->windowTitle(), QString("Orvel Workbench Manual"));
    const QString text = browser->toPlainText();
    for (const char* topic : {"The configuration tree", "Editing parameters", "Files", "Memory mapping",
                              "Download and upload", "Export", "Keyboard shortcuts", "Ctrl+M"})
        QVERIFY2(text.contains(topic), topic);
    // A second call reuses the window.
    QCOMPARE(ShowHelpWindow(bench.frame.get(), manual), browser);

    // The manual beside the program wins over the installed one; without either, the path
    // beside the program is named (and Content does nothing).
    QTemporaryDir root;
    const QString beside = root.filePath("bin/help/index.html");
    const QString installed = root.filePath("share/doc/gateway-workbench/index.html");
    QCOMPARE(HelpFilePath(root.filePath("bin")), beside);
    for (const QString& path : {installed, beside}) {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(QFile::copy(manual, path));
        QCOMPARE(HelpFilePath(root.filePath("bin")), path);
    }
}

void MainWindowTest::languageMenu()
{
    Workbench bench;
    auto* menu = bench.frame->findChild<QMenu*>("languageMenu");
    QVERIFY(menu);
    const Language running = ActiveLanguage();
    for (QAction* pick : menu->actions()) {
        pick->trigger();
        // Kept for the next start, which takes it; a change is announced, the same one not.
        const Language picked = *ParseLanguage(pick->data().toString().toStdString());
        QCOMPARE(bench.prompt.messages.size(), picked == running ? 0 : 1);
        bench.prompt.messages.clear();
        ApplyLanguageChoice();
        QCOMPARE(ActiveLanguage(), picked);
        SetActiveLanguage(running);
    }
    QSettings().remove("Workbench/Language");
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
