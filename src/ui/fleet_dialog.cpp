#include "ui/fleet_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/ui_text.h"

namespace {

const QColor kWaiting(Qt::white);
const QColor kRunning(0xCC, 0xE0, 0xFF);
const QColor kSucceeded(0xC8, 0xF0, 0xC8);
const QColor kFailed(0xFF, 0xC0, 0xC0);

constexpr FleetAction kActions[] = {FleetAction::Download, FleetAction::Verify, FleetAction::Upload, FleetAction::Probe};

} // namespace

QString CFleetDlg::ActionText(FleetAction action)
{
    switch (action) {
    case FleetAction::Download: return tr("Download");
    case FleetAction::Verify: return tr("Verify");
    case FleetAction::Upload: return tr("Upload");
    case FleetAction::Probe: break;
    }
    return tr("Probe");
}

// Runs on the worker thread: every call goes over to the dialog's thread.
class CFleetDlg::CRowObserver : public CFleetObserver {
public:
    explicit CRowObserver(CFleetDlg* dialog) : m_dialog(dialog) {}

    void OnStarted(std::size_t module) override
    {
        m_dialog->m_worker.HandOver([d = m_dialog, row = static_cast<int>(module)] { d->OnStarted(row); });
    }
    void OnProgress(std::size_t module, int done, int planned) override
    {
        m_dialog->m_worker.HandOver(
            [d = m_dialog, row = static_cast<int>(module), done, planned] { d->OnProgress(row, done, planned); });
    }
    void OnEnded(std::size_t module, const ModuleResult& result) override
    {
        m_dialog->m_worker.HandOver([d = m_dialog, row = static_cast<int>(module), result] { d->OnEnded(row, result); });
    }
    void Finished(const FleetResult& result)
    {
        m_dialog->m_worker.HandOver([d = m_dialog, result] { d->OnFinished(result); });
    }

private:
    CFleetDlg* m_dialog;
};

CFleetDlg::CFleetDlg(QWidget* parent) : QDialog(parent), m_worker(this)
{
    setWindowTitle(tr("Fleet"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_planPath = new QLineEdit(this);
    m_planPath->setReadOnly(true);
    m_planPath->setPlaceholderText(tr("A CSV file: a row per module, with its name, port and file"));
    auto* planLabel = new QLabel(tr("&Plan:"), this);
    planLabel->setBuddy(m_planPath);
    m_browse = new QPushButton(tr("&Open…"), this);
    m_action = new QComboBox(this);
    m_action->addItem(tr("As the plan says (verify)"));
    for (const FleetAction action : kActions)
        m_action->addItem(ActionText(action));
    m_action->setToolTip(tr("Upload writes each module's configuration into NAME.xml beside the plan"));
    auto* actionLabel = new QLabel(tr("&Action:"), this);
    actionLabel->setBuddy(m_action);
    m_run = new QPushButton(tr("&Run"), this);
    m_run->setDefault(true);
    m_stop = new QPushButton(tr("&Stop"), this);
    auto* close = new QPushButton(tr("Close"), this);

    m_table = new QTableWidget(0, COL_COUNT, this);
    m_table->setHorizontalHeaderLabels(
        {tr("Module"), tr("Port"), tr("File"), tr("Action"), tr("Status"), tr("Progress"), tr("Message"), tr("Seconds")});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(COL_MESSAGE, QHeaderView::Stretch);
    m_table->setToolTip(tr("Double-click a file to open it; any other cell shows the module's Line text"));
    m_status = new QLabel(this);
    m_status->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(planLabel);
    top->addWidget(m_planPath, 1);
    top->addWidget(m_browse);
    top->addWidget(actionLabel);
    top->addWidget(m_action);
    top->addWidget(m_run);
    top->addWidget(m_stop);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addLayout(bottom);
    resize(980, 420);

    connect(m_browse, &QPushButton::clicked, this, &CFleetDlg::Browse);
    connect(m_run, &QPushButton::clicked, this, &CFleetDlg::Run);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_worker.RequestStop(); });
    connect(close, &QPushButton::clicked, this, &CFleetDlg::reject);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == COL_FILE && m_openFile && !ModuleFile(row).isEmpty() && QFileInfo::exists(ModuleFile(row)))
            m_openFile(ModuleFile(row));
        else
            ShowLineText(row);
    });
    SetIdle(true);
}

// A run still going on is stopped and waited for.
CFleetDlg::~CFleetDlg() = default;

void CFleetDlg::Browse()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Plan"), m_planPath->text(), tr("CSV File(*.csv);;All Files(*)"));
    if (!path.isEmpty())
        OpenPlan(path);
}

bool CFleetDlg::OpenPlan(const QString& path)
{
    if (m_running)
        return false;
    FleetPlan plan;
    m_table->setRowCount(0);
    m_results.clear();
    if (const Outcome read = gw::ReadFleetPlan(ToUtf8(path).c_str(), plan); !read) {
        m_plan = FleetPlan{};
        m_planPath->setText(path);
        m_status->setText(FromUtf8(read.message));
        SetIdle(true);
        return false;
    }
    m_plan = std::move(plan);
    m_planPath->setText(QDir::toNativeSeparators(path));
    m_results.resize(m_plan.modules.size());
    m_table->setRowCount(static_cast<int>(m_plan.modules.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const PlanModule& module = m_plan.modules[static_cast<std::size_t>(row)];
        const QString texts[] = {FromUtf8(module.name), FromUtf8(module.port), FromUtf8(module.file),
                                 module.action ? ActionText(*module.action) : QString(), QString(), QString(),
                                 QString(), QString()};
        for (int column = 0; column < COL_COUNT; ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts[column]));
        auto* progress = new QProgressBar(m_table);
        progress->setRange(0, 1);
        progress->setValue(0);
        progress->setTextVisible(false);
        m_table->setCellWidget(row, COL_PROGRESS, progress);
        SetStatus(row, tr("waiting"), kWaiting);
    }
    m_table->resizeColumnsToContents();
    m_status->setText(tr("%n module(s)", nullptr, m_table->rowCount()));
    SetIdle(true);
    return true;
}

