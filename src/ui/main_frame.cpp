#include "ui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QToolBar>
#include <QUndoStack>

#include "model/device_config.h"
#include "ui/command_list_commands.h"
#include "ui/command_table.h"
#include "ui/compare_commands.h"
#include "ui/config_tree_pane.h"
#include "ui/edit_history.h"
#include "ui/gateway_view.h"
#include "ui/line_pane.h"
#include "ui/language_choice.h"
#include "ui/tree_commands.h"
#include "ui/ui_text.h"

// The resources of gw_ui live in a static library; they must be registered by name.
static void InitWorkbenchResources()
{
    Q_INIT_RESOURCE(workbench);
}

namespace {

QFont PaneFont(int points)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(points);
    return font;
}

} // namespace

CMainFrame::CMainFrame(CDeviceConfig& root, bool& modified, CUserPrompt& prompt, QWidget* parent)
    : QMainWindow(parent), m_root(root), m_modified(modified), m_prompt(prompt),
      m_docUi(prompt, *this, m_watch,
              [this] {
                  OnConfigurationReplaced();
                  m_history->Reset();
              }),
      m_doc(root, modified, m_docUi)
{
    InitWorkbenchResources();
    setWindowTitle(LangText(AppText::ProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/about/app.svg")));
    resize(1024, 700);

    m_view = new CGatewayView(root, modified, prompt, this);
    setCentralWidget(m_view);
    CreatePanes();
    m_treeCommands = new CTreeCommands(root, modified, prompt, *m_tree, *m_view, this);
    m_history = new CEditHistory(root, modified, this);
    m_commandList = new CCommandListCommands(root, prompt, *m_tree, *m_view, *m_treeCommands, *m_history, this);
    m_compare = new CCompareCommands(root, prompt, *m_tree, *m_view, *m_line, this);
    CreateActions();
    CreateHistoryActions();
    CreateMenus();
    CreateToolBar();
    ConnectCommands();

    RebuildTree();
    RebuildRecentMenu();
    RefreshCommands();
}

CMainFrame::~CMainFrame()
{
    // The children go after this frame's own part: none of them may call back into it.
    for (QObject* child : std::initializer_list<QObject*>{m_toolBar, m_treeDock, m_annotationDock, m_lineDock, m_tree,
                                                          m_view, m_history, m_history->Stack(), m_commandList})
        child->disconnect(this);
    QApplication::clipboard()->disconnect(m_commandList);
}

void CMainFrame::CreatePanes()
{
    m_tree = new CConfigTreePane(this);
    m_tree->setObjectName(QStringLiteral("configTree"));
    m_treeDock = DockPane(m_tree, tr("MY Control", "the tree pane"), "treePane", Qt::LeftDockWidgetArea);

    m_annotation = new QPlainTextEdit(this);
    m_annotation->setObjectName(QStringLiteral("annotation"));
    m_annotation->setReadOnly(true);
    m_annotation->setFont(PaneFont(12));
    m_annotationDock = DockPane(m_annotation, tr("MY Control", "the annotation pane"), "annotationPane", Qt::BottomDockWidgetArea);

    m_line = new CLinePane(this);
    m_line->setObjectName(QStringLiteral("linePane"));
    m_lineDock = DockPane(m_line, tr("Line"), "lineDock", Qt::BottomDockWidgetArea);
    m_lineDock->hide();   // View > Line shows it

    // The tree runs the whole height of the window; the annotation pane sits below the grid.
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    resizeDocks({m_treeDock}, {280}, Qt::Horizontal);
    resizeDocks({m_annotationDock}, {120}, Qt::Vertical);
}

QDockWidget* CMainFrame::DockPane(QWidget* pane, const QString& title, const char* name, Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(QLatin1String(name));
    dock->setWidget(pane);
    addDockWidget(area, dock);
    return dock;
}

void CMainFrame::CreateActions()
{
    for (const CommandInfo& command : CommandTable()) {
        if (command.id == ID_FILE_MRU_FILE1)
            continue;
        auto* action = new QAction(tr(command.menuText), this);
        action->setData(command.id);
        if (*command.icon)
            action->setIcon(QIcon(QString::fromUtf8(command.icon)));
        const QString tip = CommandToolTip(command);
        if (!tip.isEmpty())
            action->setToolTip(tip);
        if (*command.accelerator) {
            const QKeySequence keys(QString::fromUtf8(command.accelerator));
            if (QString::fromUtf8(command.menuText).contains(QLatin1Char('\t'))) {
                action->setShortcut(keys);
            } else {
                // The menu text names the key itself; the key works through a window shortcut.
                auto* shortcut = new QShortcut(keys, this);
                connect(shortcut, &QShortcut::activated, action, &QAction::trigger);
            }
            action->setProperty("accelerator", keys);
        }
        m_actions[command.id] = action;
    }
    for (const int id : {ID_VIEW_TOOLBAR, ID_VIEW_TREE, ID_VIEW_ANNOTATION, ID_VIEW_LINE})
        m_actions[id]->setCheckable(true);

    m_contextMenu = new QMenu(tr("Right Button"), this);
    m_contextMenu->setObjectName(QStringLiteral("treeContextMenu"));
    const std::pair<int, QString> contextItems[] = {
        {ID_ADD_NODE, tr("Add Node")},
        {ID_DELETE_NODE, tr("Delete Node")},
        {ID_ADD_COMMAND, tr("Add Command")},
        {ID_DELETE_COMMAND, tr("Delete Command")},
    };
    for (const auto& [id, text] : contextItems) {
        QAction* action = m_contextMenu->addAction(text);
        action->setData(id);
        connect(action, &QAction::triggered, m_actions[id], &QAction::trigger);
        m_contextActions[id] = action;
    }
}

void CMainFrame::CreateMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("File(&F)"));
    for (const int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_COMPARE_FILE, ID_FLEET})
        m_fileMenu->addAction(m_actions[id]);
    m_fileMenu->addSeparator();
    for (const int id : {ID_EXPORT_IO_LIST, ID_EXPORT_REPORT, ID_FILE_PRINT})
        m_fileMenu->addAction(m_actions[id]);
    m_fileMenu->addSeparator();
    m_recentPlaceholder = m_fileMenu->addAction(tr("Recent File"));
    m_recentPlaceholder->setEnabled(false);
    m_exitSeparator = m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions[ID_APP_EXIT]);

    QMenu* edit = menuBar()->addMenu(tr("Edit(&E)"));
    edit->addAction(m_undo);
    edit->addAction(m_redo);
    edit->addSeparator();
    for (const int id : {ID_ADD_NODE, ID_DELETE_NODE, ID_ADD_COMMAND, ID_DELETE_COMMAND, ID_UPLOAD, ID_DOWNLOAD,
                         ID_COMPARE_MODULE, ID_EXPORT_XLS, ID_AUTO_MAPPING, ID_CONFLICT_DETECT, ID_TEST_COMMANDS})
        edit->addAction(m_actions[id]);
    edit->addSeparator();
    edit->addActions(m_commandList->Actions());

    QMenu* view = menuBar()->addMenu(tr("View(&V)"));
    for (const int id : {ID_VIEW_TOOLBAR, ID_VIEW_TREE, ID_VIEW_ANNOTATION, ID_VIEW_LINE})
        view->addAction(m_actions[id]);
    view->addSeparator();
    view->addMenu(CreateLanguageMenu(this, m_prompt));

    QMenu* help = menuBar()->addMenu(tr("Help(&H)"));
    help->addAction(m_actions[ID_APP_ABOUT]);
    help->addAction(m_actions[ID_HELP_CONTENT]);

    for (QMenu* menu : {m_fileMenu, edit, view, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = new QToolBar(tr("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (const int id : ToolBarCommands())
        m_toolBar->addAction(m_actions[id]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_undo);
    m_toolBar->addAction(m_redo);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

// Undo and Redo: the Edit menu's first entries and the tool bar's last buttons.
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

QMenu* CMainFrame::createPopupMenu()
{
    auto* menu = new QMenu(this);
    for (const int id : {ID_VIEW_TOOLBAR, ID_VIEW_TREE, ID_VIEW_ANNOTATION, ID_VIEW_LINE})
        menu->addAction(m_actions[id]);
    RefreshCommands();
    return menu;
}

void CMainFrame::RebuildTree()
{
    m_tree->Rebuild(m_root.BuildTree());
}

void CMainFrame::RebuildRecentMenu()
{
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        action->deleteLater();
    }
    m_recentActions.clear();
    const QStringList& files = m_recent.Files();
    m_recentPlaceholder->setVisible(files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        auto* action = new QAction(RecentFileMenuText(i, files.at(i)), this);
        action->setObjectName(QStringLiteral("recentFile"));
        const QString path = files.at(i);
        connect(action, &QAction::triggered, this, [this, path] { OpenFile(path); });
        m_fileMenu->insertAction(m_exitSeparator, action);
        m_recentActions.append(action);
    }
}

void CMainFrame::RefreshCommands()
{
    const bool master = m_root.Subnet().GetMode() == MODE_MODBUS_MASTER;
    const std::pair<int, bool> enables[] = {
        {ID_ADD_NODE, m_treeCommands->CanAddNode()},
        {ID_DELETE_NODE, m_treeCommands->CanDeleteNode()},
        {ID_ADD_COMMAND, m_treeCommands->CanAddCommand()},
        {ID_DELETE_COMMAND, m_treeCommands->CanDeleteCommand()},
        {ID_AUTO_MAPPING, master},
        {ID_CONFLICT_DETECT, master},
        {ID_TEST_COMMANDS, master},
        {ID_EXPORT_IO_LIST, master},
    };
    for (const auto& [id, enabled] : enables) {
        m_actions[id]->setEnabled(enabled);
        if (const auto context = m_contextActions.find(id); context != m_contextActions.end())
            context->second->setEnabled(enabled);
    }
    m_commandList->RefreshActions();
    setWindowModified(m_modified);
    m_actions[ID_VIEW_TOOLBAR]->setChecked(!m_toolBar->isHidden());
    m_actions[ID_VIEW_TREE]->setChecked(!m_treeDock->isHidden());
    m_actions[ID_VIEW_ANNOTATION]->setChecked(!m_annotationDock->isHidden());
    m_actions[ID_VIEW_LINE]->setChecked(!m_lineDock->isHidden());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_view->FinishEditing();
    if (m_doc.CanCloseFrame()) {
        SaveLayout();
        event->accept();
    }
    else
        event->ignore();
}
