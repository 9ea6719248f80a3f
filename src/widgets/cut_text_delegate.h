#pragma once
// The item delegate of views whose texts may be cut off: a text that does not fit its cell ends
// in an ellipsis, and the tool-tip over it shows the whole text.

#include <QStyledItemDelegate>

class CCutTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};
