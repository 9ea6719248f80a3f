// Editing in the property grid: opening the editor of a row (by click, Return, F2 or a typed
// character), and what happens when it ends (commit, refusal, stepping on with Tab, Esc).

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "widgets/property_grid.h"

namespace {

bool IsReturn(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

bool CPropertyGrid::OpenEditor(int row, bool showList)
{
    FinishEditing();
    if (!m_rows->RowAt(row).OffersEditor())
        return false;
    const QModelIndex index = m_rows->index(row, 1);
    setCurrentIndex(index);
    if (!edit(index, QAbstractItemView::AllEditTriggers, nullptr) || !m_delegate->LastEditor())
        return false;
    m_editor = m_delegate->LastEditor();
    m_editIndex = index;
    if (auto* choice = qobject_cast<CChoiceEditor*>(m_editor.data()); choice && showList)
        choice->showPopup();
    return true;
}

void CPropertyGrid::FinishEditing()
{
    if (QWidget* editor = m_editor)
        EndEdit(editor, EditEnding::FocusLost);
}

void CPropertyGrid::EndEdit(QWidget* editor, EditEnding how)
{
    if (!editor || editor != m_editor)
        return;
    const int row = m_editIndex.row();
    const QString text = CPropertyDelegate::EditorValue(editor);
    auto* choice = qobject_cast<CChoiceEditor*>(editor);
    const bool listWithoutPick = choice && !choice->isEditable() && how == EditEnding::FocusLost;
    const bool commit = how != EditEnding::Revert && !listWithoutPick;
    // The editor goes first: whatever the commit redraws, no editor is left over a changed row.
    const QWidget* focus = QApplication::focusWidget();
    const bool hadFocus = focus && (focus == editor || editor->isAncestorOf(focus) ||
                                    (choice && choice->ListShown()));
    if (choice)
        choice->hidePopup();
    m_editor = nullptr;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    if (!commit)
        return;
    if (!m_rows->Commit(row, text)) {
        // Refused: the message has been shown; the old value is back in the editor, on its row.
        if (how != EditEnding::FocusLost)
            OpenEditor(row, false);
        return;
    }
    if (how == EditEnding::Next || how == EditEnding::Previous)
        StepEditor(row, how == EditEnding::Next ? 1 : -1);
}

void CPropertyGrid::StepEditor(int fromRow, int step)
{
    for (int row = fromRow + step; row >= 0 && ItemAtRow(row); row += step) {
        if (m_rows->RowAt(row).OffersEditor()) {
            OpenEditor(row, false);
            return;
        }
    }
}

void CPropertyGrid::keyPressEvent(QKeyEvent* event)
{
    int row = currentIndex().row();
    if (row < 0 && ItemAtRow(0)) {
        row = 0;
        MakeRowCurrent(0);
    }
    const CPropertyRows::Row& shown = m_rows->RowAt(row);
    const int key = event->key();
    if (shown.item && (IsReturn(key) || key == Qt::Key_F2)) {
        OpenEditor(row);
        return;
    }
    if (shown.OffersEditor() && TypesText(event)) {
        // The typed character starts the new value; in a plain list it finds an entry.
        if (!OpenEditor(row, shown.state == STATE_LIST))
            return;
        if (auto* choice = ChoiceEditor(); choice && !choice->isEditable())
            choice->view()->keyboardSearch(event->text());
        else if (m_editor)
            QApplication::sendEvent(m_editor, event);
        return;
    }
    QTableView::keyPressEvent(event);
}
