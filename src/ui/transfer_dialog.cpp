#include "ui/transfer_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QVBoxLayout>

#include "compare/config_diff.h"
#include "model/config_copy.h"
#include "model/device_config.h"
#include "ui/notice_box.h"
#include "ui/port_choice.h"
#include "ui/ui_text.h"

namespace {

const QString kVerifySetting = QStringLiteral("transfer/verifyAfterDownload");

} // namespace

// Runs on the worker thread: hands everything over to the dialog's thread.
class CSerialPortDlg::CRunObserver : public CLinkObserver {
public:
    explicit CRunObserver(CSerialPortDlg* dialog) : m_dialog(dialog) {}

    void ShowMessage(const std::string& text) override
    {
        m_dialog->m_worker.HandOver([dialog = m_dialog, message = FromUtf8(text)] { dialog->Post({message, false, {}, {}}); });
    }

    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        const qint64 when = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now().time_since_epoch()).count();
        const QByteArray copy(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
        m_dialog->m_worker.HandOver([dialog = m_dialog, when, direction, copy] {
            emit dialog->frameSeen(when, static_cast<int>(direction), copy);
        });
    }

    void OnProgress(int done, int planned) override
    {
        m_dialog->m_worker.HandOver([dialog = m_dialog, done, planned] { dialog->ShowProgress(done, planned); });
    }

    void Finished(const TransferOutcome& outcome, const std::optional<TransferOutcome>& readBack)
    {
        m_dialog->m_worker.HandOver([dialog = m_dialog, outcome, readBack] {
            dialog->Post({FromUtf8(outcome.message), true, outcome, readBack});
        });
    }

private:
    CSerialPortDlg* m_dialog;
};

