// Compare with Module, Compare with File, "Verify after download" and the Line pane, driven
// through the real widgets against gateway-sim.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "compare/config_diff.h"
#include "dialog_driver.h"
#include "dialog_test_config.h"
#include "file/config_file.h"
#include "link/sim_process.h"
#include "link/transfer_run.h"
#include "modal_box_watcher.h"
#include "ui/command_table.h"
#include "ui/differences_dialog.h"
#include "ui/line_pane.h"
#include "ui/transfer_dialog.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

constexpr int kRunTimeoutMs = 60000;

void StartWith(const QString& device, QObject* owner, bool verify = false)
{
    auto* driver = new DialogDriver<CSerialPortDlg>([device, verify](CSerialPortDlg& dialog) {
        dialog.VerifyBox()->setChecked(verify);
        QLineEdit* field = dialog.PortList()->lineEdit();
        field->clear();
        QTest::keyClicks(field, device);
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    });
    driver->setParent(owner);
}

// What the differences dialog showed, read while it was up.
struct Shown {
    QStringList rows;           // "node | item | this | other"
    int allRows = 0;            // with "Only differences" off
    bool changedMarked = false;
    QString clipboard;
};

void InspectDifferences(Shown& shown, QObject* owner, const std::function<void(CDifferencesDialog&)>& more = {})
{
    auto* driver = new DialogDriver<CDifferencesDialog>([&shown, more](CDifferencesDialog& dialog) {
        QTableWidget* table = dialog.Table();
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < 4; ++column)
                cells << table->item(row, column)->text();
            shown.rows << cells.join(" | ");
        }
        shown.changedMarked = table->rowCount() > 0 && table->item(0, 3)->background().style() != Qt::NoBrush;
        QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
        shown.clipboard = QApplication::clipboard()->text();
        dialog.OnlyDifferences()->click();
        shown.allRows = table->rowCount();
        dialog.OnlyDifferences()->click();
        if (more)
            more(dialog);
        dialog.reject();
    });
    driver->setParent(owner);
}

} // namespace

class CompareDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }
    void compareWithModuleShowsWhatTheModuleHoldsOtherwise();
    void compareWithFile();
    void verifyAfterDownloadIsRemembered();
    void linePaneShowsFailuresInRed();

private:
    QTemporaryDir m_dir;
};

