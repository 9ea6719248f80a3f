#pragma once
// The differences between the open configuration and another side (the module or a second
// file): node, item, this configuration's value and the other side's, the changed cells marked.
// "Only differences" hides the equal items; a double-click asks the main window to show that
// node and row; "Copy as Text" puts the differences on the clipboard one per line.

#include <QDialog>
#include <vector>

#include "compare/config_diff.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

class CDifferencesDialog : public QDialog {
    Q_OBJECT
public:
    // items: every compared item, the equal ones with DiffKind::Same.
    CDifferencesDialog(std::vector<Difference> items, const QString& otherSide, QWidget* parent = nullptr);

    QTableWidget* Table() const { return m_table; }
    QCheckBox* OnlyDifferences() const { return m_only; }
    QPushButton* CopyButton() const { return m_copy; }
    QLabel* Summary() const { return m_summary; }
    // The item a table row shows.
    const Difference& RowItem(int row) const;
    // The differences as the clipboard gets them.
    QString DifferencesText() const;

signals:
    void differenceActivated(const Difference& difference);

private:
    void Fill();

    std::vector<Difference> m_items;
    std::vector<std::size_t> m_shown;   // table row -> item
    QTableWidget* m_table = nullptr;
    QCheckBox* m_only = nullptr;
    QPushButton* m_copy = nullptr;
    QLabel* m_summary = nullptr;
};
