#include "ui/config_tree_pane.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QStyle>
#include <QStyleFactory>

#include "ui/ui_text.h"
#include "widgets/cut_text_delegate.h"

CConfigTreePane::CConfigTreePane(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    // The classic tree look: dotted lines between the entries and boxed +/- at every branch.
    if (QStyle* lines = QStyleFactory::create(QStringLiteral("Windows"))) {
        lines->setParent(this);
        setStyle(lines);
    }
    setItemsExpandable(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(18, 18));
    // A name wider than the pane ends in an ellipsis and shows whole in its tool-tip.
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new CCutTextDelegate(this));
    header()->setStretchLastSection(true);
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(11);
    setFont(font);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Commands can be dragged to another place under their slave node.
    setDragDropMode(QAbstractItemView::InternalMove);
    setDropIndicatorShown(true);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { emit recordSelected(SelectedRecord()); });
    connect(this, &QWidget::customContextMenuRequested, this, &CConfigTreePane::OnContextMenu);
}

QIcon CConfigTreePane::EntryIcon(int image)
{
    switch (image) {
    case IMAGE_SLAVE: return QIcon(QStringLiteral(":/tree/slave.svg"));
    case IMAGE_COMMAND: return QIcon(QStringLiteral(":/tree/command.svg"));
    default: return QIcon(QStringLiteral(":/tree/top_node.svg"));
    }
}

TreeRecord CConfigTreePane::RecordOf(const QTreeWidgetItem* entry)
{
    if (!entry)
        return {};
    return entry->data(0, Qt::UserRole).value<TreeRecord>();
}

void CConfigTreePane::Rebuild(const TreeEntries& entries)
{
    const QSignalBlocker blocker(this);
    clear();
    for (const TreeEntry& entry : entries)
        AppendEntry(nullptr, entry);
    setCurrentItem(nullptr);
    clearSelection();
    expandAll();
}

QTreeWidgetItem* CConfigTreePane::AppendEntry(QTreeWidgetItem* parent, const TreeEntry& entry)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, FromUtf8(entry.text));
    item->setIcon(0, EntryIcon(entry.image));
    item->setData(0, Qt::UserRole, QVariant::fromValue(entry.record));
    if (entry.record.type != RECORD_COMMAND)
        item->setFlags(item->flags() & ~Qt::ItemIsDragEnabled);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    for (const TreeEntry& child : entry.children)
        AppendEntry(item, child);
    return item;
}

void CConfigTreePane::DeleteEntry(QTreeWidgetItem* entry)
{
    if (!entry)
        return;
    QTreeWidgetItem* parent = entry->parent();
    QTreeWidgetItem* next = nullptr;
    if (parent) {
        const int index = parent->indexOfChild(entry);
        next = parent->child(index + 1);
        if (!next && index > 0)
            next = parent->child(index - 1);
        if (!next)
            next = parent;
    }
    bool wasSelected = false;
    for (const QTreeWidgetItem* p = SelectedEntry(); p; p = p->parent())
        wasSelected = wasSelected || p == entry;
    {
        const QSignalBlocker blocker(this);
        delete entry;
    }
    if (wasSelected)
        SelectEntry(next);
}

QTreeWidgetItem* CConfigTreePane::FindEntry(const TreeRecord& record) const
{
    for (QTreeWidgetItemIterator it(const_cast<CConfigTreePane*>(this)); *it; ++it) {
        if (RecordOf(*it) == record)
            return *it;
    }
    return nullptr;
}

QList<int> CConfigTreePane::PathOf(const QTreeWidgetItem* entry)
{
    QList<int> path;
    for (; entry; entry = entry->parent())
        path.prepend(entry->parent() ? entry->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(entry))
                                     : entry->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(entry)));
    return path;
}

QTreeWidgetItem* CConfigTreePane::EntryAt(const QList<int>& path) const
{
    QTreeWidgetItem* entry = nullptr;
    for (const int index : path) {
        entry = entry ? entry->child(index) : topLevelItem(index);
        if (!entry)
            return nullptr;
    }
    return entry;
}

QTreeWidgetItem* CConfigTreePane::SelectedEntry() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.constFirst();
}

void CConfigTreePane::SelectEntry(QTreeWidgetItem* entry)
{
    if (!entry) {
        if (SelectedEntry()) {
            clearSelection();
        } else {
            emit recordSelected({});
        }
        return;
    }
    if (entry->isSelected() && currentItem() == entry) {
        emit recordSelected(RecordOf(entry));
        return;
    }
    setCurrentItem(entry);
    entry->setSelected(true);
}

void CConfigTreePane::OnContextMenu(const QPoint& pos)
{
    QTreeWidgetItem* entry = itemAt(pos);
    if (!entry)
        return;   // a click beside every entry shows no menu
    if (!entry->isSelected())
        SelectEntry(entry);
    if (RecordOf(entry).type != RECORD_NONE)
        emit contextMenuWanted(viewport()->mapToGlobal(pos));
}

void CConfigTreePane::dropEvent(QDropEvent* event)
{
    // The tree never moves entries itself: the model moves the command and the tree is rebuilt.
    QTreeWidgetItem* moved = SelectedEntry();
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    const DropIndicatorPosition where = dropIndicatorPosition();
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (!moved || !target || RecordOf(moved).type != RECORD_COMMAND || !moved->parent())
        return;
    QTreeWidgetItem* slave = moved->parent();
    const int from = slave->indexOfChild(moved);
    int to = 0;
    if (target == slave)
        to = where == QAbstractItemView::AboveItem ? 0 : slave->childCount() - 1;
    else if (target->parent() == slave) {
        to = slave->indexOfChild(target) + (where == QAbstractItemView::BelowItem ? 1 : 0);
        if (to > from)
            --to;
    } else {
        return;
    }
    if (to != from)
        emit commandMoveWanted(RecordOf(moved), to);
}