CSerialPortDlg::CSerialPortDlg(TransferDirection direction, CDeviceConfig& root, QWidget* parent)
    : QDialog(parent), m_direction(direction), m_root(root), m_worker(this)
{
    const QString title = FromUtf8(gw::TransferTitle(direction));
    setWindowTitle(title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    QFont dialogFont = font();
    dialogFont.setFamily(QStringLiteral("Times New Roman"));
    setFont(dialogFont);

    m_port = new CPortChooser(this);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_verify = new QCheckBox(tr("&Verify after download"), this);
    m_verify->setChecked(QSettings().value(kVerifySetting, false).toBool());
    m_verify->setVisible(direction == TransferDirection::Download);
    connect(m_verify, &QCheckBox::toggled, this, [](bool on) { QSettings().setValue(kVerifySetting, on); });

    m_start = new QPushButton(title, this);
    m_start->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    connect(m_start, &QPushButton::clicked, this, &CSerialPortDlg::StartRun);
    connect(m_cancel, &QPushButton::clicked, this, &CSerialPortDlg::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(m_port, 0, 0, 1, 2);
    fields->addWidget(m_verify, 1, 1);
    fields->addWidget(m_progress, 2, 0, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

// A run still going on is stopped and waited for; what it still hands over is discarded with
// this object.
CSerialPortDlg::~CSerialPortDlg() = default;

QString CSerialPortDlg::LastPort() { return LastSerialPort(); }

QComboBox* CSerialPortDlg::PortList() const { return m_port->LocalPorts(); }

void CSerialPortDlg::SetCompareOnly()
{
    m_compareOnly = true;
    m_direction = TransferDirection::Upload;
    m_verify->hide();
    setWindowTitle(tr("Compare with Module"));
    m_start->setText(tr("Compare"));
}


void CSerialPortDlg::SetControlsEnabled(bool enabled)
{
    m_start->setEnabled(enabled);
    m_cancel->setEnabled(true);   // during a run it stops the run
    m_port->setEnabled(enabled);
    m_verify->setEnabled(enabled);
}

void CSerialPortDlg::StartRun()
{
    if (m_running)
        return;
    SetControlsEnabled(false);
    const QString device = m_port->PortName();
    m_port->Remember();

    m_running = true;
    m_replaced = false;
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_work = std::make_unique<CDeviceConfig>();
    gw::CopyConfiguration(m_root, *m_work);
    const bool verify = m_direction == TransferDirection::Download && m_verify->isChecked();
    m_readBack.reset();
    if (verify) {
        m_readBack = std::make_unique<CDeviceConfig>();
        gw::CopyConfiguration(m_root, *m_readBack);
    }
    m_observer = std::make_unique<CRunObserver>(this);
    m_worker.Start([direction = m_direction, path = ToUtf8(device), work = m_work.get(), readBack = m_readBack.get(),
                    observer = m_observer.get(), timings = m_timings, stop = m_worker.StopFlag()] {
        TransferOutcome outcome;
        std::optional<TransferOutcome> read;
        try {
            outcome = gw::RunTransfer(direction, path, *work, observer, &timings, stop);
            if (readBack && outcome.code == RESULT_OK)
                read = gw::RunTransfer(TransferDirection::Upload, path, *readBack, observer, &timings, stop);
        } catch (...) {
            outcome.code = 1;
            outcome.message = gw::ResultMessage(outcome.code);
            outcome.configurationReplaced = false;
        }
        observer->Finished(outcome, read);
    });
}

void CSerialPortDlg::ShowProgress(int done, int planned)
{
    if (planned <= 0)
        return;
    m_progress->setRange(0, planned);
    m_progress->setValue(std::min(done, planned));
    m_progress->setFormat(tr("Exchange %v of %m"));
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
    bool failed = last.outcome.code != RESULT_OK;
    if (!failed && m_compareOnly) {
        // The module's configuration is only looked at: the caller shows the differences.
        m_moduleRead = m_work.get();
        m_moduleVersion = last.outcome.version;
        emit runEnded(tr("Read the module (hardware %1.%2) for comparison")
                          .arg(m_moduleVersion.major).arg(m_moduleVersion.minor), false);
        EndRun(last.outcome);
        m_showingNotice = false;
        return;
    }
    // A successful upload takes effect before the user is told about it.
    const bool replaced = !failed && last.outcome.configurationReplaced;
    if (replaced) {
        m_root.TakeContentsFrom(*m_work);
        m_replaced = true;
        if (m_onReplaced)
            m_onReplaced();
    }
    const QString text = last.readBack ? VerifiedText(last, failed) : last.text;
    emit runEnded(text, failed);
    ShowMessageBox(this, failed ? QMessageBox::Warning : QMessageBox::Information, text);
    if (replaced && !last.outcome.valueFaults.empty())
        ShowMessageBox(this, QMessageBox::Warning, FromUtf8(gw::UploadedValueFaultsText(last.outcome.valueFaults)));
    EndRun(last.outcome);
    m_showingNotice = false;
}

QString CSerialPortDlg::VerifiedText(const Notice& notice, bool& failed)
{
    const TransferOutcome& read = *notice.readBack;
    if (read.code != RESULT_OK) {
        failed = true;
        return notice.text + QStringLiteral("\n\n") + tr("The module could not be read back: %1").arg(FromUtf8(read.message));
    }
    m_moduleRead = m_readBack.get();
    m_moduleVersion = read.version;
    const std::size_t differences = gw::CompareModuleScope(m_root, *m_readBack, read.version).size();
    failed = differences > 0;
    if (!failed)
        return notice.text + QStringLiteral("\n\n") + tr("The module holds what was downloaded.");
    return notice.text + QStringLiteral("\n\n") + tr("But the module differs in %n item(s).", nullptr, static_cast<int>(differences));
}

void CSerialPortDlg::EndRun(const TransferOutcome&)
{
    m_worker.Join();
    // The configuration that an upload replaced stays alive with the dialog, so that the views
    // still showing it are rebuilt before it goes.
    m_running = false;
    SetControlsEnabled(true);
    accept();
}

void CSerialPortDlg::reject()
{
    if (m_running) {
        m_worker.RequestStop();
        m_cancel->setEnabled(false);
        return;
    }
    QDialog::reject();
}

bool RunTransferDialog(QWidget* parent, TransferDirection direction, CDeviceConfig& root,
                       std::function<void()> onReplaced)
{
    CSerialPortDlg dialog(direction, root, parent);
    dialog.SetReplacedHandler(std::move(onReplaced));
    dialog.exec();
    return dialog.ConfigurationReplaced();
}
