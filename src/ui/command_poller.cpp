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
    const OpenOutcome opened = master.Open(job.port, job.setup.line);
    if (!opened.ok) {
        Post([this, message = FromUtf8(opened.message)] { emit failed(message); });
    } else {
        do {
            PollCommands(master, job.setup, job.numbers, job.writes, [this](const CommandPoll& poll) {
                Post([this, poll] { emit commandPolled(poll); });
                return !m_stop.load();
            });
            Post([this] { emit passEnded(); });
        } while (job.continuous && !m_stop.load());
    }
    Post([this] {
        if (m_worker.joinable())
            m_worker.join();
        emit finished();
    });
}
