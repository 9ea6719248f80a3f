#pragma once
// The two-column property grid: column 0 the labels, column 1 the values of a node's items,
// row r showing item r. A click on an editable value cell opens an editor over that cell (a
// text box or a drop-down list); when the editor loses the focus its text is handed on
// through a signal. The grid knows nothing of the rules an edit must pass: whoever shows the
// items checks and stores the text and then writes the result back into the cell.

#include <QColor>
#include <QTableWidget>
#include <map>
#include <string>
#include <vector>

#include "model/item_list.h"

class QComboBox;
class QLineEdit;

class CPropertyGrid : public QTableWidget, public CGridSink {
    Q_OBJECT
public:
    // The grid always offers at least this many rows; a longer item list adds rows.
    static constexpr int kGridRows = 40;

    explicit CPropertyGrid(QWidget* parent = nullptr);

    // Empties every cell, forgets every row's item, paints the value cells white and closes
    // an open editor without handing on its text.
    void ClearGrid();
    // Writes an item into a row: label, value, value-cell colour; the row keeps the item.
    void ShowItem(int row, CParamItem& item) override;
    // The item a row shows, or none.
    CParamItem* ItemAtRow(int row) const;
    // Rewrites a value cell's text.
    void SetValueText(int row, const QString& text);
    // Paints a row's value cell: red while the item holds a value marked as faulty, otherwise
    // from its enable flag (white editable, grey read-only).
    void RestyleRow(int row);
    // Items whose values no edit would accept, with those values. A mark holds while the item
    // keeps that value, so an accepted edit clears it. Replaces the marks; repaints every row.
    void MarkFaultyValues(std::map<const CParamItem*, std::string> marks);
    bool ShowsFaultyValue(int row) const;
    // Hands on the text of an open editor now, as losing the focus does.
    void FinishEditing();
    // Opens the editor of a row's value cell, as a click on it does; false when the row's item
    // offers none.
    bool OpenEditor(int row);

    // Width of the label column; -1 while both columns share the width equally.
    int LabelColumnWidth() const { return m_labelWidth; }
    void SetLabelColumnWidth(int width);

    // The colour of a cell in the model's 0x00BBGGRR notation.
    static QColor FromColourRef(std::uint32_t colour);

    QLineEdit* TextEditor() const { return m_textEditor; }
    QComboBox* ChoiceEditor() const { return m_choiceEditor; }
    // Row and item of the open editor; -1 and none while no editor is open.
    int EditRow() const { return m_editRow; }
    CParamItem* EditItem() const { return m_editItem; }

signals:
    // Any click on a row that shows an item, before an editor opens.
    void rowClicked(int row, int column, CParamItem* item);
    // A text box closed with this text.
    void textCommitted(int row, CParamItem* item, const QString& text);
    // A drop-down list closed with a picked entry, or (for a list that takes typed text) with
    // the text in its edit field.
    void choiceCommitted(int row, CParamItem* item, const QString& text);
    // A drop-down list closed without a picked entry.
    void choiceDismissed(int row, CParamItem* item);
    // The current row moved (by click or keyboard) to a row that shows an item.
    void currentRowEntered(int row, CParamItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Editor { None, Text, Choice };

    void OnCellClicked(int row, int column);
    void OpenTextEditor(int row, CParamItem& item);
    void OpenChoiceEditor(int row, CParamItem& item);
    void CommitText();
    void CommitChoice(int pickedIndex);
    void CloseEditor();
    // Closes the open editor without handing on its text; the cell keeps the item's value.
    void CancelEditor();
    // Commits the open editor, then makes the next (step 1) or previous (-1) editable row
    // current and opens its text box.
    void CommitAndStep(int step);
    bool HandleEditorKey(QObject* watched, QKeyEvent* key);
    bool HandleColumnDrag(QEvent* event);
    bool ShowCutTextTip(QEvent* event);
    void FitColumns();
    void PlaceEditor();
    QTableWidgetItem* Cell(int row, int column);

    QLineEdit* m_textEditor = nullptr;
    QComboBox* m_choiceEditor = nullptr;
    std::vector<CParamItem*> m_rowItems;
    std::map<const CParamItem*, std::string> m_faultyValues;
    Editor m_open = Editor::None;
    int m_editRow = -1;
    CParamItem* m_editItem = nullptr;
    int m_labelWidth = -1;
    bool m_draggingColumn = false;
};
