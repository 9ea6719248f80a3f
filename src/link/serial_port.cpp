#include "link/serial_port.h"

#include <algorithm>

#include "link/connection_line.h"

void CPortSlot::Close()
{
    ReportProgress();
    if (m_state != State::Open)
        return;
    m_line.reset();
    m_state = State::Cleared;
}

void CPortSlot::Fail()
{
    Close();
    m_state = State::Cleared;
}

ResultCode CPortSlot::Stop()
{
    Fail();
    return RESULT_STOPPED;
}

void CPortSlot::SetStopRequest(const std::atomic<bool>* stop)
{
    m_stop = stop;
    if (m_line)
        m_line->SetStopRequest(stop);
}

void CPortSlot::SetTotalExchanges(int total)
{
    m_total = total;
    ReportProgress();
}

void CPortSlot::ReportProgress()
{
    if (!m_unreported)
        return;
    m_unreported = false;
    if (m_total > 0 && m_done > m_total)
        m_total = m_done;
    if (m_observer)
        m_observer->OnProgress(m_done, m_total);
}

Outcome gw::OpenPort(CPortSlot& slot, const std::string& device)
{
    slot.Close();
    slot.m_state = CPortSlot::State::NotOpened;
    LineOpening opening = OpenConnectionLine(device, slot.m_stop);
    if (!opening.line) {
        if (opening.reached)
            slot.m_state = CPortSlot::State::Cleared;
        return Failure(std::move(opening.refusal), RESULT_PORT_NOT_OPENED);
    }
    AttachLine(slot, std::move(opening.line));
    return {};
}

void gw::AttachLine(CPortSlot& slot, std::unique_ptr<CPortLine> line)
{
    slot.Close();
    slot.m_line = std::move(line);
    if (slot.m_line)
        slot.m_line->SetStopRequest(slot.m_stop);
    slot.m_state = slot.m_line ? CPortSlot::State::Open : CPortSlot::State::NotOpened;
}

ResultCode gw::WriteFrame(CPortSlot& slot, std::span<const std::uint8_t> bytes)
{
    slot.ReportProgress();
    if (slot.StopRequested())
        return slot.Stop();
    if (slot.IsOpen() && !bytes.empty())
        ++slot.m_framesWritten;
    // A frame that did not go out whole is a failed write: the module would read garbage.
    if (!slot.IsOpen() || bytes.empty() || !slot.m_line->Write(bytes, slot.m_timings)) {
        if (slot.StopRequested())
            return slot.Stop();
        slot.Fail();
        return RESULT_SERIAL_IO;
    }
    if (slot.m_observer)
        slot.m_observer->OnFrame(FrameDirection::ToModule, bytes);
    return RESULT_OK;
}

ResultCode gw::ReadFrame(CPortSlot& slot, std::span<std::uint8_t> buffer, std::size_t* received)
{
    if (received)
        *received = 0;
    if (!slot.IsOpen() || buffer.empty()) {
        slot.Fail();
        return RESULT_SERIAL_IO;
    }
    std::size_t got = 0;
    const ReadEnd end = slot.m_line->Read(buffer, slot.m_timings, got);
    if (received)
        *received = got;
    if (got > 0 && slot.m_observer)
        slot.m_observer->OnFrame(FrameDirection::FromModule, buffer.first(got));
    if (end != ReadEnd::Complete && slot.StopRequested())
        return slot.Stop();
    // A line that hung up failed, whatever part of the reply had come before.
    if (got == 0 || end == ReadEnd::HungUp) {
        slot.Fail();
        return RESULT_SERIAL_IO;
    }
    // Every reply has the length its exchange expects: what is missing would read as zeros.
    if (got < buffer.size())
        return RESULT_REPLY_MISMATCH;
    slot.CountExchange();
    return RESULT_OK;
}

ResultCode gw::CompareReply(std::span<const std::uint8_t> received, std::span<const std::uint8_t> expected)
{
    if (received.size() < expected.size())
        return RESULT_REPLY_MISMATCH;
    return std::equal(expected.begin(), expected.end(), received.begin()) ? RESULT_OK : RESULT_REPLY_MISMATCH;
}

ResultCode gw::Transact(CPortSlot& slot, std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                        std::span<const std::uint8_t> expected)
{
    std::fill(reply.begin(), reply.end(), std::uint8_t{0});
    if (const ResultCode code = WriteFrame(slot, request); code != RESULT_OK)
        return code;
    slot.m_line->Pause(slot.Timings().transactPause);
    if (slot.StopRequested())
        return slot.Stop();
    if (const ResultCode code = ReadFrame(slot, reply); code != RESULT_OK)
        return code;
    return CompareReply(reply, expected.first(std::min(expected.size(), reply.size())));
}

std::uint8_t gw::Checksum8(std::span<const std::uint8_t> bytes)
{
    std::uint8_t sum = 0;
    for (const std::uint8_t b : bytes)
        sum = static_cast<std::uint8_t>(sum + b);
    return sum;
}
