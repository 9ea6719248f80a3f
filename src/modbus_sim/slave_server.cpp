#include "modbus_sim/slave_server.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <modbus.h>
#include <poll.h>
#include <unistd.h>

#include "modbus_sim/request_framer.h"

namespace {

// What a request asks, as the log shows it: function, and for the functions with an address
// and a quantity those too.
std::string DescribeRequest(std::span<const std::uint8_t> frame)
{
    const int function = frame[1];
    std::string text = "function " + std::to_string(function);
    if (function == 5 || function == 6 || (function >= 1 && function <= 4) || function == 15 || function == 16)
        text += " address " + std::to_string(frame[2] << 8 | frame[3]) + " count " +
                std::to_string(function == 5 || function == 6 ? 1 : frame[4] << 8 | frame[5]);
    return text;
}

// The exception a request gets before its tables are looked at: 1 for a function this slave
// does not serve, 3 for a quantity or byte count out of bounds; 0 when the tables decide.
int EarlyException(std::span<const std::uint8_t> frame)
{
    const int function = frame[1];
    const auto word = [&](std::size_t at) { return frame[at] << 8 | frame[at + 1]; };
    switch (function) {
    case 1: case 2: return word(4) >= 1 && word(4) <= 2000 ? 0 : 3;
    case 3: case 4: return word(4) >= 1 && word(4) <= 125 ? 0 : 3;
    case 5: return word(4) == 0xFF00 || word(4) == 0 ? 0 : 3;
    case 6: return 0;
    case 15: return word(4) >= 1 && word(4) <= 1968 && frame[6] == (word(4) + 7) / 8 ? 0 : 3;
    case 16: return word(4) >= 1 && word(4) <= 123 && frame[6] == 2 * word(4) ? 0 : 3;
    default: return 1;
    }
}

// Sends an answer that libmodbus has built into the pipe as the line would deliver it: whole,
// at the moment its last byte has crossed the wire.
void SendPaced(int lineFd, int pipeFd, double charSeconds)
{
    std::uint8_t reply[MODBUS_RTU_MAX_ADU_LENGTH];
    const auto start = std::chrono::steady_clock::now();
    const ssize_t length = ::read(pipeFd, reply, sizeof reply);
    if (length <= 0)
        return;
    std::this_thread::sleep_until(start + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                              std::chrono::duration<double>(charSeconds * static_cast<double>(length))));
    for (ssize_t sent = 0; sent < length;) {
        const ssize_t n = ::write(lineFd, reply + sent, static_cast<std::size_t>(length - sent));
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        pollfd pfd{lineFd, POLLOUT, 0};
        ::poll(&pfd, 1, 100);
    }
}

} // namespace

double gw::CharacterSeconds(const SlaveSerialSettings& settings)
{
    const int bits = 1 + settings.dataBits + (settings.parity == 'N' ? 0 : 1) + settings.stopBits;
    return static_cast<double>(bits) / settings.baud;
}

struct CModbusSlaveServer::Context {
    modbus_t* ctx = nullptr;   // answers on the line's descriptor, which it does not own
    modbus_mapping_t* mapping = nullptr;
    DirectionControl direction = DirectionControl::None;
    ~Context()
    {
        if (mapping)
            modbus_mapping_free(mapping);
        if (ctx) {
            gw::ResetDirectionControl(ctx, direction);
            modbus_free(ctx);
        }
    }
};

CModbusSlaveServer::CModbusSlaveServer() = default;
CModbusSlaveServer::~CModbusSlaveServer() = default;

Outcome CModbusSlaveServer::OpenPseudoTerminal()
{
    if (Outcome opened = m_line.OpenPseudoTerminal(); !opened)
        return opened;
    return SetUp(SlaveSerialSettings{});
}

Outcome CModbusSlaveServer::OpenDevice(const std::string& path, const SlaveSerialSettings& settings)
{
    const SerialLineSettings line{settings.baud, settings.dataBits, settings.parity, settings.stopBits};
    if (Outcome opened = m_line.OpenDevice(path, line); !opened)
        return opened;
    return SetUp(settings);
}