void CompareDialogsTest::compareWithModuleShowsWhatTheModuleHoldsOtherwise()
{
    SimProcess sim({});
    QVERIFY(sim.Running());
    auto module = dialog_test::MakeMappedConfig(3);
    module->Subnet().GetNodeAt(0)->GetCommandAt(1)->GetItemAt(CMD_ROW_START_ADDRESS)->value = "555";
    QCOMPARE(RunTransfer(TransferDirection::Download, sim.Path(), *module).code, RESULT_OK);
    const QString file = m_dir.filePath("plant.xml");
    QVERIFY(SaveFile(*dialog_test::MakeMappedConfig(3), file.toStdString()).ok);

    Workbench bench;
    QVERIFY(bench.Ready());
    QVERIFY(bench.frame->OpenFile(file));
    const std::string before = dialog_test::ModelText(bench.root);
    QObject owner;
    Shown shown;
    StartWith(QString::fromStdString(sim.Path()), &owner);
    InspectDifferences(shown, &owner, [](CDifferencesDialog& dialog) {
        // A double-click shows the command and its row in the main window.
        QTableWidget* table = dialog.Table();
        const QRect cell = table->visualItemRect(table->item(0, 1));
        // The first click of a double-click arrives as a click.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    });
    QTest::keyClick(bench.frame.get(), Qt::Key_K, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(!shown.rows.isEmpty(), kRunTimeoutMs);

    QCOMPARE(shown.rows, QStringList{"command:2 | Starting Address | 107 | 555"});
    QVERIFY(shown.changedMarked);
    QCOMPARE(shown.clipboard, QString("command:2 / Starting Address: 107 \u2192 555\n"));
    QVERIFY(shown.allRows > 20);   // every item the module keeps
    QCOMPARE(bench.Tree()->SelectedEntry(), bench.CommandEntry(1));
    QCOMPARE(bench.Grid()->currentRow(), int(CMD_ROW_START_ADDRESS));
    QVERIFY(dialog_test::ModelText(bench.root) == before);
    QVERIFY(!bench.modified);
    // The line pane has every frame of the read, and its end.
    const QString line = bench.frame->LinePane()->Text();
    QVERIFY2(line.contains("-> READ_VERSION") && line.contains("<- READ_COMMAND_PAGE"), qPrintable(line));
}

void CompareDialogsTest::compareWithFile()
{
    const QString left = m_dir.filePath("left.xml"), right = m_dir.filePath("right.xml");
    auto other = dialog_test::MakeMappedConfig(2);
    other->Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_MNEMONIC)->value = "pump";
    other->Subnet().GetNodeAt(0)->RemoveCommand(other->Subnet().GetNodeAt(0)->GetCommandAt(1));
    QVERIFY(SaveFile(*dialog_test::MakeMappedConfig(2), left.toStdString()).ok);
    QVERIFY(SaveFile(*other, right.toStdString()).ok);

    Workbench bench;
    QVERIFY(bench.Ready());
    QVERIFY(bench.frame->OpenFile(left));
    bench.prompt.openPath = right;
    QObject owner;
    Shown shown;
    InspectDifferences(shown, &owner);
    bench.frame->Action(ID_COMPARE_FILE)->trigger();
    QTRY_VERIFY(!shown.rows.isEmpty());
    QCOMPARE(shown.rows.size(), 2);
    QCOMPARE(shown.rows[0], QString("command:1 | Mnemonic |  | pump"));
    QVERIFY2(shown.rows[1].startsWith("command:2 |  | ") && shown.rows[1].endsWith(" | (none)"), qPrintable(shown.rows[1]));
}

void CompareDialogsTest::verifyAfterDownloadIsRemembered()
{
    SimProcess sim({});
    QVERIFY(sim.Running());
    Workbench bench;
    QVERIFY(bench.Ready());
    ModalBoxWatcher boxes;
    QObject owner;
    StartWith(QString::fromStdString(sim.Path()), &owner, true);
    bench.frame->Action(ID_DOWNLOAD)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.empty(), kRunTimeoutMs);
    QVERIFY2(boxes.Texts().last().contains("holds what was downloaded"), qPrintable(boxes.Texts().last()));
    // The next port dialog starts with the box as it was left.
    CSerialPortDlg next(TransferDirection::Download, bench.root);
    QVERIFY(next.VerifyBox()->isChecked());
    next.VerifyBox()->setChecked(false);
    QVERIFY(!CSerialPortDlg(TransferDirection::Download, bench.root).VerifyBox()->isChecked());
    QVERIFY(CSerialPortDlg(TransferDirection::Upload, bench.root).VerifyBox()->isHidden());
}

void CompareDialogsTest::linePaneShowsFailuresInRed()
{
    SimProcess other({"--product", "0x05"});
    QVERIFY(other.Running());
    Workbench bench;
    QVERIFY(bench.Ready());
    QAction* toggle = bench.frame->Action(ID_VIEW_LINE);
    QVERIFY(!toggle->isChecked());
    toggle->trigger();
    QVERIFY(bench.frame->LineDock()->isVisible());
    QVERIFY(toggle->isChecked());

    ModalBoxWatcher boxes;
    QObject owner;
    StartWith(QString::fromStdString(other.Path()), &owner);
    bench.frame->Action(ID_UPLOAD)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.empty(), kRunTimeoutMs);
    QListWidget* lines = bench.frame->LinePane()->Lines();
    QTRY_COMPARE(lines->count(), 5);   // two requests, two replies, the result
    QVERIFY(lines->item(0)->text().contains(QRegularExpression("^ +\\d+ ms  -> READ_VERSION +01 00 01$")));
    QVERIFY(lines->item(0)->foreground().style() == Qt::NoBrush);
    QVERIFY(lines->item(4)->text().contains(FromUtf8(ResultMessage(RESULT_VERSION_MISMATCH))));
    QCOMPARE(lines->item(4)->foreground().color(), QColor(0xC0, 0x00, 0x00));

    const QString saved = m_dir.filePath("line.txt");
    QVERIFY(bench.frame->LinePane()->SaveTo(saved));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).count('\n'), 5);
    QTest::mouseClick(bench.frame->LinePane()->ClearButton(), Qt::LeftButton);
    QCOMPARE(lines->count(), 0);
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
}

QTEST_MAIN(CompareDialogsTest)
#include "compare_dialogs_test.moc"
