#pragma once
// The "Line" pane: every frame of this program run's transfers, each with the milliseconds
// since the pane began, its direction, command name and bytes; the end of each run as a line of
// its own, red when the run failed. The text can be cleared and saved.

#include <QElapsedTimer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <span>

#include "link/link_observer.h"
#include "model/outcome.h"

class CSerialPortDlg;
class QListWidget;
class QPushButton;

class CLinePane : public QWidget {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit CLinePane(QWidget* parent = nullptr);

    // A frame that crossed the line at the given time.
    void AddFrame(Clock::time_point when, FrameDirection direction, std::span<const std::uint8_t> bytes);
    // The message that ended a run.
    void AddResult(const QString& text, bool failed);
    // Takes every frame of the port dialog's runs and the message that ends each.
    void Follow(CSerialPortDlg& dialog);
    // Writes every line into a text file, replacing it whole; false when it cannot be written
    // (the file is then left as it was).
    Outcome SaveTo(const QString& path) const;
    QString Text() const;

    QListWidget* Lines() const { return m_lines; }
    QPushButton* ClearButton() const { return m_clear; }
    QPushButton* SaveButton() const { return m_save; }

private:
    void AddLine(const QString& text, bool failed);
    void OnSaveAs();
    QString Stamp(Clock::time_point when) const;

    Clock::time_point m_start = Clock::now();
    QListWidget* m_lines = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_save = nullptr;
};
