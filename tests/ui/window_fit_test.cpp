// The main window on a small, scaled screen: it opens wholly on the screen's available area at
// every scale factor (each case runs the real start-up in a program of its own under a virtual
// 1280x800 display), and it remembers its geometry, panes and label column between runs.

#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QToolTip>
#include <cstdio>

#include "support/run_program.h"
#include "ui_test_support.h"

using namespace ui_test;

namespace {

// The child: the program's own start-up on a fresh settings store; exit 0 when the window lies
// wholly on the screen, 2 when it does not, 3 when it was not shown.
int RunStartUp(int argc, char** argv)
{
    CGatewayApp app(argc, argv);
    UseTestSettings();
    QSettings().remove(QStringLiteral("Workbench"));
    if (!app.InitInstance() || !QTest::qWaitForWindowExposed(app.MainFrame()))
        return 3;
    QTest::qWait(200);
    const QRect frame = app.MainFrame()->frameGeometry();
    const QRect available = app.MainFrame()->screen()->availableGeometry();
    std::printf("%d %d %d %d\n", frame.x(), frame.y(), frame.width(), frame.height());
    return available.contains(frame) ? 0 : 2;
}

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseTestSettings(); }
    void opensOnScreen_data();
    void opensOnScreen();
    void remembersLayout();
    void cutTextShowsToolTip();
};

void WindowFitTest::opensOnScreen_data()
{
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("size");   // expected size where the preferred one fits
    QTest::newRow("1") << "1" << "1024 700";
    QTest::newRow("1.25") << "1.25" << "";
    QTest::newRow("1.5") << "1.5" << "";
    QTest::newRow("2") << "2" << "";
}

void WindowFitTest::opensOnScreen()
{
    QFETCH(QString, scale);
    QFETCH(QString, size);
    const QByteArray self = QCoreApplication::applicationFilePath().toLocal8Bit();
    qputenv("GATEWAY_FIT_CHILD", "1");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_SCALE_FACTOR", scale.toLatin1());
    // The X11 libraries keep a few allocations until exit; only the window is under test here.
    const QByteArray asan = qgetenv("ASAN_OPTIONS");
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
    const ProgramRun run = RunProgram("/usr/bin/xvfb-run", {"-a", "-s", "-screen 0 1280x800x24", self.toStdString()},
                                      QDir::tempPath().toStdString());
    qunsetenv("GATEWAY_FIT_CHILD");
    qunsetenv("QT_SCALE_FACTOR");
    qputenv("ASAN_OPTIONS", asan);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInfo("scale %s: %s", qPrintable(scale), run.out.c_str());
    QVERIFY2(run.status == 0, (run.out + run.err).c_str());
    if (!size.isEmpty())
        QVERIFY2(QString::fromStdString(run.out).trimmed().endsWith(size), run.out.c_str());
}

void WindowFitTest::remembersLayout()
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
}

void WindowFitTest::cutTextShowsToolTip()
{
    Workbench bench;
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

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("GATEWAY_FIT_CHILD"))
        return RunStartUp(argc, argv);
    QApplication app(argc, argv);
    WindowFitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_fit_test.moc"
