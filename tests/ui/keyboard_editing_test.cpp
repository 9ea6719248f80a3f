// Editing the property grid and choosing commands with the keyboard alone. Every key goes to
// the widget that has the focus, as the user's keyboard would send it.

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "ui/command_table.h"
#include "ui/select_command_dialog.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

// Sends steps to the focused widget: "<Key>" names a key (Return, F2, Escape, Tab, Backtab,
// Down), anything else is typed character by character.
void Press(const QStringList& steps)
{
    static const std::pair<const char*, Qt::Key> kKeys[] = {
        {"<Return>", Qt::Key_Return}, {"<F2>", Qt::Key_F2},   {"<Escape>", Qt::Key_Escape},
        {"<Tab>", Qt::Key_Tab},       {"<Backtab>", Qt::Key_Backtab}, {"<Down>", Qt::Key_Down},
    };
    for (const QString& step : steps) {
        const auto named = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const auto& k) { return step == k.first; });
        if (named != std::end(kKeys)) {
            QVERIFY2(QApplication::focusWidget(), qPrintable(step));
            QTest::keyClick(QApplication::focusWidget(), named->second,
                            named->second == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            continue;
        }
        for (const QChar c : step) {
            QVERIFY2(QApplication::focusWidget(), qPrintable(step));
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
    }
}

} // namespace

class KeyboardEditingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }
    void editsByKeyboard_data();
    void editsByKeyboard();
    void selectCommandByKeyboard();
};

void KeyboardEditingTest::editsByKeyboard_data()
{
    QTest::addColumn<bool>("fieldbus");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("cells");   // "row=value" after the steps
    QTest::addColumn<bool>("modified");
    const int timeout = SUBNET_ROW_RESPONSE_TIMEOUT;
    const auto cell = [](int row, const char* value) { return QString("%1=%2").arg(row).arg(value); };
    QTest::newRow("F2 opens, Return commits") << false << timeout << QStringList{"<F2>", "500", "<Return>"}
                                              << QStringList{cell(timeout, "500")} << true;
    QTest::newRow("typing opens with the character") << false << timeout << QStringList{"75", "<Return>"}
                                                     << QStringList{cell(timeout, "75")} << true;
    QTest::newRow("Escape keeps the value") << false << timeout << QStringList{"99", "<Escape>"}
                                            << QStringList{cell(timeout, "300")} << false;
    QTest::newRow("Tab commits and edits the next row")
        << false << timeout << QStringList{"<Return>", "600", "<Tab>", "30", "<Return>"}
        << QStringList{cell(timeout, "600"), cell(timeout + 1, "30")} << true;
    QTest::newRow("Shift+Tab goes back") << false << timeout + 1 << QStringList{"40", "<Backtab>", "700", "<Return>"}
                                         << QStringList{cell(timeout + 1, "40"), cell(timeout, "700")} << true;
    QTest::newRow("drop-down list by arrows") << false << int(SUBNET_ROW_BAUD_RATE)
                                              << QStringList{"<Return>", "<Down>", "<Return>"}
                                              << QStringList{cell(SUBNET_ROW_BAUD_RATE, "38400")} << true;
    QTest::newRow("typed-text drop-down takes Return") << true << int(BUS_ROW_PROBE_TIMEOUT)
                                                       << QStringList{"250", "<Return>"}
                                                       << QStringList{cell(BUS_ROW_PROBE_TIMEOUT, "250")} << true;
    QTest::newRow("typed-text drop-down by F2") << true << int(BUS_ROW_PROBE_TIMEOUT)
                                                << QStringList{"<F2>", "<Escape>", "<F2>", "<Escape>"}
                                                << QStringList{} << false;
}

void KeyboardEditingTest::editsByKeyboard()
{
    QFETCH(bool, fieldbus);
    QFETCH(int, startRow);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, cells);
    QFETCH(bool, modified);
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(fieldbus ? bench.Fieldbus() : bench.Subnet());
    // A click on the label makes the row current without opening an editor.
    bench.ClickCell(startRow, 0);
    QVERIFY(bench.Grid()->hasFocus());
    Press(steps);
    QTRY_VERIFY(!bench.Grid()->TextEditor()->isVisible() && !bench.Grid()->ChoiceEditor()->isVisible());
    for (const QString& expected : cells) {
        const int row = expected.section('=', 0, 0).toInt();
        QCOMPARE(bench.Cell(row, 1), expected.section('=', 1));
        QCOMPARE(FromUtf8(bench.Grid()->ItemAtRow(row)->value), expected.section('=', 1));
    }
    QCOMPARE(bench.modified, modified);
    QCOMPARE(bench.prompt.messages, QStringList());

    // The annotation pane follows the current row as the arrows move it.
    QVERIFY(bench.Grid()->hasFocus());
    bench.ClickCell(2, 0);
    Press({"<Down>"});
    QCOMPARE(bench.frame->Annotation()->toPlainText(),
             FromUtf8(bench.Grid()->ItemAtRow(3)->help).replace("\r\n", "\n"));
}

void KeyboardEditingTest::selectCommandByKeyboard()
{
    Workbench bench;
    QVERIFY(bench.Ready());
    bench.Click(bench.Subnet());
    bench.frame->Action(ID_ADD_NODE)->trigger();
    bench.Click(bench.Slave());
    QStringList greyed;
    bool closedByEscape = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CSelectCommandDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (!QTest::qWaitForWindowActive(dialog))
            return dialog->reject();
        QListWidget* list = dialog->List();
        for (int i = 0; i < list->count(); ++i)
            if (!(list->item(i)->flags() & Qt::ItemIsEnabled) && !list->item(i)->toolTip().isEmpty())
                greyed << list->item(i)->text().left(2);
        // 01, then two steps down over 02 to 03; the greyed 07 and 08 are skipped from 06 to 15.
        if (!QTest::qWaitFor([&] { return QApplication::focusWidget() == list; }))
            return dialog->reject();
        Press({"<Return>", "<Down>", "<Down>", "<Return>"});
        for (int i = 0; i < 4; ++i)
            Press({"<Down>"});
        Press({"<Return>", "<Escape>"});
        closedByEscape = !dialog->isVisible();
        dialog->reject();
    });
    bench.frame->Action(ID_ADD_COMMAND)->trigger();
    QVERIFY(closedByEscape);
    QCOMPARE(greyed, (QStringList{"07", "08", "11", "12", "13", "14"}));
    QStringList added;
    for (int i = 0; i < bench.Slave()->childCount(); ++i)
        added << bench.CommandEntry(i)->text(0).left(2);
    QCOMPARE(added, (QStringList{"01", "03", "15"}));
}

QTEST_MAIN(KeyboardEditingTest)
#include "keyboard_editing_test.moc"