Outcome CModbusSlaveServer::SetUp(const SlaveSerialSettings& settings)
{
    m_path = m_line.TerminalPath();
    m_context = std::make_unique<Context>();
    // libmodbus knows no mark or space parity; the line is set already, and the character
    // length it times RTS by is the same with any parity bit.
    const char parity = settings.parity == 'N' ? 'N' : settings.parity == 'O' ? 'O' : 'E';
    m_context->ctx = modbus_new_rtu(m_path.c_str(), settings.baud, parity, settings.dataBits, settings.stopBits);
    if (!m_context->ctx || modbus_set_socket(m_context->ctx, m_line.Descriptor()) != 0)
        return gw::Failure(std::string("cannot set up the Modbus slave: ") + modbus_strerror(errno));
    m_context->direction = settings.direction;
    if (const std::string refused = gw::SetDirectionControl(m_context->ctx, m_line.Descriptor(), settings.direction);
        !refused.empty())
        return gw::Failure(m_path + ": " + refused);
    return {};
}

Outcome CModbusSlaveServer::SetTables(const SlaveTables& tables)
{
    int start[kSlaveTableCount] = {};
    int size[kSlaveTableCount] = {};
    for (int t = 0; t < kSlaveTableCount; ++t) {
        const auto& values = tables.values[static_cast<std::size_t>(t)];
        if (values.empty())
            continue;
        start[t] = values.begin()->first;
        size[t] = values.rbegin()->first - start[t] + 1;
    }
    modbus_mapping_t* mapping = modbus_mapping_new_start_address(
        static_cast<unsigned>(start[TABLE_COILS]), static_cast<unsigned>(size[TABLE_COILS]),
        static_cast<unsigned>(start[TABLE_INPUTS]), static_cast<unsigned>(size[TABLE_INPUTS]),
        static_cast<unsigned>(start[TABLE_HOLDING]), static_cast<unsigned>(size[TABLE_HOLDING]),
        static_cast<unsigned>(start[TABLE_INPUT_REGISTERS]), static_cast<unsigned>(size[TABLE_INPUT_REGISTERS]));
    if (!mapping)
        return gw::Failure(std::string("cannot make the tables: ") + modbus_strerror(errno));
    for (const auto& [address, value] : tables.values[TABLE_COILS])
        mapping->tab_bits[address - start[TABLE_COILS]] = static_cast<std::uint8_t>(value);
    for (const auto& [address, value] : tables.values[TABLE_INPUTS])
        mapping->tab_input_bits[address - start[TABLE_INPUTS]] = static_cast<std::uint8_t>(value);
    for (const auto& [address, value] : tables.values[TABLE_HOLDING])
        mapping->tab_registers[address - start[TABLE_HOLDING]] = value;
    for (const auto& [address, value] : tables.values[TABLE_INPUT_REGISTERS])
        mapping->tab_input_registers[address - start[TABLE_INPUT_REGISTERS]] = value;
    if (m_context->mapping)
        modbus_mapping_free(m_context->mapping);
    m_context->mapping = mapping;
    return {};
}

