#pragma once
// The editors of the property grid and the delegate that makes them: a text box for a typed
// value, a drop-down list for a choice, and a drop-down list that also takes typed text. The
// delegate picks the editor from the row's editor kind and turns the keys that end an edit
// (Return, Tab, Shift+Tab, Esc), a pick in the list and the loss of the focus into one signal;
// the grid then commits or restores.

#include <QComboBox>
#include <QPointer>

#include "widgets/cut_text_delegate.h"

// How an open editor ended.
enum class EditEnding {
    Commit,     // Return: commit, and stay on the row when the value is refused
    Next,       // Tab: commit, then go on to the next editable row
    Previous,   // Shift+Tab: commit, then go back to the previous editable row
    Picked,     // an entry picked in the drop-down list
    Revert,     // Esc: close, the item keeps its value
    FocusLost,  // the focus went elsewhere: commit typed text; a list without a pick keeps its value
};

// A key that types a character into a value (no Ctrl, Alt or Meta held).
bool TypesText(const QKeyEvent* key);

// The drop-down editor. The arrow keys and typed letters open its list instead of changing the
// choice under the user's hands, and the wheel does nothing: a choice is made by picking it.
class CChoiceEditor : public QComboBox {
    Q_OBJECT
public:
    CChoiceEditor(bool takesText, QWidget* parent);

    // The text the edit stands for: the highlighted entry while the list is open, otherwise the
    // shown entry, or the typed text of a list that takes text.
    QString Value() const;
    bool ListShown() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

class CPropertyDelegate : public CCutTextDelegate {
    Q_OBJECT
public:
    using CCutTextDelegate::CCutTextDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // The editor made last; none once it has gone.
    QWidget* LastEditor() const { return m_lastEditor; }
    // The text an editor stands for.
    static QString EditorValue(const QWidget* editor);

signals:
    void editEnded(QWidget* editor, EditEnding how);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HandleKey(QWidget* editor, bool inList, const QKeyEvent* key);
    bool HandleFocusOut(QWidget* editor, const QFocusEvent* focus);

    mutable QPointer<QWidget> m_lastEditor;
};
