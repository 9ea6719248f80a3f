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

#include "model/device_config.h"
#include "ui/command_table.h"
#include "ui/config_tree_pane.h"
#include "ui/edit_history.h"
#include <QUndoStack>
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
                                                          m_view, m_history, m_history->Stack()})
        child->disconnect(this);
    QApplication::clipboard()->disconnect(this);
}

void CMainFrame::CreatePanes()
{
    m_tree = new CConfigTreePane(this);
    m_tree->setObjectName(QStringLiteral("configTree"));
    m_treeDock = new QDockWidget(tr("MY Control", "the tree pane"), this);
    m_treeDock->setObjectName(QStringLiteral("treePane"));
    m_treeDock->setWidget(m_tree);
    addDockWidget(Qt::LeftDockWidgetArea, m_treeDock);

    m_annotation = new QPlainTextEdit(this);
    m_annotation->setObjectName(QStringLiteral("annotation"));
    m_annotation->setReadOnly(true);
    m_annotation->setFont(PaneFont(12));
    m_annotationDock = new QDockWidget(tr("MY Control", "the annotation pane"), this);
    m_annotationDock->setObjectName(QStringLiteral("annotationPane"));
    m_annotationDock->setWidget(m_annotation);
    addDockWidget(Qt::BottomDockWidgetArea, m_annotationDock);

    m_line = new CLinePane(this);
    m_line->setObjectName(QStringLiteral("linePane"));
    m_lineDock = new QDockWidget(tr("Line"), this);
    m_lineDock->setObjectName(QStringLiteral("lineDock"));
    m_lineDock->setWidget(m_line);
    addDockWidget(Qt::BottomDockWidgetArea, m_lineDock);
    m_lineDock->hide();   // View > Line shows it

    // The tree runs the whole height of the window; the annotation pane sits below the grid.
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    resizeDocks({m_treeDock}, {280}, Qt::Horizontal);
    resizeDocks({m_annotationDock}, {120}, Qt::Vertical);
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
    CreateCommandListActions(edit);

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

QAction* CMainFrame::Action(int commandId) const
{
    const auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CMainFrame::ContextAction(int commandId) const
{
    const auto it = m_contextActions.find(commandId);
    return it == m_contextActions.end() ? nullptr : it->second;
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
        if (QAction* context = ContextAction(id))
            context->setEnabled(enabled);
    }
    RefreshCommandListActions();
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
