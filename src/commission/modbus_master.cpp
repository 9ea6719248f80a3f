#include "commission/modbus_master.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <optional>
#include <thread>

#include <modbus.h>
#include <termios.h>
#include <unistd.h>

#include "commission/frame_reader.h"
#include "commission/reply_check.h"
#include "commission/rtu_frame.h"
#include "link/port_connection.h"

namespace {

using Clock = std::chrono::steady_clock;

// USB adapters hand bytes over in packets, held back by their latency timer (16 ms by default
// on FTDI chips): a reply may pause that long inside without being cut.
constexpr std::chrono::microseconds kByteGapFloor{20'000};
// A line that never falls silent is given up on after this long.
constexpr std::chrono::milliseconds kDrainLimit{2000};
// Requests that went unanswered, remembered so that their late replies are recognised.
constexpr std::size_t kUnansweredKept = 4;

PollOutcome Failed(PollStatus status, std::string detail)
{
    PollOutcome outcome;
    outcome.status = status;
    outcome.detail = std::move(detail);
    return outcome;
}

PollOutcome LineLost(std::string why)
{
    PollOutcome outcome = Failed(PollStatus::Error, std::move(why));
    outcome.lineLost = true;
    return outcome;
}

PollOutcome Stopped()
{
    PollOutcome outcome = Failed(PollStatus::Error, "interrupted");
    outcome.stopped = true;
    return outcome;
}

// A request sent that got no answer of its own.
struct Unanswered {
    int number = 0;
    CommandRequest request;
    std::vector<std::uint8_t> frame;
};

} // namespace

std::string gw::CheckWriteValues(const CommandRequest& request, std::span<const std::uint16_t> values)
{
    if (request.IsRead())
        return "the command does not write";
    if (values.size() != static_cast<std::size_t>(request.count))
        return "the command writes " + std::to_string(request.count) + " value(s), not " + std::to_string(values.size());
    if (request.IsBitFunction()) {
        for (const std::uint16_t value : values)
            if (value > 1)
                return "a coil takes 0 or 1, not " + std::to_string(value);
    }
    return {};
}

const char* gw::PollStatusName(PollStatus status)
{
    switch (status) {
    case PollStatus::Ok: return "ok";
    case PollStatus::Timeout: return "timeout";
    case PollStatus::Incomplete: return "incomplete";
    case PollStatus::Exception: return "exception";
    case PollStatus::Error: return "error";
    case PollStatus::Skipped: return "skipped";
    }
    return "error";
}

std::chrono::microseconds CModbusMaster::ByteGap(const LineSettings& settings)
{
    const auto frameGap = std::chrono::microseconds(3'500'000LL * gw::CharacterBits(settings) / settings.baud);
    return std::max(frameGap, kByteGapFloor);
}

struct CModbusMaster::Context {
    std::unique_ptr<CPortConnection> port;   // the port and its locks, held for the run
    modbus_t* ctx = nullptr;                 // sends on the port's descriptor, which it does not own
    int fd = -1;
    int slave = 1;
    std::optional<CFrameReader> reader;
    int timeoutMs = 0;
    std::chrono::nanoseconds charTime{0};
    std::chrono::milliseconds pollDelay{0};
    std::chrono::nanoseconds frameGap{0};
    std::chrono::microseconds byteGap{0};
    std::optional<Clock::time_point> lastEnd;
    bool lineUnsettled = false;             // the last exchange failed: let the line fall silent first
    std::deque<Unanswered> unanswered;      // newest first
    DirectionControl direction = DirectionControl::None;
    CLinkObserver* observer = nullptr;

    ~Context()
    {
        if (ctx) {
            gw::ResetDirectionControl(ctx, direction);
            modbus_free(ctx);
        }
    }

    void Report(FrameDirection way, std::span<const std::uint8_t> bytes) const
    {
        if (observer && !bytes.empty())
            observer->OnFrame(way, bytes);
    }

    // The unanswered request a frame belongs to, if any.
    const Unanswered* OwnerOf(std::span<const std::uint8_t> frame) const
    {
        for (const Unanswered& earlier : unanswered)
            if (gw::Belongs(gw::CheckReply(earlier.frame, earlier.request, frame)))
                return &earlier;
        return nullptr;
    }

    // What lay on the line before the request went out.
    std::string DescribeLeftover(std::span<const std::uint8_t> bytes) const
    {
        const int length = gw::ReplyLength(bytes);
        if (length > 0 && bytes.size() >= static_cast<std::size_t>(length))
            if (const Unanswered* owner = OwnerOf(bytes.first(static_cast<std::size_t>(length))))
                return "late reply to command " + std::to_string(owner->number) + " discarded";
        return std::to_string(bytes.size()) + " stray byte(s) discarded before the request (" + gw::HexBytes(bytes) + ")";
    }

