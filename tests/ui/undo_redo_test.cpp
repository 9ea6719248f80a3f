// Undo and Redo of each kind of change: back at the saved state the file written is the saved
// file again, byte for byte (but for its time stamp), and the modified flag is clear; Redo
// brings the change back.

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "model/lang_strings.h"
#include "support/run_program.h"
#include "file/config_file.h"
#include "ui/command_table.h"
#include "ui/select_command_dialog.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

enum Change { GridEdit, ModeSwitch, Rename, EnableRule, AddNode, DeleteNode, AddCommand, DeleteCommand, AutoMapping };

// The file saved through File > Save As, without the time stamp of its header.
QByteArray Saved(Workbench& bench, const QString& path)
{
    bench.prompt.savePath = path;
    bench.frame->Action(ID_FILE_SAVE_AS)->trigger();
    QByteArray file = QByteArray::fromStdString(ReadWholeFile(path.toStdString()));
    const int start = file.indexOf("<DateTime");
    return start < 0 ? file : file.remove(start, file.indexOf('>', start) - start);
}

// The configuration as the file layer would write it now.
std::string Text(const CDeviceConfig& root)
{
    std::string text;
    WriteConfigText(root, &text);
    const std::size_t start = text.find("<DateTime");
    return start == std::string::npos ? text : text.erase(start, text.find('>', start) - start);
}

void Undo(bool redo = false)
{
    // After a dialog the main window gets the focus back first.
    QTRY_VERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), redo ? Qt::Key_Y : Qt::Key_Z, Qt::ControlModifier);
}

void Make(Workbench& bench, Change change)
{
    switch (change) {
    case GridEdit: bench.Click(bench.Subnet()); QVERIFY(bench.TypeValue(SUBNET_ROW_RESPONSE_TIMEOUT, "500")); break;
    case ModeSwitch: bench.Click(bench.Subnet()); QVERIFY(bench.PickChoice(SUBNET_ROW_PROTOCOL, LangText(21))); break;
    case Rename: bench.Click(bench.Slave()); QVERIFY(bench.TypeValue(SLAVE_ROW_ADDRESS, "12")); break;
    case EnableRule: bench.Click(bench.Subnet()); QVERIFY(bench.PickChoice(SUBNET_ROW_FRAME_TYPE, LangText(23))); break;
    case AddNode: bench.Click(bench.Subnet()); bench.frame->Action(ID_ADD_NODE)->trigger(); break;
    case DeleteNode: bench.Click(bench.Slave()); bench.frame->Action(ID_DELETE_NODE)->trigger(); break;
    case AddCommand:
        bench.Click(bench.Slave());
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<CSelectCommandDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QTest::keyClick(dialog->List(), Qt::Key_Return);
            QTest::keyClick(dialog->List(), Qt::Key_Return);
            dialog->reject();
        });
        bench.frame->Action(ID_ADD_COMMAND)->trigger();
        // The offscreen platform does not hand the activation back when the dialog closes.
        bench.frame->activateWindow();
        QVERIFY(bench.Ready());
        break;
    case DeleteCommand: bench.Click(bench.CommandEntry(0)); bench.frame->Action(ID_DELETE_COMMAND)->trigger(); break;
    case AutoMapping: bench.frame->Action(ID_AUTO_MAPPING)->trigger(); break;
    }
}

} // namespace

class UndoRedoTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }
    void undoRestoresSavedFile_data();
    void undoRestoresSavedFile();
};

void UndoRedoTest::undoRestoresSavedFile_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("slave");        // a slave node with two commands before the change
    QTest::addColumn<bool>("userConfig");   // the subnet in User Config mode before the change
    QTest::newRow("grid edit") << int(GridEdit) << false << false;
    QTest::newRow("mode switch") << int(ModeSwitch) << true << false;
    QTest::newRow("rename") << int(Rename) << true << false;
    QTest::newRow("enable rule") << int(EnableRule) << false << true;
    QTest::newRow("add node") << int(AddNode) << false << false;
    QTest::newRow("delete node") << int(DeleteNode) << true << false;
    QTest::newRow("add commands") << int(AddCommand) << true << false;
    QTest::newRow("delete command") << int(DeleteCommand) << true << false;
    QTest::newRow("auto mapping") << int(AutoMapping) << true << false;
}

void UndoRedoTest::undoRestoresSavedFile()
{
    QFETCH(int, change);
    QFETCH(bool, slave);
    QFETCH(bool, userConfig);
    QTemporaryDir dir;
    Workbench bench;
    QVERIFY(bench.Ready());
    if (slave) {
        CSlaveNode* node = bench.root.Subnet().AddNode();
        node->AddCommand(2);
        node->AddCommand(5);
    }
    if (userConfig)
        bench.root.Subnet().SetMode(MODE_USER_CONFIG);
    bench.frame->StartUp(std::nullopt);
    const QByteArray before = Saved(bench, dir.filePath("before.xml"));
    QVERIFY(!bench.modified);

    Make(bench, Change(change));
    QVERIFY(bench.modified);
    const std::string after = Text(bench.root);
    QVERIFY(after != before.toStdString());

    Undo();
    QVERIFY(!bench.modified);
    QCOMPARE(Saved(bench, dir.filePath("undone.xml")), before);
    Undo(true);
    QVERIFY(bench.modified);
    QCOMPARE(Text(bench.root), after);
}

QTEST_MAIN(UndoRedoTest)
#include "undo_redo_test.moc"