void CFleetDlg::SetIdle(bool idle)
{
    m_run->setEnabled(idle && !m_plan.modules.empty());
    m_stop->setEnabled(!idle);
    m_browse->setEnabled(idle);
    m_action->setEnabled(idle);
}

void CFleetDlg::SetStatus(int row, const QString& text, const QColor& colour)
{
    QTableWidgetItem* status = m_table->item(row, COL_STATUS);
    status->setText(text);
    status->setBackground(colour);
}

void CFleetDlg::Run()
{
    if (m_running || m_plan.modules.empty())
        return;
    m_options = FleetOptions{};
    if (m_action->currentIndex() > 0)
        m_options.action = kActions[m_action->currentIndex() - 1];
    m_options.stop = m_worker.StopFlag();
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const PlanModule& module = m_plan.modules[static_cast<std::size_t>(row)];
        m_table->item(row, COL_ACTION)->setText(ActionText(gw::ActionOf(module, m_options)));
        m_table->item(row, COL_MESSAGE)->setText(QString());
        m_table->item(row, COL_SECONDS)->setText(QString());
        auto* progress = static_cast<QProgressBar*>(m_table->cellWidget(row, COL_PROGRESS));
        progress->setRange(0, 1);
        progress->setValue(0);
        SetStatus(row, tr("waiting"), kWaiting);
    }
    m_results.assign(m_plan.modules.size(), ModuleResult{});
    m_running = true;
    SetIdle(false);
    m_status->setText(tr("Running…"));
    m_observer = std::make_unique<CRowObserver>(this);
    m_worker.Start([plan = m_plan, options = m_options, observer = m_observer.get()] {
        observer->Finished(gw::RunFleet(plan, options, observer));
    });
}

void CFleetDlg::OnStarted(int row)
{
    SetStatus(row, tr("running"), kRunning);
}

void CFleetDlg::OnProgress(int row, int done, int planned)
{
    auto* progress = static_cast<QProgressBar*>(m_table->cellWidget(row, COL_PROGRESS));
    if (planned <= 0)
        return;   // the total is not known yet
    progress->setRange(0, planned);
    progress->setValue(std::min(done, planned));
    progress->setFormat(QStringLiteral("%v / %m"));
    progress->setTextVisible(true);
}

void CFleetDlg::OnEnded(int row, const ModuleResult& result)
{
    m_results[static_cast<std::size_t>(row)] = result;
    const bool stopped = result.outcome.code == static_cast<int>(RESULT_STOPPED);
    SetStatus(row, result.outcome.code == 0 ? tr("succeeded") : stopped ? tr("stopped") : tr("failed (%1)").arg(result.outcome.code),
              result.outcome.code == 0 ? kSucceeded : stopped ? kWaiting : kFailed);
    m_table->item(row, COL_FILE)->setText(FromUtf8(result.outcome.file));
    m_table->item(row, COL_MESSAGE)->setText(FromUtf8(result.outcome.message));
    m_table->item(row, COL_MESSAGE)->setToolTip(FromUtf8(result.outcome.message));
    m_table->item(row, COL_SECONDS)->setText(QString::number(result.seconds, 'f', 2));
    auto* progress = static_cast<QProgressBar*>(m_table->cellWidget(row, COL_PROGRESS));
    progress->setValue(progress->maximum());
}

void CFleetDlg::OnFinished(const FleetResult& result)
{
    m_worker.Join();
    for (std::size_t row = 0; row < result.modules.size(); ++row)
        if (!result.modules[row].started) {
            m_results[row] = result.modules[row];
            SetStatus(static_cast<int>(row), tr("not started"), kWaiting);
        }
    m_running = false;
    SetIdle(true);
    m_status->setText(tr("%n module(s): %1 succeeded, %2 failed", nullptr, static_cast<int>(result.modules.size()))
                          .arg(result.succeeded)
                          .arg(result.failed));
    emit runEnded();
    if (m_closeWhenDone)
        QDialog::reject();
}

QString CFleetDlg::ModuleFile(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_plan.modules.size()))
        return {};
    const std::string& used = m_results[static_cast<std::size_t>(row)].outcome.file;
    const std::string file = used.empty() ? m_plan.modules[static_cast<std::size_t>(row)].file : used;
    return file.empty() ? QString() : FromUtf8((m_plan.folder / file).lexically_normal().string());
}

QString CFleetDlg::LineText(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_results.size()))
        return {};
    return FromUtf8(m_results[static_cast<std::size_t>(row)].trace);
}

void CFleetDlg::ShowLineText(int row)
{
    const QString text = LineText(row);
    CModuleLineDlg view(m_table->item(row, COL_MODULE)->text(), text.isEmpty() ? tr("The module has not run yet.") : text, this);
    view.exec();
}

CModuleLineDlg::CModuleLineDlg(const QString& module, const QString& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CFleetDlg::tr("Line: %1").arg(module));
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(text);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    resize(760, 420);
}

void CFleetDlg::reject()
{
    if (!m_running) {
        QDialog::reject();
        return;
    }
    m_worker.RequestStop();
    m_closeWhenDone = true;
}

void ShowFleetDialog(QWidget* parent, std::function<void(const QString&)> opener)
{
    CFleetDlg dialog(parent);
    dialog.SetFileOpener(std::move(opener));
    dialog.exec();
}
