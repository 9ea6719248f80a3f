#pragma once
// The main window as a frame: menus and tool bar built from the command table, the configuration
// tree on the left, the annotation and Line panes at the bottom (dockable; tree and annotation
// titled "MY Control"), and the form view with the property grid in the middle. It owns the
// document, lays the parts out and wires every command to what runs it: the tree's commands, the
// command list's and the compares have controllers of their own (tree_commands.h,
// command_list_commands.h, compare_commands.h). Panes, tool bar and controllers are children of
// the window; panes and tool bar carry the object names the saved layout knows them by.

#include <QMainWindow>
#include <map>
#include <optional>
#include <string>

#include "file/gateway_doc.h"
#include "ui/document_ui.h"
#include "ui/handover_export.h"
#include "ui/file_watch.h"
#include "ui/recent_files.h"

class CCommandListCommands;
class CCompareCommands;
class CConfigTreePane;
class CEditHistory;
class CGatewayView;
class CLinePane;
class CTreeCommands;
class CUserPrompt;
class CDeviceConfig;
class QDockWidget;
class QMenu;
class QPlainTextEdit;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The frame works on the program's one configuration root and modified flag.
    CMainFrame(CDeviceConfig& root, bool& modified, CUserPrompt& prompt, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The document at start-up: the constructors' configuration, or the file named on the
    // command line. False when that file was refused (the default configuration stays).
    bool StartUp(const std::optional<std::string>& path);
    // The geometry, panes and grid column of the last run; the preferred size the first time.
    void RestoreLayout();
    void SaveLayout() const;
    // Keeps the shown window, its frame included, wholly on its screen's available area,
    // shrinking it where needed; centres it when asked or when it had to be moved. Under a window
    // manager the frame is known only once the window has been framed and exposed: the fit is
    // made again then.
    void FitOnScreen(bool centre);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePanes();
    // A pane docked in an area of the window, named for the saved layout.
    QDockWidget* DockPane(QWidget* pane, const QString& title, const char* name, Qt::DockWidgetArea area);
    void ConnectCommands();
    // Enables, disables and checks every command from the present state.
    void RefreshCommands();
    void RebuildRecentMenu();
    void RebuildTree();
    // Opens a file as File > Open does after its dialog (also for the recent-file list).
    bool OpenFile(const QString& path);
    void OnConfigurationReplaced();
    void OnTransfer(int commandId);
    void FitFrame(bool centre);
    // The tool bar's images as large as lets every button show across the window (Undo and
    // Redo too, on a small or strongly scaled screen).
    void FitToolBar();
    void OnAutoMapping();
    void OnConflictDetect();
    void ToggleBar(QWidget* bar);
    void CreateHistoryActions();
    void OnHistoryRestored();
    void RememberCurrentFile();
    // The open file's path and the time it was last saved, for the report's heading.
    ReportFile CurrentFile() const;
    // Another program changed the open file: offers to open it again.
    void OnFileChangedElsewhere(const QString& path);

    CDeviceConfig& m_root;
    bool& m_modified;
    CUserPrompt& m_prompt;
    CFileWatch m_watch;
    CFrameDocumentUi m_docUi;
    CGatewayDoc m_doc;
    CRecentFiles m_recent;

    CGatewayView* m_view = nullptr;
    CConfigTreePane* m_tree = nullptr;
    CTreeCommands* m_treeCommands = nullptr;
    CCommandListCommands* m_commandList = nullptr;
    CCompareCommands* m_compare = nullptr;
    CEditHistory* m_history = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QPlainTextEdit* m_annotation = nullptr;
    QDockWidget* m_treeDock = nullptr;
    QDockWidget* m_annotationDock = nullptr;
    CLinePane* m_line = nullptr;
    QDockWidget* m_lineDock = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    QAction* m_recentPlaceholder = nullptr;
    QAction* m_exitSeparator = nullptr;
    QList<QAction*> m_recentActions;
    std::map<int, QAction*> m_actions;
    std::map<int, QAction*> m_contextActions;
};