    // Waits out the gap between frames and clears the line; HungUp or Stopped when it cannot.
    LineRead PrepareLine(PollOutcome& outcome)
    {
        if (lastEnd)
            std::this_thread::sleep_until(*lastEnd + frameGap + pollDelay);
        std::vector<std::uint8_t> leftover;
        const LineRead read = lineUnsettled ? reader->DrainUntilQuiet(byteGap, Clock::now() + kDrainLimit, leftover)
                                            : reader->TakeWaiting(leftover);
        Report(FrameDirection::FromModule, leftover);
        if (read == LineRead::HungUp || read == LineRead::Stopped)
            return read;
        if (!leftover.empty())
            outcome.notes.push_back(DescribeLeftover(leftover));
        if (read == LineRead::Frame)
            outcome.notes.push_back("the line did not fall silent");
        lineUnsettled = false;
        return read;
    }

    // Reads frames until one is the reply to the request, or the time for its first byte is
    // over. A frame that is no answer is set aside and waited past: the answer may still come.
    // When none does, the first such frame is the outcome.
    PollOutcome AwaitReply(const CommandRequest& request, const std::vector<std::uint8_t>& frame, Clock::time_point firstByteBy,
                           std::vector<std::string>& notes)
    {
        const bool replyEchoesRequest = request.function == 5 || request.function == 6;
        const FrameLength lengthOf = [&](std::span<const std::uint8_t> head) {
            // While the bytes repeat the request, they may be its echo: read as far as it goes.
            if (!replyEchoesRequest && head.size() <= frame.size() && std::equal(head.begin(), head.end(), frame.begin()))
                return static_cast<int>(frame.size());
            return gw::ReplyLength(head);
        };
        std::optional<PollOutcome> setAside;
        std::vector<std::uint8_t> bytes;
        for (;;) {
            const LineRead read = reader->ReadFrame(firstByteBy, byteGap, lengthOf, bytes);
            Report(FrameDirection::FromModule, bytes);
            if (read == LineRead::HungUp)
                return LineLost(reader->Error());
            if (read == LineRead::Stopped)
                return Stopped();
            if (read == LineRead::Nothing) {
                if (setAside)
                    return *setAside;
                return Failed(PollStatus::Timeout, "no reply within " + std::to_string(timeoutMs) + " ms");
            }
            if (!replyEchoesRequest && bytes == frame) {
                notes.push_back("the adapter echoed the request");
                continue;
            }
            PollOutcome foreign;
            const int length = gw::ReplyLength(bytes);
            if (read == LineRead::Frame && gw::CheckReply(frame, request, bytes).verdict == ReplyVerdict::Garbled) {
                // Noise that happened to look like the start of a frame: all of it, up to the silence.
                std::vector<std::uint8_t> rest;
                if (const LineRead drained = reader->DrainUntilQuiet(byteGap, Clock::now() + kDrainLimit, rest);
                    drained == LineRead::HungUp || drained == LineRead::Stopped)
                    return drained == LineRead::Stopped ? Stopped() : LineLost(reader->Error());
                Report(FrameDirection::FromModule, rest);
                bytes.insert(bytes.end(), rest.begin(), rest.end());
            }
            if (read == LineRead::Silence && length > 0 && bytes.size() < static_cast<std::size_t>(length)) {
                foreign = Failed(PollStatus::Incomplete, "incomplete reply (" + std::to_string(bytes.size()) + " bytes)");
            } else if (ReplyCheck check = gw::CheckReply(frame, request, bytes); gw::Belongs(check)) {
                PollOutcome outcome;
                outcome.status = check.verdict == ReplyVerdict::Answer ? PollStatus::Ok : PollStatus::Exception;
                outcome.exceptionCode = check.exceptionCode;
                outcome.detail = std::move(check.detail);
                outcome.values = std::move(check.values);
                return outcome;
            } else if (const Unanswered* owner = OwnerOf(bytes)) {
                notes.push_back("late reply to command " + std::to_string(owner->number) + " discarded");
                continue;
            } else {
                foreign = Failed(PollStatus::Error, check.detail);
            }
            if (setAside)
                notes.push_back(foreign.detail + ", discarded");
            else
                setAside = std::move(foreign);
        }
    }

