// Where the main window opens and what it remembers between runs: its geometry, the docking
// panes and the property grid's label column, kept in the program's settings. The window always
// opens wholly on the screen's available area, frame included, shrunk where its preferred size
// does not fit; the tool bar's images shrink where its buttons would not all show.

#include <QDockWidget>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <functional>

#include "ui/main_frame.h"
#include "ui/gateway_view.h"
#include "widgets/property_grid.h"

namespace {

const QSize kPreferredSize(1024, 700);

// Calls back once, when a window is first exposed (under a window manager: once it is framed).
class CFirstExposure : public QObject {
public:
    CFirstExposure(QWindow* window, std::function<void()> then) : QObject(window), m_then(std::move(then))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, std::move(m_then));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};
const char* const kGeometryKey = "Workbench/Geometry";
const char* const kStateKey = "Workbench/State";
const char* const kLabelColumnKey = "Workbench/LabelColumn";

} // namespace

void CMainFrame::RestoreLayout()
{
    const QSettings settings;
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray()))
        resize(kPreferredSize);
    restoreState(settings.value(kStateKey).toByteArray());
    m_view->Grid()->SetLabelColumnWidth(settings.value(kLabelColumnKey, -1).toInt());
}

void CMainFrame::SaveLayout() const
{
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kStateKey, saveState());
    settings.setValue(kLabelColumnKey, m_view->Grid()->LabelColumnWidth());
}

void CMainFrame::FitOnScreen(bool centre)
{
    FitFrame(centre);
    if (QWindow* window = windowHandle(); window && !window->isExposed())
        new CFirstExposure(window, [this, centre] { FitFrame(centre); });
}

void CMainFrame::FitFrame(bool centre)
{
    const QScreen* where = screen();
    if (!where)
        return;
    const QRect available = where->availableGeometry();
    // The frame (title bar and borders) that the window manager adds around the window.
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    QRect frame = frameGeometry();
    if (!centre && available.contains(frame))
        return;
    const QSize room = available.size() - frameExtra;
    resize(size().boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room)));
    frame = frameGeometry();
    frame.moveCenter(available.center());
    // A frame larger than the screen still keeps its top left corner (and the menu bar) on it.
    frame.moveTopLeft(QPoint(std::max(frame.left(), available.left()), std::max(frame.top(), available.top())));
    move(frame.topLeft());
}

void CMainFrame::FitToolBar()
{
    if (!m_toolBar || m_toolBar->orientation() != Qt::Horizontal)
        return;
    for (const int side : {32, 24, 16}) {
        if (m_toolBar->iconSize() != QSize(side, side))
            m_toolBar->setIconSize(QSize(side, side));
        if (m_toolBar->sizeHint().width() <= width())
            return;
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FitToolBar();
}
