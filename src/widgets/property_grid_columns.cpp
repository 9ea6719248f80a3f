// The property grid's columns: the label column's width (half the grid until the user drags the
// line between the columns).

#include <QMouseEvent>
#include <algorithm>

#include "widgets/property_grid.h"

namespace {

constexpr int kMinColumn = 24;   // neither column is dragged narrower than this
constexpr int kGrip = 3;         // pixels on each side of the column line that take a drag

} // namespace

void CPropertyGrid::SetLabelColumnWidth(int width)
{
    m_labelWidth = width < 0 ? -1 : width;
    FitColumns();
}

void CPropertyGrid::FitColumns()
{
    const int total = viewport()->width();
    const int label = m_labelWidth < 0 ? total / 2 : std::clamp(m_labelWidth, kMinColumn, std::max(kMinColumn, total - kMinColumn));
    setColumnWidth(0, label);
}

bool CPropertyGrid::viewportEvent(QEvent* event)
{
    if (HandleColumnDrag(event))
        return true;
    return QTableView::viewportEvent(event);
}

bool CPropertyGrid::HandleColumnDrag(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int x = mouse->position().toPoint().x();
    const bool onLine = std::abs(x - columnViewportPosition(1)) <= kGrip;
    if (type == QEvent::MouseMove) {
        if (m_draggingColumn) {
            SetLabelColumnWidth(x - columnViewportPosition(0));
            return true;
        }
        if (onLine)
            viewport()->setCursor(Qt::SplitHCursor);
        else
            viewport()->unsetCursor();
        return false;
    }
    if (type == QEvent::MouseButtonPress && onLine && mouse->button() == Qt::LeftButton) {
        FinishEditing();
        m_draggingColumn = true;
        return true;
    }
    if (type == QEvent::MouseButtonRelease && m_draggingColumn) {
        m_draggingColumn = false;
        return true;
    }
    return false;
}

void CPropertyGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    FitColumns();
}