    PollOutcome Exchange(const CommandRequest& request, const std::vector<std::uint8_t>& frame, int number)
    {
        PollOutcome prepared;
        PollOutcome outcome;
        auto start = Clock::now();
        if (const LineRead prepare = PrepareLine(prepared); prepare == LineRead::HungUp || prepare == LineRead::Stopped) {
            outcome = prepare == LineRead::Stopped ? Stopped() : LineLost(reader->Error());
        } else if (start = Clock::now(); modbus_send_raw_request(ctx, frame.data(), static_cast<int>(frame.size() - 2)) < 0) {
            const int error = errno;
            outcome = Failed(PollStatus::Error, std::string("the request could not be sent: ") + modbus_strerror(error));
            outcome.lineLost = error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
        } else {
            Report(FrameDirection::ToModule, frame);
            // The response time-out runs from the moment the request has left the line.
            const auto firstByteBy = Clock::now() + charTime * static_cast<long>(frame.size()) +
                                     std::chrono::milliseconds(timeoutMs);
            outcome = AwaitReply(request, frame, firstByteBy, prepared.notes);
        }
        const auto end = Clock::now();
        lastEnd = end;
        outcome.ms = std::chrono::duration<double, std::milli>(end - start).count();
        outcome.notes.insert(outcome.notes.begin(), prepared.notes.begin(), prepared.notes.end());
        if (outcome.status != PollStatus::Ok && outcome.status != PollStatus::Exception && !outcome.stopped) {
            lineUnsettled = true;
            unanswered.push_front({number, request, frame});
            if (unanswered.size() > kUnansweredKept)
                unanswered.pop_back();
        }
        return outcome;
    }
};

CModbusMaster::CModbusMaster() = default;
CModbusMaster::~CModbusMaster() = default;

void CModbusMaster::Close() { m_context.reset(); }

void CModbusMaster::SetStopFlag(const std::atomic<bool>* stop)
{
    m_stop = stop;
    if (m_context)
        m_context->reader->SetStopFlag(stop);
}
bool CModbusMaster::IsOpen() const { return m_context != nullptr; }

void CModbusMaster::SetObserver(CLinkObserver* observer)
{
    m_observer = observer;
    if (m_context)
        m_context->observer = observer;
}

OpenOutcome CModbusMaster::Open(const std::string& port, const LineSettings& settings, DirectionControl direction)
{
    Close();
    OpenOutcome outcome;
    auto context = std::make_unique<Context>();
    const SerialLineSettings line{settings.baud, settings.dataBits, settings.parity, settings.stopBits};
    PortOpening opening = gw::OpenPortConnection(port, line, m_stop);
    if (!opening.port) {
        outcome.refusedSetting = !opening.refusedSetting.empty();
        outcome.message = opening.refusal.find(port) == std::string::npos ? port + ": " + opening.refusal : opening.refusal;
        return outcome;
    }
    context->port = std::move(opening.port);
    context->fd = context->port->Descriptor();
    // libmodbus sends on the line set up above. It knows no mark or space parity; the character
    // length it times RTS by is the same with any parity bit.
    const char parity = settings.parity == 'N' ? 'N' : settings.parity == 'O' ? 'O' : 'E';
    context->ctx = modbus_new_rtu(port.c_str(), settings.baud, parity, settings.dataBits, settings.stopBits);
    if (!context->ctx || modbus_set_socket(context->ctx, context->fd) != 0) {
        outcome.message = port + ": the Modbus master cannot be set up: " + modbus_strerror(errno);
        return outcome;
    }
    if (direction != DirectionControl::None && !context->port->IsSerialDevice()) {
        outcome.refusedSetting = true;
        outcome.message = port + ": the transmitter of a serial device server is switched by the server, not by "
                                 "RS-485 mode or RTS from here";
        return outcome;
    }
    context->direction = direction;
    if (const std::string refused = gw::SetDirectionControl(context->ctx, context->fd, direction); !refused.empty()) {
        outcome.refusedSetting = true;
        outcome.message = port + ": " + refused;
        return outcome;
    }
    modbus_set_slave(context->ctx, settings.slaveAddress);
    context->slave = settings.slaveAddress;
    context->reader.emplace(context->fd);
    context->reader->SetStopFlag(m_stop);
    context->observer = m_observer;
    context->timeoutMs = settings.responseTimeoutMs;
    context->pollDelay = std::chrono::milliseconds(settings.pollDelayMs);
    context->charTime = std::chrono::nanoseconds(1'000'000'000LL * gw::CharacterBits(settings) / settings.baud);
    context->frameGap = std::chrono::nanoseconds(static_cast<long long>(3.5e9 * gw::CharacterBits(settings) / settings.baud));
    context->byteGap = ByteGap(settings);
    m_context = std::move(context);
    outcome.ok = true;
    return outcome;
}

PollOutcome CModbusMaster::Read(const CommandRequest& request, int number)
{
    return m_context->Exchange(request, gw::BuildRequestFrame(m_context->slave, request, {}), number);
}

PollOutcome CModbusMaster::Write(const CommandRequest& request, std::span<const std::uint16_t> values, int number)
{
    if (const std::string fault = gw::CheckWriteValues(request, values); !fault.empty())
        return Failed(PollStatus::Error, fault);
    PollOutcome outcome = m_context->Exchange(request, gw::BuildRequestFrame(m_context->slave, request, values), number);
    if (outcome.status == PollStatus::Ok)
        outcome.values.assign(values.begin(), values.end());
    return outcome;
}
