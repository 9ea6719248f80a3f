#pragma once
// "Test Commands": the configuration's Modbus commands sent to the real slave from the desktop,
// with each command's outcome, time and values, and the input area as the replies fill it.
// Polling only reads; a write command goes out once, after the user gave its values and
// confirmed them.

#include <QDialog>
#include <map>

#include "commission/poll_statistics.h"
#include "commission/probe_run.h"
#include "commission/value_view.h"
#include "ui/command_poller.h"

class CDeviceConfig;
class CMemoryGrid;
class QComboBox;
class CPortChooser;
class QLabel;
class QPushButton;
class QTableWidget;

class CCommandTestDlg : public QDialog {
    Q_OBJECT
public:
    enum Column {
        COL_COMMAND, COL_FUNCTION, COL_START, COL_COUNT, COL_OUTCOME, COL_TIME, COL_VALUES, COL_STATISTICS, COL_WRITE,
        COL_COUNT_ALL
    };

    CCommandTestDlg(const CDeviceConfig& root, QWidget* parent = nullptr);
    ~CCommandTestDlg() override;

    QComboBox* PortList() const;
    CPortChooser* PortChoice() const { return m_port; }
    QPushButton* PollOnceButton() const { return m_pollOnce; }
    QPushButton* PollContinuouslyButton() const { return m_pollContinuously; }
    // How register values are shown: the view's kind and, for 32-bit views, the word order.
    QComboBox* ViewKindChoice() const { return m_viewKind; }
    QComboBox* WordOrderChoice() const { return m_wordOrder; }
    // How the transmitter is switched: none, the driver's RS-485 mode, RTS up or down.
    QComboBox* DirectionChoice() const { return m_direction; }
    QTableWidget* Table() const { return m_table; }
    CMemoryGrid* Image() const { return m_image; }
    QLabel* Status() const { return m_status; }
    // The Write... button of a write command's row (command numbers from 1); none for a read.
    QPushButton* WriteButton(int number) const;
    bool IsPolling() const { return m_poller.IsRunning(); }
    // Colour of a command's bytes in the image.
    static QColor CommandColour(int number);
    // Colour of bits two commands' data share.
    static QColor SharedColour();

protected:
    void done(int result) override;

private:
    void StartJob(bool continuous, std::vector<int> numbers, WriteValues writes);
    void AskAndWrite(int number);
    void ShowPoll(const CommandPoll& poll);
    void ShowValues(int number);
    ValueView ChosenView() const;
    void DrawImage();
    void OnFinished();
    void SetIdle(bool idle);

    ProbeSetup m_setup;
    bool m_ready = false;
    std::map<int, PollOutcome> m_latest;   // the most recent outcome of each command
    CPollStatistics m_statistics;          // since continuous polling last started
    CCommandPoller m_poller;

    CPortChooser* m_port = nullptr;
    QPushButton* m_pollOnce = nullptr;
    QPushButton* m_pollContinuously = nullptr;
    QComboBox* m_viewKind = nullptr;
    QComboBox* m_wordOrder = nullptr;
    QComboBox* m_direction = nullptr;
    QTableWidget* m_table = nullptr;
    CMemoryGrid* m_image = nullptr;
    QLabel* m_status = nullptr;
};

// Shows the dialog modally over parent.
void ShowCommandTestDialog(QWidget* parent, const CDeviceConfig& root);
