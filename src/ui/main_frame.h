#pragma once
// The main window: menus and tool bar built from the command table, the configuration tree on
// the left and the annotation pane at the bottom (both dockable, titled "MY Control"), and the
// form view with the property grid in the middle. It owns the document and runs the commands.

#include <QMainWindow>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "file/gateway_doc.h"
#include "model/wire_layout.h"
#include "ui/document_ui.h"
#include "ui/handover_export.h"
#include "ui/file_watch.h"
#include "ui/recent_files.h"

class CConfigTreePane;
class CLinePane;
class CSerialPortDlg;
struct Difference;
class CEditHistory;
class CModbusCommand;
class CSlaveNode;
class CDeviceConfig;
class CGatewayView;
class CTreeCommands;
class CUserPrompt;
class QDockWidget;
class QMenu;
class QPlainTextEdit;
class QToolBar;

// Moves a window (a dialog over the main window) off a spot of the screen it covers: above or
// below it, where there is more room, shortened where it would not fit there.
void MoveClearOf(QWidget& window, const QRect& spot);

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
    // Opens a file as File > Open does after its dialog (also for the recent-file list).
    bool OpenFile(const QString& path);
    CFileWatch& FileWatch() { return m_watch; }

    // The command's action in the menus and the tool bar; none for an unknown id.
    QAction* Action(int commandId) const;
    QMenu* ContextMenu() const { return m_contextMenu; }
    QAction* ContextAction(int commandId) const;
    QList<QAction*> RecentFileActions() const { return m_recentActions; }

    CGatewayDoc& Document() { return m_doc; }
    CGatewayView* View() const { return m_view; }
    CConfigTreePane* Tree() const { return m_tree; }
    CTreeCommands* TreeCommands() const { return m_treeCommands; }
    QPlainTextEdit* Annotation() const { return m_annotation; }
    QDockWidget* TreeDock() const { return m_treeDock; }
    QDockWidget* AnnotationDock() const { return m_annotationDock; }
    CLinePane* LinePane() const { return m_line; }
    QDockWidget* LineDock() const { return m_lineDock; }
    QToolBar* MainToolBar() const { return m_toolBar; }
    CEditHistory* History() const { return m_history; }
    QAction* UndoAction() const { return m_undo; }
    QAction* RedoAction() const { return m_redo; }
    // Duplicate, Cut, Copy, Paste, Move Up, Move Down.
    QList<QAction*> CommandListActions() const { return m_listActions; }

    // Enables, disables and checks every command from the present state.
    void RefreshCommands();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePanes();
    void ConnectCommands();
    void RebuildRecentMenu();
    void RebuildTree();
    void OnConfigurationReplaced();
    void OnTreeSelection();
    void OnTransfer(int commandId);
    // Compare with Module, Compare with File, and the differences dialog they end in.
    void OnCompareWithModule();
    void OnCompareWithFile();
    void ShowDifferences(const CDeviceConfig& other, bool moduleScope, HardwareVersion version, const QString& otherSide);
    // Shows a difference's node in the tree and its row in the grid.
    void SelectDifference(const Difference& difference);
    // The frames and the end of a port dialog's run go to the line pane.
    void FeedLinePane(CSerialPortDlg& dialog);
    void FitFrame(bool centre);
    // The tool bar's images as large as lets every button show across the window (Undo and
    // Redo too, on a small or strongly scaled screen).
    void FitToolBar();
    void OnAutoMapping();
    void OnConflictDetect();
    void ToggleBar(QWidget* bar);
    void CreateHistoryActions();
    void CreateCommandListActions(QMenu* edit);
    void RefreshCommandListActions();
    bool CopySelectedCommand();
    void OnDuplicateCommand();
    void OnPasteCommands();
    void OnMoveCommand(int step);
    void InsertCommands(CSlaveNode* slave, int position, std::vector<std::unique_ptr<CModbusCommand>> commands,
                        const QString& stepName);
    // Shows the slave node's commands again after a change of the list, selects the one at
    // selectIndex and records the undo step.
    void ShowCommandListChange(CSlaveNode* slave, int selectIndex, const QString& stepName);
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
    QList<QAction*> m_listActions;   // Duplicate, Cut, Copy, Paste, Move Up, Move Down
    std::map<int, QAction*> m_actions;
    std::map<int, QAction*> m_contextActions;
};
