#include "ui/port_choice.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSerialPortInfo>

#include "link/port_address.h"
#include "ui/ui_text.h"

namespace {

// The choice of the most recent run.
struct LastChoice {
    bool network = false;
    QString device;
    int protocol = 0;   // index in the protocol list
    QString server;     // HOST:PORT
    QString name;       // the port's name as the run used it
};

LastChoice& Last()
{
    static LastChoice last;
    return last;
}

constexpr PortKind kProtocols[] = {PortKind::RawTcp, PortKind::Rfc2217};

void FillLocalPorts(QComboBox* ports)
{
    ports->setEditable(true);
    ports->setInsertPolicy(QComboBox::NoInsert);
    ports->setMinimumContentsLength(18);
    ports->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        if (device.isEmpty())
            continue;
        ports->addItem(device, device);
        const QString description = info.description().isEmpty() ? info.portName() : info.description();
        ports->setItemData(ports->count() - 1, description, Qt::ToolTipRole);
    }
    const QString& last = Last().device;
    const int listed = last.isEmpty() ? -1 : ports->findData(last);
    if (listed >= 0)
        ports->setCurrentIndex(listed);
    else if (!last.isEmpty())
        ports->setEditText(last);   // a typed device, such as a pseudo-terminal
    else if (ports->count() > 0)
        ports->setCurrentIndex(0);
    else
        ports->setEditText(QString());
}

} // namespace

QString LastSerialPort() { return Last().name; }

CPortChooser::CPortChooser(QWidget* parent) : QWidget(parent)
{
    m_local = new QRadioButton(tr("&Serial port:"), this);
    m_network = new QRadioButton(tr("&Network:"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_local);
    group->addButton(m_network);
    m_ports = new QComboBox(this);
    m_protocols = new QComboBox(this);
    m_protocols->addItem(tr("Transparent TCP (socket://)"));
    m_protocols->addItem(tr("RFC 2217 (rfc2217://)"));
    m_protocols->setToolTip(tr("A transparent server keeps the line settings it was given; through RFC 2217 the "
                               "program sets the line itself."));
    m_server = new QLineEdit(this);
    m_server->setPlaceholderText(tr("host:port"));
    m_server->setToolTip(tr("The serial device server's name or address and its TCP port, such as 192.168.1.20:4001 "
                            "or [fd00::7]:4001"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_local, 0, 0);
    layout->addWidget(m_ports, 0, 1, 1, 2);
    layout->addWidget(m_network, 1, 0);
    layout->addWidget(m_protocols, 1, 1);
    layout->addWidget(m_server, 1, 2);
    layout->setColumnStretch(2, 1);

    FillLocalPorts(m_ports);
    m_protocols->setCurrentIndex(Last().protocol);
    m_server->setText(Last().server);
    ShowChoice(Last().network);

    connect(m_local, &QRadioButton::toggled, this, [this](bool local) { ShowChoice(!local); });
    connect(m_ports, &QComboBox::editTextChanged, this, [this] { ShowChoice(false); });
    connect(m_server, &QLineEdit::textEdited, this, [this] { ShowChoice(true); });
    connect(m_protocols, &QComboBox::currentIndexChanged, this, [this] { ShowChoice(true); });
}

void CPortChooser::ShowChoice(bool network)
{
    const QSignalBlocker blockLocal(m_local), blockNetwork(m_network);
    m_local->setChecked(!network);
    m_network->setChecked(network);
    emit portChanged();
}

QString CPortChooser::PortName() const
{
    if (m_local->isChecked())
        return m_ports->currentText().trimmed();
    const int protocol = std::max(0, m_protocols->currentIndex());
    return FromUtf8(gw::NetworkPortName(kProtocols[protocol], ToUtf8(m_server->text().trimmed())));
}

void CPortChooser::Remember() const
{
    LastChoice& last = Last();
    last.network = m_network->isChecked();
    if (!last.network)
        last.device = m_ports->currentText().trimmed();
    last.protocol = std::max(0, m_protocols->currentIndex());
    last.server = m_server->text().trimmed();
    last.name = PortName();
}
