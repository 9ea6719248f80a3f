#include "ui/transfer_dialog.h"

#include <algorithm>

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/config_copy.h"
#include "model/device_config.h"
#include "ui/notice_box.h"
#include "ui/port_choice.h"
#include "ui/ui_text.h"


// Runs on the worker thread: hands everything over to the dialog's thread.
class CSerialPortDlg::CRunObserver : public CLinkObserver {
public:
    explicit CRunObserver(CSerialPortDlg* dialog) : m_dialog(dialog) {}

    void ShowMessage(const std::string& text) override
    {
        CSerialPortDlg* dialog = m_dialog;
        QMetaObject::invokeMethod(
            dialog, [dialog, message = FromUtf8(text)] { dialog->Post({message, false, {}}); }, Qt::QueuedConnection);
    }

    void OnProgress(int done, int planned) override
    {
        CSerialPortDlg* dialog = m_dialog;
        QMetaObject::invokeMethod(
            dialog, [dialog, done, planned] { dialog->ShowProgress(done, planned); }, Qt::QueuedConnection);
    }

    void Finished(const TransferOutcome& outcome)
    {
        CSerialPortDlg* dialog = m_dialog;
        QMetaObject::invokeMethod(
            dialog, [dialog, outcome] { dialog->Post({FromUtf8(outcome.message), true, outcome}); },
            Qt::QueuedConnection);
    }

private:
    CSerialPortDlg* m_dialog;
};

CSerialPortDlg::CSerialPortDlg(TransferDirection direction, CDeviceConfig& root, QWidget* parent)
    : QDialog(parent), m_direction(direction), m_root(root)
{
    const QString title = FromUtf8(TransferTitle(direction));
    setWindowTitle(title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    QFont dialogFont = font();
    dialogFont.setFamily(QStringLiteral("Times New Roman"));
    setFont(dialogFont);

    m_ports = new QComboBox(this);
    auto* portLabel = new QLabel(QStringLiteral("Serial port:"), this);
    portLabel->setBuddy(m_ports);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_start = new QPushButton(title, this);
    m_start->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_start, &QPushButton::clicked, this, &CSerialPortDlg::StartRun);
    connect(m_cancel, &QPushButton::clicked, this, &CSerialPortDlg::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(portLabel, 0, 0);
    fields->addWidget(m_ports, 0, 1);
    fields->addWidget(m_progress, 1, 0, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    FillSerialPortList(m_ports);
}

CSerialPortDlg::~CSerialPortDlg()
{
    // The worker never waits for this thread, so it ends by itself; what it still posts is
    // discarded with this object.
    if (m_worker.joinable())
        m_worker.join();
}

QString CSerialPortDlg::LastPort() { return LastSerialPort(); }

void CSerialPortDlg::SetControlsEnabled(bool enabled)
{
    m_start->setEnabled(enabled);
    m_cancel->setEnabled(enabled);
    m_ports->setEnabled(enabled);
}

void CSerialPortDlg::StartRun()
{
    if (m_running)
        return;
    SetControlsEnabled(false);
    const QString device = m_ports->currentText().trimmed();
    RememberSerialPort(device);

    m_running = true;
    m_replaced = false;
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_work = std::make_unique<CDeviceConfig>();
    CopyConfiguration(m_root, *m_work);
    m_observer = std::make_unique<CRunObserver>(this);
    m_worker = std::thread([direction = m_direction, path = ToUtf8(device), work = m_work.get(),
                            observer = m_observer.get(), timings = m_timings] {
        TransferOutcome outcome;
        try {
            outcome = RunTransfer(direction, path, *work, observer, &timings);
        } catch (...) {
            outcome.code = 1;
            outcome.message = ResultMessage(outcome.code);
            outcome.configurationReplaced = false;
        }
        observer->Finished(outcome);
    });
}

void CSerialPortDlg::ShowProgress(int done, int planned)
{
    if (planned <= 0)
        return;
    m_progress->setRange(0, planned);
    m_progress->setValue(std::min(done, planned));
    m_progress->setFormat(QStringLiteral("Exchange %v of %m"));
    m_progress->setTextVisible(true);
}

void CSerialPortDlg::Post(Notice notice)
{
    m_notices.push_back(std::move(notice));
    if (m_showingNotice)
        return;   // the box on screen shows the next one when it is closed
    m_showingNotice = true;
    while (!m_notices.empty()) {
        Notice next = std::move(m_notices.front());
        m_notices.pop_front();
        if (!next.final) {
            ShowMessageBox(this, QMessageBox::Warning, next.text);
            continue;
        }
        // A successful upload takes effect before the user is told about it.
        if (next.outcome.code == RESULT_OK && next.outcome.configurationReplaced) {
            m_root.TakeContentsFrom(*m_work);
            m_replaced = true;
            if (m_onReplaced)
                m_onReplaced();
        }
        ShowMessageBox(this, next.outcome.code == RESULT_OK ? QMessageBox::Information : QMessageBox::Warning,
                       next.text);
        EndRun(next.outcome);
        break;
    }
    m_showingNotice = false;
}

void CSerialPortDlg::EndRun(const TransferOutcome&)
{
    if (m_worker.joinable())
        m_worker.join();
    // The configuration that an upload replaced stays alive with the dialog, so that the views
    // still showing it are rebuilt before it goes.
    m_running = false;
    SetControlsEnabled(true);
    accept();
}

void CSerialPortDlg::reject()
{
    if (m_running)
        return;
    QDialog::reject();
}

void CSerialPortDlg::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool RunTransferDialog(QWidget* parent, TransferDirection direction, CDeviceConfig& root,
                       std::function<void()> onReplaced)
{
    CSerialPortDlg dialog(direction, root, parent);
    dialog.SetReplacedHandler(std::move(onReplaced));
    dialog.exec();
    return dialog.ConfigurationReplaced();
}
