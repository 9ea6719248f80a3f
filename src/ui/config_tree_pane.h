#pragma once
// The configuration tree of the main window: "PROFIBUS" and "Subnet" at the top, the slave node
// under "Subnet" and its commands under it. Every entry carries the tree record of its model
// object. The entries come from the model's own tree walk (CDeviceConfig::BuildTree).

#include <QTreeWidget>

#include "model/config_tree.h"

Q_DECLARE_METATYPE(TreeRecord)

class CConfigTreePane : public QTreeWidget {
    Q_OBJECT
public:
    explicit CConfigTreePane(QWidget* parent = nullptr);

    // Deletes every entry, inserts the given ones and expands them all. Selects nothing and
    // sends no selection change.
    void Rebuild(const TreeEntries& entries);
    // Inserts an entry (and its children) as the last child of parent, or at the top level
    // for none; returns it. The caller expands what it wants expanded.
    QTreeWidgetItem* AppendEntry(QTreeWidgetItem* parent, const TreeEntry& entry);
    // Deletes an entry with everything under it; the selection moves to its next sibling,
    // else its previous sibling, else its parent.
    void DeleteEntry(QTreeWidgetItem* entry);
    // The entry that carries a record, or none.
    QTreeWidgetItem* FindEntry(const TreeRecord& record) const;

    static TreeRecord RecordOf(const QTreeWidgetItem* entry);
    // The positions leading from the top level to an entry, and the entry at such a path (none
    // when the tree holds no entry there).
    static QList<int> PathOf(const QTreeWidgetItem* entry);
    QTreeWidgetItem* EntryAt(const QList<int>& path) const;
    // The selected entry, or none.
    QTreeWidgetItem* SelectedEntry() const;
    // The record of the selected entry; an empty record when nothing is selected.
    TreeRecord SelectedRecord() const { return RecordOf(SelectedEntry()); }
    // Selects an entry (none clears the selection), which sends recordSelected.
    void SelectEntry(QTreeWidgetItem* entry);

    // The image of tree image index 0, 1 or 2.
    static QIcon EntryIcon(int image);

signals:
    // The selection changed, by mouse, keyboard or program; an empty record for no selection.
    void recordSelected(const TreeRecord& record);
    // A right click on an entry that carries a record (already selected), at a global position.
    void contextMenuWanted(const QPoint& globalPos);
    // A command was dragged to another place among its slave node's commands.
    void commandMoveWanted(const TreeRecord& command, int to);

protected:
    void dropEvent(QDropEvent* event) override;

private:
    void OnContextMenu(const QPoint& pos);
};
