// The slave node's commands as a list (duplicate, cut, copy, paste, move: each one undo step and
// each within the 48-command limit), Undo and Redo of every kind of change back to the saved
// file, and paste between two workbench programs through the clipboard of one virtual display
// (which carries the command as plain text too).

#include <QtTest>
#include <QtWidgets>
#include <cstdio>
#include <functional>
#include <tuple>

#include "support/config_builder.h"
#include "support/run_program.h"
#include "support/timings.h"
#include "support/widget_workbench.h"
#include "ui/command_list_commands.h"
#include "ui/command_table.h"
#include "ui/select_command_dialog.h"
#include "ui/ui_text.h"

using namespace ui_test;

namespace {

QAction* ListAction(const Workbench& bench, CCommandListCommands::ListCommand command)
{
    return bench.Find<CCommandListCommands>()->Action(command);
}

// Steps: "N" selects command N, "slave" the slave node, "^K" presses Ctrl+K in the focused
// widget, "dup" runs Duplicate from the menu.
void Run(Workbench& bench, const QStringList& steps)
{
    for (const QString& step : steps) {
        if (step == "slave")
            bench.Click(bench.Slave());
        else if (step == "dup")
            ListAction(bench, CCommandListCommands::Duplicate)->trigger();
        else if (step.startsWith('^'))
            bench.Press("Ctrl+" + step.mid(1));
        else
            bench.Click(bench.CommandEntry(step.toInt()));
    }
}

// The file saved through File > Save As, without its time stamp.
QByteArray Saved(Workbench& bench, const QString& path)
{
    bench.prompt.savePath = path;
    bench.Command(ID_FILE_SAVE_AS)->trigger();
    QByteArray file = QByteArray::fromStdString(ReadWholeFile(path.toStdString()));
    const int start = file.indexOf("<DateTime");
    return start < 0 ? file : file.remove(start, file.indexOf('>', start) - start);
}

// The two programs of the clipboard test: "copy" copies its second command and waits until the
// other has pasted; "paste" waits for the commands on the clipboard, pastes them and prints the codes.
int RunClipboardRole(int argc, char** argv)
{
    QApplication app(argc, argv);
    UseTestSettings();
    const bool copy = qEnvironmentVariable("GATEWAY_CLIP_ROLE") == "copy";
    const QString done = QDir(qEnvironmentVariable("GATEWAY_CLIP_DIR")).filePath("pasted");
    Workbench bench;
    if (!bench.Ready())
        return 3;
    copy ? bench.Fill({FUNCTION_READ_COIL_STATUS, FUNCTION_PRESET_MULTIPLE_REGISTERS}) : bench.Fill({FUNCTION_READ_HOLDING_REGISTER});
    if (copy) {
        Run(bench, {"1", "^C"});
        return QTest::qWaitFor([&] { return QFile::exists(done); }, kRunWaitMs) ? 0 : 4;
    }
    bench.Click(bench.Slave());
    if (!QTest::qWaitFor([&] { return ListAction(bench, CCommandListCommands::Paste)->isEnabled(); }, kRunWaitMs))
        return 5;
    Run(bench, {"^V"});
    // Besides the commands for a workbench, the text for any other program.
    std::printf("%s\n%s\n", qPrintable(bench.CommandCodes()), qPrintable(QApplication::clipboard()->text().section('\n', 0, 2)));
    QFile flag(done);
    return flag.open(QIODevice::WriteOnly) ? 0 : 6;
}

} // namespace

class CommandListTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void listEdits_data()
    {
        QTest::addColumn<int>("count");   // commands at the start: functions 0, 2, 4, then 2 repeated
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("codes");   // afterwards; empty when refused by the limit
        QTest::newRow("duplicate") << 3 << QStringList{"1", "dup"} << "01 03 03 05";
        QTest::newRow("move up") << 3 << QStringList{"2", "^Up"} << "01 05 03";
        QTest::newRow("move down") << 3 << QStringList{"0", "^Down"} << "03 01 05";
        QTest::newRow("cut and paste") << 3 << QStringList{"0", "^X", "0", "^V"} << "03 01 05";
        QTest::newRow("copy, paste at the end") << 3 << QStringList{"1", "^C", "slave", "^V"} << "01 03 05 03";
        QTest::newRow("duplicate the 49th") << 48 << QStringList{"0", "dup"} << "";
        QTest::newRow("paste the 49th") << 48 << QStringList{"0", "^C", "^V"} << "";
    }

    void listEdits()
    {
        QFETCH(int, count);
        QFETCH(QStringList, steps);
        QFETCH(QString, codes);
        Workbench bench;
        QVERIFY(bench.Ready());
        CSlaveNode* slave = bench.root.Subnet().AddNode();
        for (int i = 0; i < count; ++i)
            slave->AddCommand(i == 0   ? FUNCTION_READ_COIL_STATUS
                              : i == 2 ? FUNCTION_FORCE_SINGLE_COIL
                                       : FUNCTION_READ_HOLDING_REGISTER);
        bench.frame->StartUp(std::nullopt);
        const QString before = bench.CommandCodes();
        // Moves stop at the ends of the list.
        QAction* up = ListAction(bench, CCommandListCommands::MoveUp);
        QAction* down = ListAction(bench, CCommandListCommands::MoveDown);
        bench.Click(bench.CommandEntry(0));
        QVERIFY(!up->isEnabled() && down->isEnabled());
        bench.Click(bench.CommandEntry(count - 1));
        QVERIFY(up->isEnabled() && !down->isEnabled());

        Run(bench, steps);
        QCOMPARE(bench.CommandCodes(), codes.isEmpty() ? before : codes);
        QCOMPARE(bench.prompt.messages, codes.isEmpty() ? QStringList{LangText(MessageText::TooManyCommands)} : QStringList());
        QCOMPARE(bench.modified, !codes.isEmpty());
        if (codes.isEmpty())
            return;
        // One step back, whatever it took (a cut and a paste are two).
        for (int undo = steps.contains("^X") ? 2 : 1; undo > 0; --undo)
            bench.Press("Ctrl+Z");
        QCOMPARE(bench.CommandCodes(), before);
        QVERIFY(!bench.modified);
    }

    void undoRestoresSavedFile()
    {
        // Each change on a fresh window: a slave node with two commands first (or none, or the
        // subnet in User Config mode), the entry to click, the change.
        enum Start { Bare, WithSlave, UserConfig };
        const auto trigger = [](int command) { return [command](Workbench& bench) { bench.Command(command)->trigger(); }; };
        const std::tuple<const char*, Start, int, std::function<void(Workbench&)>> changes[] = {
            {"grid edit", Bare, -1, [](Workbench& b) { QVERIFY(b.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500")); }},
            {"mode switch", WithSlave, -1, [](Workbench& b) { QVERIFY(b.PickChoice(SUBNET_ROW_PROTOCOL, LangText(ChoiceText::UserConfig))); }},
            {"rename", WithSlave, 0, [](Workbench& b) { QVERIFY(b.TypeValue(SLAVE_ROW_ADDRESS, "12")); }},
            {"enable rule", UserConfig, -1, [](Workbench& b) { QVERIFY(b.PickChoice(SUBNET_ROW_FRAME_TYPE, LangText(ChoiceText::Delimiter))); }},
            {"add node", Bare, -1, trigger(ID_ADD_NODE)},
            {"delete node", WithSlave, 0, trigger(ID_DELETE_NODE)},
            {"delete command", WithSlave, 1, trigger(ID_DELETE_COMMAND)},
            {"auto mapping", WithSlave, -1, trigger(ID_AUTO_MAPPING)},
            {"add commands", WithSlave, 0, [](Workbench& b) {
                 QTimer::singleShot(0, [] {
                     if (auto* dialog = qobject_cast<CSelectCommandDlg*>(QApplication::activeModalWidget())) {
                         QTest::keyClick(dialog->List(), Qt::Key_Return);
                         QTest::keyClick(dialog->List(), Qt::Key_Return);
                         dialog->reject();
                     }
                 });
                 b.Command(ID_ADD_COMMAND)->trigger();
                 QVERIFY(b.Ready());
             }}};
        for (const auto& [name, start, entry, change] : changes) {
            qInfo("%s", name);
            QTemporaryDir dir;
            Workbench bench;
            QVERIFY(bench.Ready());
            if (start == WithSlave)
                bench.Fill({FUNCTION_READ_HOLDING_REGISTER, FUNCTION_PRESET_SINGLE_REGISTER});
            bench.root.Subnet().SetMode(start == UserConfig ? MODE_USER_CONFIG : MODE_MODBUS_MASTER);
            bench.frame->StartUp(std::nullopt);
            const QByteArray before = Saved(bench, dir.filePath("before.xml"));
            const std::string beforeText = test_config::ConfigText(bench.root);
            bench.Click(entry < 0 ? bench.Subnet() : entry == 0 ? bench.Slave() : bench.CommandEntry(0));
            change(bench);
            QVERIFY(bench.modified);
            const std::string after = test_config::ConfigText(bench.root);
            QVERIFY(after != beforeText);
            bench.Press("Ctrl+Z");
            QVERIFY(!bench.modified);
            QCOMPARE(Saved(bench, dir.filePath("undone.xml")), before);
            bench.Press("Ctrl+Y");
            QVERIFY(bench.modified);
            QCOMPARE(test_config::ConfigText(bench.root), after);
        }
    }

    void pasteBetweenPrograms()
    {
        QTemporaryDir dir;
        // Both programs run on one virtual display, so that they share its clipboard.
        const QString script = QString("export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 GATEWAY_CLIP_DIR='%1';"
                                       "GATEWAY_CLIP_ROLE=copy '%2' & GATEWAY_CLIP_ROLE=paste '%2'; s=$?; wait $! || s=$?; exit $s")
                                   .arg(dir.path(), QCoreApplication::applicationFilePath());
        const ProgramRun run = RunProgram("/usr/bin/xvfb-run", {"-a", "-s", "-screen 0 1280x800x24", "/bin/sh", "-c",
                                                                script.toStdString()}, dir.path().toStdString());
        QVERIFY2(run.status == 0, (run.out + run.err).c_str());
        QCOMPARE(QString::fromStdString(run.out).trimmed(),
                 QString("03 16\n[command:2] 16 Preset Multiple Registers\n  Function Code = 16  (read-only)\n"
                         "  Starting Address ="));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("GATEWAY_CLIP_ROLE"))
        return RunClipboardRole(argc, argv);
    QApplication app(argc, argv);
    CommandListTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "command_list_test.moc"
