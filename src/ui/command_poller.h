#pragma once
// Runs commissioning passes on a worker thread, so that the window never waits for the line.
// Results come back on the thread that owns the poller, as signals.

#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "commission/probe_run.h"
#include "ui/worker_thread.h"

class CCommandPoller : public QObject {
    Q_OBJECT
public:
    struct Job {
        std::string port;
        ProbeSetup setup;
        std::vector<int> numbers;   // the commands to send, all when empty
        WriteValues writes;         // the one write the user confirmed, if any
        bool continuous = false;    // pass after pass until stopped; such jobs never write
        DirectionControl direction = DirectionControl::None;
    };

    explicit CCommandPoller(QObject* parent = nullptr) : QObject(parent), m_worker(this) {}

    bool IsRunning() const { return m_worker.IsRunning(); }
    // Starts a job; ignored while one runs.
    void Start(Job job);
    // Asks the job to end after the exchange in progress.
    void RequestStop() { m_worker.RequestStop(); }
    // Asks the job to end and waits for it.
    void Stop() { m_worker.Stop(); }

signals:
    void commandPolled(const CommandPoll& poll);
    void passEnded();
    // The port could not be opened, or went away while polling (polling then stops).
    void failed(const QString& message);
    void finished();

private:
    void Run(Job job);

    CWorkerThread m_worker;
};
