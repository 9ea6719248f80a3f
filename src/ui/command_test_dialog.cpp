#include "ui/command_test_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/device_config.h"
#include "model/palette.h"
#include "ui/notice_box.h"
#include "ui/port_choice.h"
#include "ui/ui_text.h"
#include "widgets/memory_grid.h"

namespace {

// probe's names of the value views, as the "Values as" choice shows them translated.
[[maybe_unused]] constexpr const char* kViewNames[] = {
    QT_TRANSLATE_NOOP("CCommandTestDlg", "unsigned"), QT_TRANSLATE_NOOP("CCommandTestDlg", "signed"),
    QT_TRANSLATE_NOOP("CCommandTestDlg", "hex"),      QT_TRANSLATE_NOOP("CCommandTestDlg", "binary"),
    QT_TRANSLATE_NOOP("CCommandTestDlg", "int32"),    QT_TRANSLATE_NOOP("CCommandTestDlg", "uint32"),
    QT_TRANSLATE_NOOP("CCommandTestDlg", "float")};

// Coils and inputs as 0 and 1; registers through the view.
QString ValuesText(const std::vector<std::uint16_t>& values, const ValueView& view, bool bits)
{
    QStringList parts;
    for (const std::string& text : gw::ReadThroughView(bits ? ValueView{} : view, values))
        parts << FromUtf8(text);
    return parts.join(QLatin1Char(' '));
}

QString OutcomeText(const PollOutcome& outcome)
{
    QString text = QString::fromLatin1(gw::PollStatusName(outcome.status));
    if (outcome.status == PollStatus::Exception)
        text += QStringLiteral(" %1 (%2)").arg(outcome.exceptionCode).arg(FromUtf8(outcome.detail));
    else if (!outcome.detail.empty())
        text += QStringLiteral(" (%1)").arg(FromUtf8(outcome.detail));
    for (const std::string& note : outcome.notes)
        text += QStringLiteral(" [%1]").arg(FromUtf8(note));
    return text;
}

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

QColor CCommandTestDlg::SharedColour()
{
    return ColourFromRef(kColourConflict);
}

QColor CCommandTestDlg::CommandColour(int number)
{
    // Neighbouring commands get hues far apart; all light enough for black digits.
    return QColor::fromHsv((number * 137) % 360, 90, 245);
}

CCommandTestDlg::CCommandTestDlg(const CDeviceConfig& root, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Test Commands"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_port = new CPortChooser(this);
    m_pollOnce = new QPushButton(tr("Poll &once"), this);
    m_pollOnce->setDefault(true);
    m_pollContinuously = new QPushButton(tr("Poll &continuously"), this);
    m_pollContinuously->setCheckable(true);
    m_viewKind = new QComboBox(this);
    for (const char* kind : gw::ValueKindNames())
        m_viewKind->addItem(tr(kind), QString::fromLatin1(kind));
    auto* viewLabel = new QLabel(tr("&Values as:"), this);
    viewLabel->setBuddy(m_viewKind);
    m_wordOrder = new QComboBox(this);
    for (const char* order : gw::WordOrderNames())
        m_wordOrder->addItem(QString::fromLatin1(order).toUpper());
    m_wordOrder->setToolTip(tr("Byte order of 32-bit values: ABCD high word first, CDAB low word first, "
                               "BADC and DCBA with the bytes of each word swapped"));
    m_direction = new QComboBox(this);
    m_direction->addItems({tr("Adapter switches"), tr("RS-485 mode of the driver"), tr("RTS up while sending"),
                           tr("RTS down while sending")});
    m_direction->setToolTip(tr("How the RS-485 transmitter is switched to sending: by the adapter itself "
                               "(USB adapters), by the serial driver, or by the RTS line"));
    auto* close = new QPushButton(tr("Close"), this);

    m_table = new QTableWidget(0, COL_COUNT_ALL, this);
    m_table->setHorizontalHeaderLabels({tr("Command"), tr("Function"), tr("Start"), tr("Count"), tr("Outcome"),
                                        tr("Time (ms)"), tr("Values"), tr("Statistics"), QString()});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(COL_VALUES, QHeaderView::Stretch);
    m_image = new CMemoryGrid(0x0000, this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(m_port, 1);
    top->addWidget(m_direction);
    top->addWidget(m_pollOnce);
    top->addWidget(m_pollContinuously);
    top->addWidget(viewLabel);
    top->addWidget(m_viewKind);
    top->addWidget(m_wordOrder);
    auto* imageBox = new QWidget(this);
    auto* imageLayout = new QVBoxLayout(imageBox);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    imageLayout->addWidget(new QLabel(tr("Input Memory, as the replies fill it"), imageBox));
    imageLayout->addWidget(m_image, 1);
    auto* middle = new QSplitter(Qt::Vertical, this);
    middle->addWidget(m_table);
    middle->addWidget(imageBox);
    middle->setStretchFactor(0, 2);
    middle->setStretchFactor(1, 3);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(middle, 1);
    layout->addLayout(bottom);
    resize(1040, 760);

    connect(m_pollOnce, &QPushButton::clicked, this, [this] { StartJob(false, {}, {}); });
    connect(m_pollContinuously, &QPushButton::toggled, this, [this](bool on) {
        if (on && !m_poller.IsRunning())
            StartJob(true, {}, {});
        else if (!on)
            m_poller.RequestStop();
    });
    const auto showAllValues = [this] {
        m_wordOrder->setEnabled(ChosenView().IsPaired());
        for (const auto& entry : m_latest)
            ShowValues(entry.first);
    };
    connect(m_viewKind, &QComboBox::currentIndexChanged, this, showAllValues);
    connect(m_wordOrder, &QComboBox::currentIndexChanged, this, showAllValues);
    m_wordOrder->setEnabled(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_poller, &CCommandPoller::commandPolled, this, &CCommandTestDlg::ShowPoll);
    connect(&m_poller, &CCommandPoller::failed, this, [this](const QString& message) { m_status->setText(message); });
    connect(&m_poller, &CCommandPoller::finished, this, &CCommandTestDlg::OnFinished);
    // An error about the port goes once another port is chosen.
    connect(m_port, &CPortChooser::portChanged, this, [this] {
        if (m_ready)
            m_status->clear();
    });

    Outcome ready = gw::CheckBeforeCommissioning(root);
    if (ready)
        ready = gw::ReadProbeSetup(root, m_setup);
    if (!ready) {
        m_status->setText(FromUtf8(ready.message).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) +
                          QLatin1Char(' ') + tr("Nothing can be sent."));
        SetIdle(true);
        return;
    }
    m_ready = true;
    m_table->setRowCount(static_cast<int>(m_setup.commands.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const CommandRequest& request = m_setup.commands[static_cast<std::size_t>(row)];
        m_table->setItem(row, COL_COMMAND, Cell(QString::number(row + 1)));
        m_table->setItem(row, COL_FUNCTION, Cell(FromUtf8(m_setup.names[static_cast<std::size_t>(row)])));
        m_table->setItem(row, COL_START, Cell(QString::number(request.start)));
        m_table->setItem(row, COL_COUNT, Cell(QString::number(request.count)));
        for (const int column : {COL_OUTCOME, COL_TIME, COL_VALUES, COL_STATISTICS})
            m_table->setItem(row, column, Cell(QString()));
        m_table->item(row, COL_COMMAND)->setBackground(request.IsRead() ? CommandColour(row + 1) : QColor(Qt::white));
        if (!request.IsRead()) {
            auto* write = new QPushButton(tr("Write..."), m_table);
            connect(write, &QPushButton::clicked, this, [this, number = row + 1] { AskAndWrite(number); });
            m_table->setCellWidget(row, COL_WRITE, write);
        }
    }
    QStringList swapped;
    for (std::size_t i = 0; i < m_setup.commands.size(); ++i)
        if (m_setup.commands[i].byteSwap != 0)
            swapped << QString::number(i + 1);
    if (!swapped.isEmpty())
        m_status->setText(tr("The module swaps the bytes of command(s) %1 (\"Byte Swap\"); the picture shows them "
                             "unswapped, as the slave sends them.").arg(swapped.join(QStringLiteral(", "))));
    m_table->resizeColumnsToContents();
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setSectionResizeMode(COL_OUTCOME, QHeaderView::ResizeToContents);
    m_table->setColumnWidth(COL_STATISTICS, 200);
    m_table->horizontalHeader()->setSectionResizeMode(COL_VALUES, QHeaderView::Stretch);
    DrawImage();
    SetIdle(true);
}

CCommandTestDlg::~CCommandTestDlg() { m_poller.Stop(); }

QPushButton* CCommandTestDlg::WriteButton(int number) const
{
    return qobject_cast<QPushButton*>(m_table->cellWidget(number - 1, COL_WRITE));
}

void CCommandTestDlg::done(int result)
{
    // Closing ends polling; an exchange waiting for its reply is cut short.
    m_poller.Stop();
    QDialog::done(result);
}

QComboBox* CCommandTestDlg::PortList() const { return m_port->LocalPorts(); }

void CCommandTestDlg::SetIdle(bool idle)
{
    m_pollOnce->setEnabled(idle && m_ready);
    m_pollContinuously->setEnabled(m_ready && (idle || m_pollContinuously->isChecked()));
    m_port->setEnabled(idle);
    m_direction->setEnabled(idle);
    for (int number = 1; number <= m_table->rowCount(); ++number)
        if (QPushButton* write = WriteButton(number))
            write->setEnabled(idle);
}

void CCommandTestDlg::StartJob(bool continuous, std::vector<int> numbers, WriteValues writes)
{
    if (!m_ready || m_poller.IsRunning())
        return;
    const QString device = m_port->PortName();
    m_port->Remember();
    m_status->clear();
    if (continuous) {
        m_statistics.Clear();
        for (int row = 0; row < m_table->rowCount(); ++row)
            m_table->item(row, COL_STATISTICS)->setText(QString());
    }
    CCommandPoller::Job job;
    job.port = ToUtf8(device);
    job.setup = m_setup;
    job.numbers = std::move(numbers);
    job.writes = std::move(writes);
    job.continuous = continuous;
    job.direction = static_cast<DirectionControl>(m_direction->currentIndex());
    SetIdle(false);
    m_poller.Start(std::move(job));
}

void CCommandTestDlg::AskAndWrite(int number)
{
    if (m_poller.IsRunning() || number < 1 || number > static_cast<int>(m_setup.commands.size()))
        return;
    const CommandRequest& request = m_setup.commands[static_cast<std::size_t>(number - 1)];
    const QString name = FromUtf8(m_setup.names[static_cast<std::size_t>(number - 1)]);
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, tr("Write command %1").arg(number),
        tr("%1 at address %2: %3 value(s), separated by commas%4")
            .arg(name).arg(request.start).arg(request.count)
            .arg(request.IsBitFunction() ? tr(" (0 or 1)") : QString()),
        QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    std::vector<std::uint16_t> values;
    std::string error = gw::ParseValueList(ToUtf8(text.trimmed()), values).message;
    if (!error.empty() || !(error = gw::CheckWriteValues(request, values)).empty()) {
        m_status->setText(tr("Command %1 was not written: %2").arg(number).arg(FromUtf8(error)));
        return;
    }
    const QString question = tr("Send command %1 (%2) to slave %3 now?\nAddress %4, values: %5")
                                 .arg(number).arg(name).arg(m_setup.line.slaveAddress).arg(request.start)
                                 .arg(ValuesText(values, ValueView{}, request.IsBitFunction()));
    if (!AskYesNo(this, question, false))
        return;
    StartJob(false, {number}, WriteValues{{number, values}});
}

void CCommandTestDlg::ShowPoll(const CommandPoll& poll)
{
    const int row = poll.number - 1;
    if (row < 0 || row >= m_table->rowCount())
        return;
    m_latest[poll.number] = poll.outcome;
    m_statistics.Add(poll.number, poll.outcome);
    if (const auto counted = m_statistics.Commands().find(poll.number); counted != m_statistics.Commands().end()) {
        m_table->item(row, COL_STATISTICS)->setText(FromUtf8(counted->second.Text()));
        m_table->item(row, COL_STATISTICS)->setToolTip(tr("%1 (ms: least / mean / greatest time of the answers)")
                                                           .arg(FromUtf8(counted->second.Text())));
    }
    m_table->item(row, COL_OUTCOME)->setText(OutcomeText(poll.outcome));
    m_table->item(row, COL_TIME)->setText(poll.outcome.status == PollStatus::Skipped
                                              ? QString() : QString::number(poll.outcome.ms, 'f', 1));
    ShowValues(poll.number);
    DrawImage();
}

void CCommandTestDlg::ShowValues(int number)
{
    const auto latest = m_latest.find(number);
    if (latest == m_latest.end())
        return;
    const bool bits = m_setup.commands[static_cast<std::size_t>(number - 1)].IsBitFunction();
    m_table->item(number - 1, COL_VALUES)->setText(ValuesText(latest->second.values, ChosenView(), bits));
}

ValueView CCommandTestDlg::ChosenView() const
{
    return ValueView{static_cast<ViewKind>(m_viewKind->currentIndex()), static_cast<WordOrder>(m_wordOrder->currentIndex())};
}

void CCommandTestDlg::DrawImage()
{
    std::vector<CommandPoll> polls;
    for (int number = 1; number <= static_cast<int>(m_setup.commands.size()); ++number) {
        const auto latest = m_latest.find(number);
        polls.push_back({number, latest == m_latest.end() ? PollOutcome{} : latest->second});
    }
    const InputImage image = gw::BuildInputImage(m_setup, polls);
    for (int byte = 0; byte < kInputImageBytes; ++byte) {
        const int owner = image.owner[static_cast<std::size_t>(byte)];
        // The bytes of a command without values (not polled yet, or failed) show its colour only.
        const auto latest = m_latest.find(owner);
        const bool hasValue = owner && latest != m_latest.end() && !latest->second.values.empty();
        const unsigned value = image.bytes[static_cast<std::size_t>(byte)];
        const QString address = QStringLiteral("%1H").arg(byte, 4, 16, QLatin1Char('0')).toUpper();
        const QString tip = !owner ? QString()
                            : hasValue ? tr("%1 = %2H, command %3")
                                             .arg(address, QString::number(value, 16).rightJustified(2, '0').toUpper())
                                             .arg(owner)
                                       : tr("%1, command %2 (no value)").arg(address).arg(owner);
        const std::uint8_t shared = image.sharedBits[static_cast<std::size_t>(byte)];
        for (int bit = 0; bit < 8; ++bit) {
            const int number = byte * 8 + bit;
            m_image->SetBitColour(number, (shared >> bit) & 1 ? SharedColour() : owner ? CommandColour(owner) : QColor(Qt::white));
            if (QTableWidgetItem* cell = m_image->item(CMemoryGrid::RowOfBit(number), CMemoryGrid::ColumnOfBit(number))) {
                cell->setText(hasValue ? QString::number((value >> bit) & 1) : QString());
                cell->setTextAlignment(Qt::AlignCenter);
                cell->setToolTip(tip);
            }
        }
    }
}

void CCommandTestDlg::OnFinished()
{
    m_pollContinuously->setChecked(false);
    SetIdle(true);
}

void ShowCommandTestDialog(QWidget* parent, const CDeviceConfig& root)
{
    CCommandTestDlg dialog(root, parent);
    dialog.exec();
}
