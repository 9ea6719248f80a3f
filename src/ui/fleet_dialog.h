#pragma once
// File > Fleet…: a plan of modules opened, an action picked and run on every module, many at a
// time, on a worker thread. A row per module shows its status in colour, its progress and the
// message it ended with. A double-click on a row's file opens that file in the workbench; on
// any other cell it shows the module's Line text, every frame of its run.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "fleet/fleet_run.h"
#include "ui/worker_thread.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// A module's Line text: every frame and message of its last run, read-only.
class CModuleLineDlg : public QDialog {
    Q_OBJECT
public:
    CModuleLineDlg(const QString& module, const QString& text, QWidget* parent = nullptr);
    QPlainTextEdit* Text() const { return m_text; }

private:
    QPlainTextEdit* m_text = nullptr;
};

class CFleetDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { COL_MODULE, COL_PORT, COL_FILE, COL_ACTION, COL_STATUS, COL_PROGRESS, COL_MESSAGE, COL_SECONDS, COL_COUNT };

    explicit CFleetDlg(QWidget* parent = nullptr);
    ~CFleetDlg() override;

    // Reads the plan and lists its modules; false (and the fault shown in the status line) when
    // it cannot be read.
    bool OpenPlan(const QString& path);
    // Runs the chosen action on every module of the plan.
    void Run();
    bool IsRunning() const { return m_running; }
    // Called with a file to open in the workbench.
    void SetFileOpener(std::function<void(const QString&)> opener) { m_openFile = std::move(opener); }

    QComboBox* ActionList() const { return m_action; }
    QPushButton* RunButton() const { return m_run; }
    QPushButton* StopButton() const { return m_stop; }
    QTableWidget* Table() const { return m_table; }
    QLabel* Status() const { return m_status; }
    // The Line text of a module's last run; empty before it ran.
    QString LineText(int row) const;
    // The file of a module: the one its action used, from the plan's folder.
    QString ModuleFile(int row) const;

    // The action's name as the dialog shows it.
    static QString ActionText(FleetAction action);

    // While a run is going on, stops it instead of closing (closing the window too): the dialog
    // closes once it has ended.
    void reject() override;

signals:
    // The run has ended; every row shows its module's outcome.
    void runEnded();

private:
    class CRowObserver;

    void Browse();
    void OnStarted(int row);
    void OnProgress(int row, int done, int planned);
    void OnEnded(int row, const ModuleResult& result);
    void OnFinished(const FleetResult& result);
    void SetStatus(int row, const QString& text, const QColor& colour);
    void ShowLineText(int row);
    void SetIdle(bool idle);

    QLineEdit* m_planPath = nullptr;
    QComboBox* m_action = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_stop = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_status = nullptr;
    std::function<void(const QString&)> m_openFile;

    FleetPlan m_plan;
    std::vector<ModuleResult> m_results;   // by row, once the module has ended
    FleetOptions m_options;
    std::unique_ptr<CRowObserver> m_observer;
    bool m_running = false;
    bool m_closeWhenDone = false;
    CWorkerThread m_worker;   // the run; Stop and closing set its stop flag
};

// Shows the dialog, modal over parent; opener opens a module's file in the workbench.
void ShowFleetDialog(QWidget* parent, std::function<void(const QString&)> opener);
