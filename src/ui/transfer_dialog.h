#pragma once
// The download/upload dialog: the user picks a port and starts one run.

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "link/transfer_run.h"
#include "ui/worker_thread.h"

class QCheckBox;
class QComboBox;
class CPortChooser;
class QProgressBar;
class QPushButton;
class CDeviceConfig;

// The serial port dialog of one transfer direction. The list offers the serial ports the system
// knows; any device path (a USB adapter, a pseudo-terminal) can be typed instead, or a serial
// device server on the network chosen. The button
// starts the run on a worker thread, with the controls disabled and the exchanges counted in
// the progress bar until the run has ended; the run's messages are shown in the order it
// produced them once it has ended, and the dialog closes after the last one. Cancel (or Esc)
// during the run stops it at once; the port is closed and the run ends as stopped.
//
// The worker never touches the configuration the dialog was given: it works on a copy, and a
// successful upload replaces the configuration with it on the user-interface thread once the
// run has ended.
class CSerialPortDlg : public QDialog {
    Q_OBJECT
public:
    CSerialPortDlg(TransferDirection direction, CDeviceConfig& root, QWidget* parent = nullptr);
    ~CSerialPortDlg() override;

    QComboBox* PortList() const;
    CPortChooser* PortChoice() const { return m_port; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* CancelButton() const { return m_cancel; }
    QProgressBar* Progress() const { return m_progress; }
    // "Verify after download", shown for a download and remembered in the settings.
    QCheckBox* VerifyBox() const { return m_verify; }

    // The run reads the module into memory instead of replacing the configuration: "Compare
    // with Module".
    void SetCompareOnly();
    // What the module held after a compare run or a verified download (none otherwise), with
    // the hardware version it reported.
    const CDeviceConfig* ModuleRead() const { return m_moduleRead; }
    HardwareVersion ModuleVersion() const { return m_moduleVersion; }

    bool IsRunning() const { return m_running; }
    // True once an upload has replaced the configuration.
    bool ConfigurationReplaced() const { return m_replaced; }
    // Called on the user-interface thread once a successful upload has replaced the
    // configuration, before "Upload successfully!" is shown: the views are rebuilt there.
    void SetReplacedHandler(std::function<void()> handler) { m_onReplaced = std::move(handler); }
    // Time limits of the line for the runs of this dialog (the module's own by default).
    void SetLinkTimings(const LinkTimings& timings) { m_timings = timings; }

    // The device of the most recent run of this program, whatever its outcome; empty at start.
    static QString LastPort();

    // While a run is going on, stops it instead of closing (closing the window too): the dialog
    // closes once the run has ended.
    void reject() override;

signals:
    // Every frame of the run, with the time it crossed the line (steady clock, nanoseconds).
    void frameSeen(qint64 when, int direction, const QByteArray& bytes);
    // The message that ended the run.
    void runEnded(const QString& text, bool failed);

private:
    class CRunObserver;
    struct Notice {
        QString text;
        bool final = false;
        TransferOutcome outcome;
        std::optional<TransferOutcome> readBack;   // the read after a verified download
    };

    void StartRun();
    void SetControlsEnabled(bool enabled);
    void ShowProgress(int done, int planned);
    // Takes a message of the run. Messages on the way wait for the closing one and are shown in
    // one box before it; after a successful upload the values no edit would accept follow it.
    void Post(Notice notice);
    void EndRun(const TransferOutcome& outcome);
    // The closing message of a verified download, with what the read-back found.
    QString VerifiedText(const Notice& notice, bool& failed);

    TransferDirection m_direction;
    CDeviceConfig& m_root;
    LinkTimings m_timings;
    CPortChooser* m_port = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QCheckBox* m_verify = nullptr;
    bool m_compareOnly = false;
    const CDeviceConfig* m_moduleRead = nullptr;
    HardwareVersion m_moduleVersion;

    std::function<void()> m_onReplaced;
    bool m_running = false;
    bool m_replaced = false;
    bool m_showingNotice = false;
    std::deque<Notice> m_notices;
    std::unique_ptr<CDeviceConfig> m_work;   // what the worker reads and writes
    std::unique_ptr<CDeviceConfig> m_readBack;   // what a verified download reads back
    std::unique_ptr<CRunObserver> m_observer;
    CWorkerThread m_worker;   // Cancel sets its stop flag, which the run watches
};

// Shows the dialog for one direction, modal over parent. True when an upload replaced the
// configuration; onReplaced, when given, has then already rebuilt the views, before the success
// message was shown.
bool RunTransferDialog(QWidget* parent, TransferDirection direction, CDeviceConfig& root,
                       std::function<void()> onReplaced = {});
