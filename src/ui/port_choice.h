#pragma once
// The serial port field of the dialogs that talk over a line: the ports the system knows, or
// any device path typed in (a USB adapter, a pseudo-terminal). The device of the most recent
// run is offered again while the program runs.

#include <QString>

class QComboBox;

// Makes ports editable, lists the system's serial ports and selects the most recent device.
void FillSerialPortList(QComboBox* ports);
// The device of the most recent run of this program, whatever its outcome; empty at start.
QString LastSerialPort();
void RememberSerialPort(const QString& device);
