#pragma once
// The two-column property grid: column 0 the labels, column 1 the values of a node's items,
// row r showing item r (the rows are a CPropertyRows model). A click on an editable value cell,
// Return, F2 or a typed character opens the row's editor over its cell: a text box, a drop-down
// list, or a drop-down list that also takes typed text. Return and Tab commit the editor's whole
// text through the commit handler; a refused text leaves the editor open on its row with the
// old value; Esc closes it and the item keeps its value. The grid knows nothing of the rules a
// value must pass: the commit handler checks and stores it, and writes the rows again.

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>
#include <map>
#include <string>

#include "widgets/property_editors.h"
#include "widgets/property_rows.h"

class QComboBox;
class QLineEdit;

class CPropertyGrid : public QTableView, public CGridSink {
    Q_OBJECT
public:
    static constexpr int kGridRows = CPropertyRows::kMinimumRows;

    explicit CPropertyGrid(QWidget* parent = nullptr);

    CPropertyRows* Rows() const { return m_rows; }
    // Closes an open editor without committing it and empties every row.
    void ClearGrid();
    // Writes an item into a row: label, value, value-cell colour; the row keeps the item.
    void ShowItem(int row, CParamItem& item) override { m_rows->ShowItem(row, item); }
    // The item a row shows, or none.
    CParamItem* ItemAtRow(int row) const { return m_rows->ItemAtRow(row); }
    int RowCount() const { return m_rows->rowCount(); }
    QString CellText(int row, int column) const;
    QColor ValueColour(int row) const;
    void MarkFaultyValues(std::map<const CParamItem*, std::string> marks) { m_rows->MarkFaultyValues(std::move(marks)); }
    bool ShowsFaultyValue(int row) const { return m_rows->ShowsFaultyValue(row); }
    void SetCommitHandler(CPropertyRows::CommitHandler handler) { m_rows->SetCommitHandler(std::move(handler)); }

    // Commits an open editor now, as losing the focus does.
    void FinishEditing();
    // Makes a row current and opens its value's editor (with a drop-down list shown when
    // showList); false when the row's item offers none.
    bool OpenEditor(int row, bool showList = true);
    // Makes a row current without opening an editor.
    void MakeRowCurrent(int row);

    // Width of the label column; -1 while both columns share the width equally.
    int LabelColumnWidth() const { return m_labelWidth; }
    void SetLabelColumnWidth(int width);

    // The open editor and its row; none and -1 while no editor is open.
    QWidget* Editor() const { return m_editor; }
    QLineEdit* TextEditor() const;
    QComboBox* ChoiceEditor() const;
    int EditRow() const { return m_editor ? m_editIndex.row() : -1; }

signals:
    // A click on a row that shows an item, before an editor opens.
    void rowClicked(int row, int column, CParamItem* item);
    // The current row moved (by click or keyboard) to a row that shows an item.
    void currentRowEntered(int row, CParamItem* item);

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void OnClicked(const QModelIndex& index);
    // Closes the editor and, unless it ended with Esc, commits its text; a refused text opens
    // the editor again on its row, an accepted one steps on after Tab.
    void EndEdit(QWidget* editor, EditEnding how);
    void StepEditor(int fromRow, int step);
    bool HandleColumnDrag(QEvent* event);
    void FitColumns();

    CPropertyRows* m_rows;
    CPropertyDelegate* m_delegate;
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_editIndex;
    int m_labelWidth = -1;
    bool m_draggingColumn = false;
};
