#pragma once
// The port field of the dialogs that talk over a line: a local serial port (the ports the system
// knows, or any device path typed in: a USB adapter, a pseudo-terminal), or a serial device
// server on the network, by its protocol (transparent, or RFC 2217) and HOST:PORT. The choice of
// the most recent run is offered again while the program runs.

#include <QString>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QRadioButton;

class CPortChooser : public QWidget {
    Q_OBJECT
public:
    explicit CPortChooser(QWidget* parent = nullptr);

    // The port as the link reads it: a device path, socket://HOST:PORT or rfc2217://HOST:PORT.
    QString PortName() const;
    // Keeps this choice for the next dialog of this program run.
    void Remember() const;

    QRadioButton* LocalChoice() const { return m_local; }
    QRadioButton* NetworkChoice() const { return m_network; }
    // Editable: typing into it chooses the local port.
    QComboBox* LocalPorts() const { return m_ports; }
    QComboBox* Protocols() const { return m_protocols; }
    // HOST:PORT; typing into it chooses the network.
    QLineEdit* ServerAddress() const { return m_server; }

signals:
    void portChanged();

private:
    void ShowChoice(bool network);

    QRadioButton* m_local = nullptr;
    QRadioButton* m_network = nullptr;
    QComboBox* m_ports = nullptr;
    QComboBox* m_protocols = nullptr;
    QLineEdit* m_server = nullptr;
};

// The port of the most recent run of this program, whatever its outcome; empty at start.
QString LastSerialPort();