int CModbusSlaveServer::Serve(const SlaveServeOptions& options, const SlaveFaults& faults,
                              const std::atomic<bool>& stop, std::ostream& log)
{
    modbus_t* ctx = m_context->ctx;
    modbus_set_slave(ctx, options.address);
    const int fd = modbus_get_socket(ctx);
    // A request ends at 3.5 characters of silence; a pseudo-terminal hands whole writes over.
    const auto silence = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(3.5 * (options.charSeconds > 0 ? options.charSeconds : 11.0 / 19200)));
    CRequestFramer framer;
    auto lastTraffic = std::chrono::steady_clock::now();
    int served = 0;
    while (!stop.load()) {
        if (options.idleExitSeconds > 0 &&
            std::chrono::steady_clock::now() - lastTraffic > std::chrono::seconds(options.idleExitSeconds)) {
            log << "modbus-slave-sim: no traffic for " << options.idleExitSeconds << " s, stopping\n";
            break;
        }
        pollfd pfd{fd, POLLIN, 0};
        const auto wait = framer.Holding() ? std::max(lastTraffic + silence - std::chrono::steady_clock::now(),
                                                      std::chrono::steady_clock::duration::zero())
                                           : std::chrono::steady_clock::duration(std::chrono::milliseconds(200));
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        const timespec timeout{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
        const int ready = ::ppoll(&pfd, 1, &timeout, nullptr);
        std::vector<std::vector<std::uint8_t>> frames;
        if (ready > 0 && (pfd.revents & POLLIN)) {
            std::uint8_t bytes[MODBUS_RTU_MAX_ADU_LENGTH];
            const ssize_t got = ::read(fd, bytes, sizeof bytes);
            if (got <= 0)
                continue;
            lastTraffic = std::chrono::steady_clock::now();
            framer.Add(std::span(bytes, static_cast<std::size_t>(got)), frames);
        } else if (ready > 0) {
            // A hang-up without data (nobody at the other end yet) must not spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        } else if (framer.Holding()) {
            std::size_t dropped = 0;
            framer.Silence(frames, dropped);
            if (dropped && options.verbose)
                log << "modbus-slave-sim: bad frame (" << dropped << " bytes) dropped\n";
        }
        for (const std::vector<std::uint8_t>& frame : frames) {
            if (frame[0] != options.address && frame[0] != MODBUS_BROADCAST_ADDRESS)
                continue;   // for another slave on the line
            const int early = EarlyException(frame);
            const int function = frame[1];
            const int address = early ? 0 : frame[2] << 8 | frame[3];
            const int count = early ? 0 : function == 5 || function == 6 ? 1 : frame[4] << 8 | frame[5];
            const bool inFaultRange = !early && faults.exceptionFirst >= 0 && address <= faults.exceptionLast &&
                                      address + count - 1 >= faults.exceptionFirst;
            const bool silent = faults.noAnswer || (faults.silentEvery > 0 && ++served % faults.silentEvery == 0);
            if (options.verbose)
                log << "modbus-slave-sim: " << DescribeRequest(frame)
                    << (silent ? ": no answer" : early == 1 ? ": illegal function, exception 1"
                                 : early == 3 ? ": illegal quantity, exception 3"
                                 : inFaultRange ? ": exception" : "")
                    << '\n';
            // Broadcasts are never answered.
            if (silent || frame[0] == MODBUS_BROADCAST_ADDRESS) {
                if (!silent && !early && !inFaultRange)
                    modbus_reply(ctx, frame.data(), static_cast<int>(frame.size()), m_context->mapping);
                continue;
            }
            Answer(frame, early ? early : inFaultRange ? faults.exceptionCode : 0, options.charSeconds, faults.slowMs,
                   lastTraffic);
        }
    }
    return 0;
}

void CModbusSlaveServer::Answer(std::span<const std::uint8_t> frame, int exception, double charSeconds, int slowMs,
                                std::chrono::steady_clock::time_point arrived)
{
    modbus_t* ctx = m_context->ctx;
    const int fd = modbus_get_socket(ctx);
    int paced[2] = {-1, -1};
    if (slowMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(slowMs));
    if (charSeconds > 0 && ::pipe(paced) == 0) {
        // The request's own time on the wire, then the silence that ends a frame.
        std::this_thread::sleep_until(arrived + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                    std::chrono::duration<double>(charSeconds * (static_cast<double>(frame.size()) + 3.5))));
        modbus_set_socket(ctx, paced[1]);
    }
    if (exception)
        modbus_reply_exception(ctx, frame.data(), static_cast<unsigned>(exception));
    else
        modbus_reply(ctx, frame.data(), static_cast<int>(frame.size()), m_context->mapping);
    if (paced[0] >= 0) {
        modbus_set_socket(ctx, fd);
        ::close(paced[1]);
        SendPaced(fd, paced[0], charSeconds);
        ::close(paced[0]);
    }
}
