#include "ui/command_poller.h"

#include "ui/ui_text.h"

void CCommandPoller::Start(Job job)
{
    if (IsRunning())
        return;
    if (job.continuous)
        job.writes.clear();
    m_worker.Start([this, job = std::move(job)]() mutable { Run(std::move(job)); });
}

void CCommandPoller::Run(Job job)
{
    CModbusMaster master;
    master.SetStopFlag(m_worker.StopFlag());
    const OpenOutcome opened = master.Open(job.port, job.setup.line, job.direction);
    if (!opened.ok) {
        m_worker.HandOver([this, message = FromUtf8(opened.message)] { emit failed(message); });
    } else {
        std::string lost;   // why the port went away
        do {
            gw::PollCommands(master, job.setup, job.numbers, job.writes, [this, &lost](const CommandPoll& poll) {
                m_worker.HandOver([this, poll] { emit commandPolled(poll); });
                if (poll.outcome.lineLost)
                    lost = poll.outcome.detail;
                return !m_worker.StopRequested();
            });
            m_worker.HandOver([this] { emit passEnded(); });
        } while (job.continuous && !m_worker.StopRequested() && lost.empty());
        if (!lost.empty())
            m_worker.HandOver([this, message = tr("%1: %2. Polling stopped.").arg(FromUtf8(job.port), FromUtf8(lost))] {
                emit failed(message);
            });
    }
    m_worker.HandOver([this] {
        m_worker.Join();
        emit finished();
    });
}
