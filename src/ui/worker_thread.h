#pragma once
// A job on a thread of its own, so that a window never waits for the line, and the hand-off of
// what the job finds to the thread of the object that owns it: each call handed over runs there,
// in the order handed over, and is dropped when the owner has gone. The job watches the stop
// flag; it never waits for the owner's thread, so that the owner may join it at any time. The
// owner joins it once the job's last call has come, or when the worker goes.

#include <QObject>
#include <atomic>
#include <thread>

class CWorkerThread {
public:
    explicit CWorkerThread(QObject* owner) : m_owner(owner) {}
    // Asks a job still running to stop and waits for it.
    ~CWorkerThread() { Stop(); }
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // From Start until Join.
    bool IsRunning() const { return m_thread.joinable(); }
    // Clears the stop flag and runs the job on a thread of its own; false (nothing started)
    // while a job runs.
    template <typename Job>
    bool Start(Job job)
    {
        if (IsRunning())
            return false;
        m_stop.store(false);
        m_thread = std::thread(std::move(job));
        return true;
    }
    // For the job: the call runs on the owner's thread.
    template <typename Call>
    void HandOver(Call call) const
    {
        QMetaObject::invokeMethod(m_owner, std::move(call), Qt::QueuedConnection);
    }
    // The flag the job watches, set by RequestStop.
    std::atomic<bool>* StopFlag() { return &m_stop; }
    bool StopRequested() const { return m_stop.load(); }
    void RequestStop() { m_stop.store(true); }
    // On the owner's thread: waits for the job's thread to end.
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    // RequestStop, then Join.
    void Stop()
    {
        RequestStop();
        Join();
    }

private:
    QObject* m_owner;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
