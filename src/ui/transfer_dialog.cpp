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
#include <QSerialPortInfo>
#include <QStringList>
#include <QVBoxLayout>

#include "model/config_copy.h"
#include "model/device_config.h"
#include "ui/notice_box.h"
#include "ui/ui_text.h"

namespace {

// The device of the most recent run; kept for the program run only.
QString& LastPortStore()
{
    static QString port;
    return port;
}

} // namespace

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
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setMinimumContentsLength(18);
    m_ports->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
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

    FillPortList();
}

CSerialPortDlg::~CSerialPortDlg()
{
    // The worker never waits for this thread, so it ends by itself; what it still posts is
    // discarded with this object.
    if (m_worker.joinable())
        m_worker.join();
}

QString CSerialPortDlg::LastPort() { return LastPortStore(); }

void CSerialPortDlg::FillPortList()
{
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        if (device.isEmpty())
            continue;
        m_ports->addItem(device, device);
        const QString description = info.description().isEmpty() ? info.portName() : info.description();
        m_ports->setItemData(m_ports->count() - 1, description, Qt::ToolTipRole);
    }
    const QString& last = LastPortStore();
    const int listed = last.isEmpty() ? -1 : m_ports->findData(last);
    if (listed >= 0)
        m_ports->setCurrentIndex(listed);
    else if (!last.isEmpty())
        m_ports->setEditText(last);   // a typed device, such as a pseudo-terminal
    else if (m_ports->count() > 0)
        m_ports->setCurrentIndex(0);
    else
        m_ports->setEditText(QString());
}

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
    LastPortStore() = device;

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
    // The messages a run gives on its way all come just before it ends (refusals before the
    // line is used); they wait for the end and are shown together in one box.
    m_notices.push_back(std::move(notice));
    if (m_showingNotice || !m_notices.back().final)
        return;   // the box on screen shows the next one when it is closed
    m_showingNotice = true;
    QStringList earlier;
    while (!m_notices.front().final) {
        earlier << m_notices.front().text;
        m_notices.pop_front();
    }
    Notice last = std::move(m_notices.front());
    m_notices.clear();
    if (!earlier.isEmpty())
        ShowMessageBox(this, QMessageBox::Warning, earlier.join(QStringLiteral("\n")));
    // A successful upload takes effect before the user is told about it.
    const bool replaced = last.outcome.code == RESULT_OK && last.outcome.configurationReplaced;
    if (replaced) {
        m_root.TakeContentsFrom(*m_work);
        m_replaced = true;
        if (m_onReplaced)
            m_onReplaced();
    }
    ShowMessageBox(this, last.outcome.code == RESULT_OK ? QMessageBox::Information : QMessageBox::Warning, last.text);
    if (replaced && !last.outcome.valueFaults.empty())
        ShowMessageBox(this, QMessageBox::Warning, FromUtf8(UploadedValueFaultsText(last.outcome.valueFaults)));
    EndRun(last.outcome);
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
