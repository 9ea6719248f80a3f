// The slave node's commands as a list: duplicate, cut, copy, paste and move, each one undo step
// and each within the 48-command limit; and paste between two workbench programs through the
// real clipboard of one (virtual) display.

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTest>
#include <cstdio>

#include "model/lang_strings.h"
#include "support/run_program.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

enum ListAction { Duplicate, Cut, Copy, Paste, MoveUp, MoveDown };

// The two-digit function codes of the slave node's commands, in tree order.
QStringList Codes(const Workbench& bench)
{
    QStringList codes;
    for (int i = 0; bench.CommandEntry(i); ++i)
        codes << bench.CommandEntry(i)->text(0).left(2);
    return codes;
}

// A workbench whose slave node holds commands of the given function indexes.
void Fill(Workbench& bench, const std::vector<int>& functions)
{
    CSlaveNode* slave = bench.root.Subnet().AddNode();
    for (const int function : functions)
        slave->AddCommand(function);
    bench.frame->StartUp(std::nullopt);
}

// Steps: "N" selects command N, "slave" the slave node, "^Up"/"^Down"/"^X"/"^C"/"^V" press
// Ctrl with that key in the focused widget, "dup" runs Duplicate from the menu.
void Run(Workbench& bench, const QStringList& steps)
{
    for (const QString& step : steps) {
        if (step == "slave")
            bench.Click(bench.Slave());
        else if (step == "dup")
            bench.frame->CommandListActions().at(Duplicate)->trigger();
        else if (step.startsWith('^')) {
            // Another program on the same display may have taken the activation.
            if (!QApplication::focusWidget()) {
                bench.frame->activateWindow();
                QTRY_VERIFY(QApplication::focusWidget());
            }
            QTest::keySequence(QApplication::focusWidget(), QKeySequence("Ctrl+" + step.mid(1)));
        }
        else
            bench.Click(bench.CommandEntry(step.toInt()));
    }
}

// The two programs of the clipboard test: "copy" copies its second command and waits until
// the other has pasted; "paste" waits for the commands on the clipboard and pastes them.
int RunClipboardRole(int argc, char** argv)
{
    QApplication app(argc, argv);
    UseTestSettings();
    const QString role = qEnvironmentVariable("GATEWAY_CLIP_ROLE");
    const QString done = QDir(qEnvironmentVariable("GATEWAY_CLIP_DIR")).filePath("pasted");
    Workbench bench;
    if (!bench.Ready())
        return 3;
    Fill(bench, role == "copy" ? std::vector<int>{0, 13} : std::vector<int>{2});
    if (role == "copy") {
        Run(bench, {"1", "^C"});
        return QTest::qWaitFor([&] { return QFile::exists(done); }, 20000) ? 0 : 4;
    }
    bench.Click(bench.Slave());
    if (!QTest::qWaitFor([&] { return bench.frame->CommandListActions().at(Paste)->isEnabled(); }, 20000))
        return 5;
    Run(bench, {"^V"});
    std::printf("%s\n", qPrintable(Codes(bench).join(' ')));
    QFile flag(done);
    return flag.open(QIODevice::WriteOnly) ? 0 : 6;
}

} // namespace

class CommandListTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }
    void listEdits_data();
    void listEdits();
    void pasteBetweenPrograms();
};

void CommandListTest::listEdits_data()
{
    QTest::addColumn<int>("count");   // commands at the start: functions 0, 2, 4, then 2 repeated
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("codes");   // the codes afterwards; empty when refused by the limit
    QTest::newRow("duplicate") << 3 << QStringList{"1", "dup"} << "01 03 03 05";
    QTest::newRow("move up") << 3 << QStringList{"2", "^Up"} << "01 05 03";
    QTest::newRow("move down") << 3 << QStringList{"0", "^Down"} << "03 01 05";
    QTest::newRow("cut and paste") << 3 << QStringList{"0", "^X", "0", "^V"} << "03 01 05";
    QTest::newRow("copy, paste at the end") << 3 << QStringList{"1", "^C", "slave", "^V"} << "01 03 05 03";
    QTest::newRow("duplicate the 49th") << 48 << QStringList{"0", "dup"} << "";
    QTest::newRow("paste the 49th") << 48 << QStringList{"0", "^C", "^V"} << "";
}

void CommandListTest::listEdits()
{
    QFETCH(int, count);
    QFETCH(QStringList, steps);
    QFETCH(QString, codes);
    Workbench bench;
    QVERIFY(bench.Ready());
    std::vector<int> functions = {0, 2, 4};
    functions.resize(static_cast<std::size_t>(count), 2);
    Fill(bench, functions);
    const QStringList before = Codes(bench);
    Run(bench, steps);
    if (codes.isEmpty()) {
        QCOMPARE(Codes(bench), before);
        QCOMPARE(bench.prompt.messages, QStringList{LangText(1001)});
        return;
    }
    QCOMPARE(Codes(bench).join(' '), codes);
    QCOMPARE(bench.root.Subnet().GetNodeAt(0)->GetCommandCount(), int(codes.count(' ') + 1));
    QVERIFY(bench.modified);
    // One step back, whatever it took (a cut and a paste are two).
    for (int undo = steps.contains("^X") ? 2 : 1; undo > 0; --undo)
        bench.frame->UndoAction()->trigger();
    QCOMPARE(Codes(bench), before);
    QVERIFY(!bench.modified);
}

void CommandListTest::pasteBetweenPrograms()
{
    const QString self = QCoreApplication::applicationFilePath();
    QDir dir(QDir::tempPath() + "/clip-" + QString::number(QCoreApplication::applicationPid()));
    QDir().mkpath(dir.path());
    QFile::remove(dir.filePath("pasted"));
    // Both programs run on one virtual display, so that they share its clipboard.
    const QString script = QString("export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 GATEWAY_CLIP_DIR='%1';"
                                   "GATEWAY_CLIP_ROLE=copy '%2' & GATEWAY_CLIP_ROLE=paste '%2'; s=$?; wait $! || s=$?; exit $s")
                               .arg(dir.path(), self);
    const ProgramRun run = RunProgram("/usr/bin/xvfb-run", {"-a", "-s", "-screen 0 1280x800x24", "/bin/sh", "-c",
                                                            script.toStdString()},
                                      dir.path().toStdString());
    dir.removeRecursively();
    QVERIFY2(run.status == 0, (run.out + run.err).c_str());
    QCOMPARE(QString::fromStdString(run.out).trimmed(), QString("03 16"));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("GATEWAY_CLIP_ROLE"))
        return RunClipboardRole(argc, argv);
    QApplication app(argc, argv);
    CommandListTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "command_list_test.moc"
