// Where the main window opens and what it remembers between runs: its geometry, the docking
// panes and the property grid's label column, kept in the program's settings. The window always
// opens wholly on the screen's available area, shrunk where its preferred size does not fit.

#include <QDockWidget>
#include <QScreen>
#include <QSettings>

#include "ui/main_frame.h"
#include "ui/gateway_view.h"
#include "widgets/property_grid.h"

namespace {

const QSize kPreferredSize(1024, 700);
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
    const QScreen* where = screen();
    if (!where)
        return;
    const QRect available = where->availableGeometry();
    // The frame (title bar and borders) is known only once the window is shown.
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
