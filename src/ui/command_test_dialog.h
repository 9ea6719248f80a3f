#pragma once
// "Test Commands": the configuration's Modbus commands sent to the real slave from the desktop,
// with each command's outcome, time and values, and the input area as the replies fill it.
// Polling only reads; a write command goes out once, after the user gave its values and
// confirmed them.

#include <QDialog>
#include <map>

#include "commission/probe_run.h"
#include "ui/command_poller.h"

class CDeviceConfig;
class CMemoryGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class CCommandTestDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { COL_COMMAND, COL_FUNCTION, COL_START, COL_COUNT, COL_OUTCOME, COL_TIME, COL_VALUES, COL_WRITE, COL_COUNT_ALL };

    CCommandTestDlg(const CDeviceConfig& root, QWidget* parent = nullptr);
    ~CCommandTestDlg() override;

    QComboBox* PortList() const { return m_ports; }
    QPushButton* PollOnceButton() const { return m_pollOnce; }
    QPushButton* PollContinuouslyButton() const { return m_pollContinuously; }
    QCheckBox* HexToggle() const { return m_hex; }
    QTableWidget* Table() const { return m_table; }
    CMemoryGrid* Image() const { return m_image; }
    QLabel* Status() const { return m_status; }
    // The Write... button of a write command's row (command numbers from 1); none for a read.
    QPushButton* WriteButton(int number) const;
    bool IsPolling() const { return m_poller.IsRunning(); }
    // Colour of a command's bytes in the image.
    static QColor CommandColour(int number);

protected:
    void done(int result) override;

private:
    void StartJob(bool continuous, std::vector<int> numbers, WriteValues writes);
    void AskAndWrite(int number);
    void ShowPoll(const CommandPoll& poll);
    void ShowValues(int number);
    void DrawImage();
    void OnFinished();
    void SetIdle(bool idle);

    ProbeSetup m_setup;
    bool m_ready = false;
    std::map<int, PollOutcome> m_latest;   // the most recent outcome of each command
    CCommandPoller m_poller;

    QComboBox* m_ports = nullptr;
    QPushButton* m_pollOnce = nullptr;
    QPushButton* m_pollContinuously = nullptr;
    QCheckBox* m_hex = nullptr;
    QTableWidget* m_table = nullptr;
    CMemoryGrid* m_image = nullptr;
    QLabel* m_status = nullptr;
};

// Shows the dialog modally over parent.
void ShowCommandTestDialog(QWidget* parent, const CDeviceConfig& root);
