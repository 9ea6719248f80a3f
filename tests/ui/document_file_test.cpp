// The open file of the main window: its whole path and the modified mark in the title, the
// recent-file list of whole paths, and another program (gatewaycfg) changing or deleting the
// file while it is open: the question to open it again, and the one before a save overwrites it.

#include <QtTest>
#include <QtWidgets>

#include "file/config_file.h"
#include "support/run_program.h"
#include "support/widget_workbench.h"
#include "ui/command_table.h"
#include "ui/recent_files.h"
#include "ui/tree_commands.h"
#include "ui/ui_text.h"

using namespace ui_test;

namespace {

const char* const kTimeoutLabel = "Response Timeout(50~60000ms)";

// The response time-out a configuration file holds; empty when it cannot be read.
QString TimeoutOnDisk(const QString& path)
{
    CDeviceConfig read;
    if (!gw::LoadFile(read, ToUtf8(path)).ok)
        return {};
    return FromUtf8(read.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value);
}

} // namespace

class DocumentFileTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }

    void titlesAndRecentFiles()
    {
        QTemporaryDir dir;
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.Click(bench.Subnet());
        bench.Command(ID_ADD_NODE)->trigger();
        QVERIFY(bench.frame->isWindowModified());
        bench.Click(bench.Slave());
        bench.Find<CTreeCommands>()->AddCommandOfFunction(2);
        bench.prompt.savePath = dir.filePath("conf");
        bench.Command(ID_FILE_SAVE)->trigger();
        const QString saved = dir.filePath("conf.xml");
        QCOMPARE(bench.frame->windowTitle(), saved + "[*]");
        QVERIFY(!bench.modified && !bench.frame->isWindowModified());
        QCOMPARE(bench.RecentFiles().value(0)->text(), RecentFileMenuText(0, saved));
        // An edit marks the title; undoing it clears the mark.
        bench.Click(bench.Subnet());
        QVERIFY(bench.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500"));
        QVERIFY(bench.frame->isWindowModified());
        bench.Press("Ctrl+Z");
        QVERIFY(!bench.frame->isWindowModified());

        bench.Command(ID_FILE_NEW)->trigger();
        QCOMPARE(bench.frame->windowTitle(), LangText(AppText::ProgramTitle) + "[*]");
        QCOMPARE(bench.Subnet()->childCount(), 0);
        // A path typed relative to the working folder is named whole, in the title and the list.
        const QString home = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        bench.prompt.openPath = "conf.xml";
        bench.Command(ID_FILE_OPEN)->trigger();
        QVERIFY(QDir::setCurrent(home));
        QCOMPARE(bench.frame->windowTitle(), saved + "[*]");
        QCOMPARE(bench.RecentFiles().size(), 1);
        QCOMPARE(bench.Slave()->child(0)->text(0).left(2), QString("03"));
        bench.Command(ID_FILE_NEW)->trigger();
        bench.RecentFiles().value(0)->trigger();
        QCOMPARE(bench.Subnet()->childCount(), 1);
        QVERIFY(bench.prompt.questions.isEmpty());

        // A recent file that has vanished leaves the list; a relative path of an earlier run
        // is not offered.
        bench.prompt.savePath = dir.filePath("gone.xml");
        bench.Command(ID_FILE_SAVE_AS)->trigger();
        QVERIFY(QFile::remove(dir.filePath("gone.xml")));
        const int before = bench.RecentFiles().size();
        bench.RecentFiles().value(0)->trigger();
        QCOMPARE(bench.RecentFiles().size(), before - 1);
        QSettings().setValue("Recent File List/File4", "relative.xml");
        QCOMPARE(CRecentFiles().Files(), QStringList{saved});
    }

    // Another program on the open file: what it does, whether this window has unsaved changes
    // (the time-out 500), the answers to "Open it again?" and, at the next save, "Overwrite it?",
    // and the time-outs in the window and on disk afterwards.
    void changedByAnotherProgram_data()
    {
        QTest::addColumn<QString>("other");   // "set" (the time-out to 900), "delete", or "" for nothing
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("reopen");      // the answer to the first question, -1 when none is asked
        QTest::addColumn<int>("overwrite");   // the answer to the second question, -1 when none is asked
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("onDisk");
        QTest::newRow("opened again") << "set" << false << 1 << -1 << "900" << "900";
        QTest::newRow("opened again, edits dropped") << "set" << true << 1 << -1 << "900" << "900";
        QTest::newRow("kept, then overwritten") << "set" << true << 0 << 1 << "500" << "500";
        QTest::newRow("kept, not overwritten") << "set" << true << 0 << 0 << "500" << "900";
        QTest::newRow("deleted") << "delete" << true << -1 << -1 << "500" << "500";
        QTest::newRow("own saves only") << "" << true << -1 << -1 << "500" << "500";
    }

    void changedByAnotherProgram()
    {
        QFETCH(QString, other);
        QFETCH(bool, edited);
        QFETCH(int, reopen);
        QFETCH(int, overwrite);
        QFETCH(QString, shown);
        QFETCH(QString, onDisk);
        QTemporaryDir dir;
        const QString path = dir.filePath("plant.xml");
        Workbench bench;
        QVERIFY(bench.Ready());
        bench.prompt.savePath = path;
        bench.Command(ID_FILE_SAVE)->trigger();
        bench.Command(ID_FILE_SAVE)->trigger();   // the program's own saves are no change
        bench.Click(bench.Subnet());
        if (edited)
            QVERIFY(bench.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500"));

        if (other == "set") {
            const ProgramRun run = RunProgram(GATEWAYCFG_PATH, {"set", ToUtf8(path), "subnet", kTimeoutLabel, "900"},
                                              dir.path().toStdString());
            QVERIFY2(run.status == 0, run.err.c_str());
        } else if (other == "delete") {
            QVERIFY(QFile::remove(path));
        }
        bench.prompt.yesNo = reopen == 1;
        if (reopen >= 0)
            QTRY_COMPARE(bench.prompt.questions.size(), 1);
        else
            QTest::qWait(500);
        QCOMPARE(bench.prompt.questions.size(), reopen >= 0 ? 1 : 0);
        bench.prompt.yesNo = overwrite == 1;
        bench.Command(ID_FILE_SAVE)->trigger();
        QCOMPARE(bench.prompt.questions.size(), (reopen >= 0 ? 1 : 0) + (overwrite >= 0 ? 1 : 0));
        for (const QString& question : bench.prompt.questions)
            QVERIFY2(question.startsWith(path + " was changed by another program"), qPrintable(question));
        QCOMPARE(FromUtf8(bench.root.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value), shown);
        QCOMPARE(TimeoutOnDisk(path), onDisk);
        QCOMPARE(bench.modified, overwrite == 0);
    }
};

QTEST_MAIN(DocumentFileTest)
#include "document_file_test.moc"
