#include "widgets/property_editors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "widgets/property_rows.h"

namespace {

const CPropertyRows::Row& RowOf(const QModelIndex& index)
{
    static const CPropertyRows::Row kNone;
    const auto* rows = qobject_cast<const CPropertyRows*>(index.model());
    return rows ? rows->RowAt(index.row()) : kNone;
}

} // namespace

bool TypesText(const QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

CChoiceEditor::CChoiceEditor(bool takesText, QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("gridChoiceEditor"));
    setEditable(takesText);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(12);
    // A typed number is never completed to a choice behind the user's back.
    if (takesText)
        setCompleter(nullptr);
}

bool CChoiceEditor::ListShown() const
{
    return view()->isVisible();
}

QString CChoiceEditor::Value() const
{
    if (ListShown() && view()->currentIndex().isValid())
        return itemText(view()->currentIndex().row());
    return currentText();
}

void CChoiceEditor::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool moves = !(event->modifiers() & Qt::ControlModifier) &&
                       (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
                        (!isEditable() && (key == Qt::Key_Home || key == Qt::Key_End)));
    if (!ListShown() && (moves || (!isEditable() && TypesText(event)))) {
        showPopup();
        if (TypesText(event))
            view()->keyboardSearch(event->text());
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CChoiceEditor::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

QWidget* CPropertyDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const CPropertyRows::Row& row = RowOf(index);
    QWidget* editor = nullptr;
    if (row.state == STATE_TEXT) {
        auto* text = new QLineEdit(parent);
        text->setObjectName(QStringLiteral("gridTextEditor"));
        text->setFrame(false);
        editor = text;
    } else {
        auto* choice = new CChoiceEditor(row.state == STATE_LIST_TEXT, parent);
        auto* self = const_cast<CPropertyDelegate*>(this);
        choice->view()->installEventFilter(self);
        connect(choice, &QComboBox::activated, self, [self, choice] { emit self->editEnded(choice, EditEnding::Picked); });
        editor = choice;
    }
    editor->setFont(parent->font());
    m_lastEditor = editor;
    return editor;
}

void CPropertyDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const CPropertyRows::Row& row = RowOf(index);
    if (auto* text = qobject_cast<QLineEdit*>(editor)) {
        text->setText(row.value);
        text->selectAll();
        return;
    }
    auto* choice = qobject_cast<QComboBox*>(editor);
    if (!choice)
        return;
    choice->clear();
    choice->addItems(row.choices);
    choice->setCurrentIndex(static_cast<int>(row.choices.indexOf(row.value)));
    if (choice->isEditable()) {
        choice->setEditText(row.value);
        choice->lineEdit()->selectAll();
    }
}

void CPropertyDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    model->setData(index, EditorValue(editor));
}

QString CPropertyDelegate::EditorValue(const QWidget* editor)
{
    if (const auto* text = qobject_cast<const QLineEdit*>(editor))
        return text->text();
    if (const auto* choice = qobject_cast<const CChoiceEditor*>(editor))
        return choice->Value();
    return {};
}

bool CPropertyDelegate::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* editor = m_lastEditor;
    auto* choice = qobject_cast<CChoiceEditor*>(editor);
    const bool inList = choice && watched == choice->view();
    if (!editor || (watched != editor && !inList))
        return CCutTextDelegate::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Esc ends the edit even where a shortcut of the window uses it.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::KeyPress:
        return HandleKey(editor, inList, static_cast<QKeyEvent*>(event));
    case QEvent::FocusOut:
        return !inList && HandleFocusOut(editor, static_cast<QFocusEvent*>(event));
    default:
        return false;
    }
}

bool CPropertyDelegate::HandleKey(QWidget* editor, bool inList, const QKeyEvent* key)
{
    auto* choice = qobject_cast<CChoiceEditor*>(editor);
    switch (key->key()) {
    case Qt::Key_Escape:
        emit editEnded(editor, EditEnding::Revert);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        emit editEnded(editor, key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier)
                                   ? EditEnding::Previous : EditEnding::Next);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // In the open list Return picks the highlighted entry through the combo box itself.
        if (inList)
            return false;
        if (choice && !choice->isEditable())
            choice->showPopup();
        else
            emit editEnded(editor, EditEnding::Commit);
        return true;
    default:
        break;
    }
    // Typing while the list of a list that takes text is open starts a new text, not a search
    // in the list.
    if (inList && choice->isEditable() && TypesText(key)) {
        choice->hidePopup();
        choice->lineEdit()->setText(key->text());
        return true;
    }
    return false;
}

bool CPropertyDelegate::HandleFocusOut(QWidget* editor, const QFocusEvent* focus)
{
    // The own list of a drop-down, a message about a refused value and another window taking
    // the keyboard for a while are no end of the edit.
    if (focus->reason() == Qt::PopupFocusReason || focus->reason() == Qt::ActiveWindowFocusReason)
        return false;
    for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w == editor)
            return false;
    }
    emit editEnded(editor, EditEnding::FocusLost);
    return false;
}
