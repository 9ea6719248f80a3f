#include "commission/modbus_master.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <modbus.h>
#include <termios.h>
#include <unistd.h>

namespace {

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    default: return B115200;
    }
}

// The first setting the port did not take, as it reads back; empty when it took all.
std::string RefusedSetting(int fd, const LineSettings& settings)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return std::string("its settings cannot be read back: ") + std::strerror(errno);
    if (cfgetospeed(&tio) != SpeedOf(settings.baud))
        return std::to_string(settings.baud) + " bit/s";
    if ((tio.c_cflag & CSIZE) != (settings.dataBits == 7 ? CS7 : CS8))
        return std::to_string(settings.dataBits) + " data bits";
    const bool parity = settings.parity != 'N';
    if (((tio.c_cflag & PARENB) != 0) != parity || (parity && ((tio.c_cflag & PARODD) != 0) != (settings.parity == 'O')))
        return "parity " + ParityName(settings.parity);
    if (((tio.c_cflag & CSTOPB) != 0) != (settings.stopBits == 2))
        return std::to_string(settings.stopBits) + " stop bits";
    return {};
}

PollOutcome Failure(int error, int timeoutMs)
{
    PollOutcome outcome;
    if (error == ETIMEDOUT) {
        outcome.status = PollStatus::Timeout;
        outcome.detail = "no reply within " + std::to_string(timeoutMs) + " ms";
    } else if (error >= EMBXILFUN && error <= EMBXGTAR) {
        outcome.status = PollStatus::Exception;
        outcome.exceptionCode = error - MODBUS_ENOBASE;
        outcome.detail = modbus_strerror(error);
    } else if (error == EMBBADCRC) {
        outcome.status = PollStatus::Error;
        outcome.detail = "CRC error in the reply";
    } else if (error == EMBBADSLAVE) {
        outcome.status = PollStatus::Error;
        outcome.detail = "reply from another slave";
    } else {
        outcome.status = PollStatus::Error;
        outcome.detail = modbus_strerror(error);
    }
    return outcome;
}

} // namespace

std::string CheckWriteValues(const CommandRequest& request, std::span<const std::uint16_t> values)
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

const char* PollStatusName(PollStatus status)
{
    switch (status) {
    case PollStatus::Ok: return "ok";
    case PollStatus::Timeout: return "timeout";
    case PollStatus::Exception: return "exception";
    case PollStatus::Error: return "error";
    case PollStatus::Skipped: return "skipped";
    }
    return "error";
}

struct CModbusMaster::Context {
    modbus_t* ctx = nullptr;
    int timeoutMs = 0;
    std::chrono::milliseconds pollDelay{0};
    std::chrono::nanoseconds frameGap{0};
    std::optional<std::chrono::steady_clock::time_point> lastEnd;
    ~Context()
    {
        if (ctx) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
    }

    // Runs one libmodbus request: flushes what is left on the line, times the exchange.
    template <typename Call>
    PollOutcome Exchange(Call&& call)
    {
        // Between two frames the line stays silent for 3.5 characters, and then for the delay
        // between polls.
        if (lastEnd)
            std::this_thread::sleep_until(*lastEnd + frameGap + pollDelay);
        modbus_flush(ctx);
        const auto start = std::chrono::steady_clock::now();
        const int rc = call();
        const int error = errno;
        const auto end = std::chrono::steady_clock::now();
        lastEnd = end;
        PollOutcome outcome = rc < 0 ? Failure(error, timeoutMs) : PollOutcome{PollStatus::Ok, 0, {}, 0, {}};
        outcome.ms = std::chrono::duration<double, std::milli>(end - start).count();
        return outcome;
    }
};

CModbusMaster::CModbusMaster() = default;
CModbusMaster::~CModbusMaster() = default;

void CModbusMaster::Close() { m_context.reset(); }
bool CModbusMaster::IsOpen() const { return m_context != nullptr; }

