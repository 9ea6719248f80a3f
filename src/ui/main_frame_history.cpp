// Undo and Redo in the main window: the Edit menu's first entries and two tool-bar buttons.

#include <QAction>
#include <QUndoStack>

#include "ui/config_tree_pane.h"
#include "ui/edit_history.h"
#include "ui/gateway_view.h"
#include "ui/main_frame.h"

void CMainFrame::CreateHistoryActions()
{
    QUndoStack* stack = m_history->Stack();
    m_undo = new QAction(tr("Undo"), this);
    m_undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_undo->setIcon(QIcon(QStringLiteral(":/toolbar/undo.svg")));
    m_redo = new QAction(tr("Redo"), this);
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_redo->setIcon(QIcon(QStringLiteral(":/toolbar/redo.svg")));
    const auto follow = [this, stack] {
        m_undo->setEnabled(stack->canUndo());
        m_undo->setText(stack->canUndo() ? tr("Undo %1").arg(stack->undoText()) : tr("Undo"));
        m_redo->setEnabled(stack->canRedo());
        m_redo->setText(stack->canRedo() ? tr("Redo %1").arg(stack->redoText()) : tr("Redo"));
        // The history set the modified flag from the stack already (its handler came first).
        setWindowModified(m_modified);
    };
    connect(stack, &QUndoStack::indexChanged, this, follow);
    connect(stack, &QUndoStack::cleanChanged, this, follow);
    follow();
    // An open editor commits first: its edit is then the step that is undone.
    connect(m_undo, &QAction::triggered, this, [this, stack] {
        m_view->FinishEditing();
        stack->undo();
    });
    connect(m_redo, &QAction::triggered, this, [this, stack] {
        m_view->FinishEditing();
        stack->redo();
    });
    connect(m_history, &CEditHistory::configurationRestored, this, &CMainFrame::OnHistoryRestored);
}

void CMainFrame::OnHistoryRestored()
{
    // The entries are rebuilt from the restored configuration; the same place stays selected.
    const QList<int> selected = CConfigTreePane::PathOf(m_tree->SelectedEntry());
    RebuildTree();
    m_view->ResetView();
    if (QTreeWidgetItem* entry = m_tree->EntryAt(selected))
        m_tree->SelectEntry(entry);
    RefreshCommands();
}
