#include "widgets/cut_text_delegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

bool CCutTextDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QRect textRect = view->style()->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
    // The style keeps a margin on each side of the text.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    if (item.fontMetrics.horizontalAdvance(item.text) > textRect.width() - 2 * margin)
        QToolTip::showText(event->globalPos(), item.text, view->viewport(), option.rect);
    else
        QToolTip::hideText();
    return true;
}