OpenOutcome CModbusMaster::Open(const std::string& port, const LineSettings& settings)
{
    Close();
    OpenOutcome outcome;
    const int probe = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0) {
        outcome.message = "cannot open " + port + ": " + std::strerror(errno);
        return outcome;
    }
    ::close(probe);
    if (settings.parity != 'N' && settings.parity != 'O' && settings.parity != 'E') {
        outcome.refusedSetting = true;
        outcome.message = port + ": the port refused parity " + ParityName(settings.parity);
        return outcome;
    }
    auto context = std::make_unique<Context>();
    context->ctx = modbus_new_rtu(port.c_str(), settings.baud, settings.parity, settings.dataBits, settings.stopBits);
    if (!context->ctx) {
        outcome.refusedSetting = true;
        outcome.message = port + ": the serial settings were refused: " + modbus_strerror(errno);
        return outcome;
    }
    if (modbus_connect(context->ctx) != 0) {
        outcome.refusedSetting = true;
        outcome.message = port + ": the port refused its settings: " + modbus_strerror(errno);
        return outcome;
    }
    if (const std::string refused = RefusedSetting(modbus_get_socket(context->ctx), settings); !refused.empty()) {
        outcome.refusedSetting = true;
        outcome.message = port + ": the port refused " + refused;
        return outcome;
    }
    modbus_set_slave(context->ctx, settings.slaveAddress);
    const auto timeout = static_cast<std::uint32_t>(settings.responseTimeoutMs);
    modbus_set_response_timeout(context->ctx, timeout / 1000, timeout % 1000 * 1000);
    context->timeoutMs = settings.responseTimeoutMs;
    context->pollDelay = std::chrono::milliseconds(settings.pollDelayMs);
    context->frameGap = std::chrono::nanoseconds(static_cast<long long>(3.5e9 * CharacterBits(settings) / settings.baud));
    m_context = std::move(context);
    outcome.ok = true;
    return outcome;
}

PollOutcome CModbusMaster::Read(const CommandRequest& request)
{
    modbus_t* ctx = m_context->ctx;
    const int start = request.start;
    const int count = request.count;
    PollOutcome outcome;
    if (request.function == 3 || request.function == 4) {
        std::vector<std::uint16_t> registers(static_cast<std::size_t>(count));
        outcome = m_context->Exchange([&] {
            return request.function == 3 ? modbus_read_registers(ctx, start, count, registers.data())
                                         : modbus_read_input_registers(ctx, start, count, registers.data());
        });
        if (outcome.status == PollStatus::Ok)
            outcome.values = std::move(registers);
    } else {
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(count));
        outcome = m_context->Exchange([&] {
            return request.function == 1 ? modbus_read_bits(ctx, start, count, bits.data())
                                         : modbus_read_input_bits(ctx, start, count, bits.data());
        });
        if (outcome.status == PollStatus::Ok)
            outcome.values.assign(bits.begin(), bits.end());
    }
    return outcome;
}

PollOutcome CModbusMaster::Write(const CommandRequest& request, std::span<const std::uint16_t> values)
{
    if (const std::string fault = CheckWriteValues(request, values); !fault.empty())
        return PollOutcome{PollStatus::Error, 0, fault, 0, {}};
    modbus_t* ctx = m_context->ctx;
    const int start = request.start;
    std::vector<std::uint8_t> bits;
    for (const std::uint16_t value : values)
        bits.push_back(value ? 1 : 0);
    PollOutcome outcome = m_context->Exchange([&] {
        switch (request.function) {
        case 5: return modbus_write_bit(ctx, start, bits.at(0));
        case 6: return modbus_write_register(ctx, start, values[0]);
        case 15: return modbus_write_bits(ctx, start, static_cast<int>(bits.size()), bits.data());
        default: return modbus_write_registers(ctx, start, static_cast<int>(values.size()), values.data());
        }
    });
    if (outcome.status == PollStatus::Ok)
        outcome.values.assign(values.begin(), values.end());
    return outcome;
}
