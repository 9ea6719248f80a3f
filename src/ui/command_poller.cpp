#include "ui/command_poller.h"

#include "ui/ui_text.h"

void CCommandPoller::Post(auto&& call)
{
    QMetaObject::invokeMethod(this, std::forward<decltype(call)>(call), Qt::QueuedConnection);
}

void CCommandPoller::Start(Job job)
{
    if (IsRunning())
        return;
    m_stop.store(false);
    if (job.continuous)
        job.writes.clear();
    m_worker = std::thread([this, job = std::move(job)]() mutable { Run(std::move(job)); });
}

void CCommandPoller::Stop()
{
    m_stop.store(true);
    if (m_worker.joinable())
        m_worker.join();
}

void CCommandPoller::Run(Job job)
{
    CModbusMaster master;
    master.SetStopFlag(&m_stop);
    const OpenOutcome opened = master.Open(job.port, job.setup.line, job.direction);
    if (!opened.ok) {
        Post([this, message = FromUtf8(opened.message)] { emit failed(message); });
    } else {
        std::string lost;   // why the port went away
        do {
            PollCommands(master, job.setup, job.numbers, job.writes, [this, &lost](const CommandPoll& poll) {
                Post([this, poll] { emit commandPolled(poll); });
                if (poll.outcome.lineLost)
                    lost = poll.outcome.detail;
                return !m_stop.load();
            });
            Post([this] { emit passEnded(); });
        } while (job.continuous && !m_stop.load() && lost.empty());
        if (!lost.empty())
            Post([this, message = tr("%1: %2. Polling stopped.").arg(FromUtf8(job.port), FromUtf8(lost))] {
                emit failed(message);
            });
    }
    Post([this] {
        if (m_worker.joinable())
            m_worker.join();
        emit finished();
    });
}
