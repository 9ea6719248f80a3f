#include "ui/port_choice.h"

#include <QComboBox>
#include <QSerialPortInfo>

namespace {

QString& LastPortStore()
{
    static QString port;
    return port;
}

} // namespace

QString LastSerialPort() { return LastPortStore(); }

void RememberSerialPort(const QString& device) { LastPortStore() = device; }

void FillSerialPortList(QComboBox* ports)
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
    const QString& last = LastPortStore();
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
