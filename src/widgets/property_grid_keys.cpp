// Keyboard editing in the property grid: opening an editor from the current row, and the keys
// that an open editor answers to (Return, Esc, Tab, Shift+Tab).

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "widgets/property_grid.h"

namespace {

bool IsReturn(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A key that types a character into a value (no Ctrl, Alt or Meta held).
bool TypesText(const QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

bool CPropertyGrid::OpenEditor(int row)
{
    CParamItem* item = ItemAtRow(row);
    if (!item)
        return false;
    emit rowClicked(row, 1, item);
    // The handler may have redrawn the grid; the row must still show the same item.
    if (ItemAtRow(row) != item || !item->OffersEditor())
        return false;
    if (item->state == STATE_TEXT)
        OpenTextEditor(row, *item);
    else
        OpenChoiceEditor(row, *item);
    return true;
}

void CPropertyGrid::keyPressEvent(QKeyEvent* event)
{
    int row = currentRow();
    if (row < 0 && ItemAtRow(0)) {
        row = 0;
        setCurrentCell(0, 1);
    }
    CParamItem* item = ItemAtRow(row);
    const int key = event->key();
    if (item && (IsReturn(key) || key == Qt::Key_F2)) {
        OpenEditor(row);
        return;
    }
    if (item && item->OffersEditor() && TypesText(event)) {
        // The typed character starts the new value.
        if (!OpenEditor(row))
            return;
        if (m_open == Editor::Text) {
            m_textEditor->insert(event->text());
        } else if (m_choiceEditor->isEditable()) {
            m_choiceEditor->hidePopup();
            m_choiceEditor->setEditText(event->text());
        } else {
            m_choiceEditor->view()->keyboardSearch(event->text());
        }
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool CPropertyGrid::HandleEditorKey(QObject* watched, QKeyEvent* key)
{
    const bool text = m_open == Editor::Text && watched == m_textEditor;
    const bool list = watched == m_choiceEditor->view();
    const bool choice = m_open == Editor::Choice && (watched == m_choiceEditor || list ||
                                                     (m_choiceEditor->isEditable() && watched == m_choiceEditor->lineEdit()));
    if (!text && !choice)
        return false;
    switch (key->key()) {
    case Qt::Key_Escape:
        CancelEditor();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        CommitAndStep(key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier) ? -1 : 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // In the open list, Return picks the highlighted entry through the combo box itself.
        if (list)
            return false;
        if (text || m_choiceEditor->isEditable())
            FinishEditing();
        else
            m_choiceEditor->showPopup();
        return true;
    default:
        return false;
    }
}

void CPropertyGrid::CancelEditor()
{
    CloseEditor();
    setFocus(Qt::OtherFocusReason);
}

void CPropertyGrid::CommitAndStep(int step)
{
    const int from = m_editRow >= 0 ? m_editRow : currentRow();
    FinishEditing();
    setFocus(Qt::TabFocusReason);
    for (int row = from + step; row >= 0 && ItemAtRow(row); row += step) {
        if (!ItemAtRow(row)->OffersEditor())
            continue;
        setCurrentCell(row, 1);
        if (ItemAtRow(row)->state == STATE_TEXT)
            OpenEditor(row);
        return;
    }
}
