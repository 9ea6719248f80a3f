#include "modbus_sim/slave_server.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <modbus.h>
#include <poll.h>
#include <unistd.h>

namespace {

struct Request {
    int function = 0;
    int address = 0;
    int count = 0;
};

Request ReadRequest(const std::uint8_t* query, int offset)
{
    Request request;
    request.function = query[offset];
    request.address = query[offset + 1] << 8 | query[offset + 2];
    request.count = request.function == 5 || request.function == 6 ? 1 : query[offset + 3] << 8 | query[offset + 4];
    return request;
}

// After a request for another slave, libmodbus takes the next frame on the line for that slave's
// answer and drops it. This line has no other slave: the next frame is a request to this one. An
// empty pipe in place of the line lets libmodbus drop "the answer" at once.
void ForgetOtherSlavesAnswer(modbus_t* ctx, int lineFd)
{
    int empty[2];
    if (::pipe(empty) != 0)
        return;
    ::close(empty[1]);
    std::uint8_t ignored[MODBUS_RTU_MAX_ADU_LENGTH];
    modbus_set_socket(ctx, empty[0]);
    modbus_receive(ctx, ignored);
    modbus_set_socket(ctx, lineFd);
    ::close(empty[0]);
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

double CharacterSeconds(const SlaveSerialSettings& settings)
{
    const int bits = 1 + settings.dataBits + (settings.parity == 'N' ? 0 : 1) + settings.stopBits;
    return static_cast<double>(bits) / settings.baud;
}

struct CModbusSlaveServer::Context {
    modbus_t* ctx = nullptr;
    modbus_mapping_t* mapping = nullptr;
    bool ownsPort = false;   // a device libmodbus opened itself; a pseudo-terminal belongs to the line
    ~Context()
    {
        if (mapping)
            modbus_mapping_free(mapping);
        if (ctx && ownsPort)
            modbus_close(ctx);
        if (ctx)
            modbus_free(ctx);
    }
};

CModbusSlaveServer::CModbusSlaveServer() = default;
CModbusSlaveServer::~CModbusSlaveServer() = default;

bool CModbusSlaveServer::OpenPseudoTerminal(std::string& error)
{
    if (!m_line.OpenPseudoTerminal(error))
        return false;
    m_path = m_line.TerminalPath();
    m_context = std::make_unique<Context>();
    m_context->ctx = modbus_new_rtu(m_path.c_str(), 19200, 'N', 8, 1);
    if (!m_context->ctx || modbus_set_socket(m_context->ctx, m_line.Descriptor()) != 0) {
        error = std::string("cannot set up the Modbus slave: ") + modbus_strerror(errno);
        return false;
    }
    return true;
}

bool CModbusSlaveServer::OpenDevice(const std::string& path, const SlaveSerialSettings& settings, std::string& error)
{
    m_path = path;
    m_context = std::make_unique<Context>();
    m_context->ctx = modbus_new_rtu(path.c_str(), settings.baud, settings.parity, settings.dataBits, settings.stopBits);
    if (!m_context->ctx) {
        error = path + ": the serial settings were refused: " + modbus_strerror(errno);
        return false;
    }
    if (modbus_connect(m_context->ctx) != 0) {
        error = path + ": " + modbus_strerror(errno);
        return false;
    }
    m_context->ownsPort = true;
    return true;
}

bool CModbusSlaveServer::SetTables(const SlaveTables& tables, std::string& error)
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
    if (!mapping) {
        error = std::string("cannot make the tables: ") + modbus_strerror(errno);
        return false;
    }
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
    return true;
}

int CModbusSlaveServer::Serve(const SlaveServeOptions& options, const SlaveFaults& faults,
                              const std::atomic<bool>& stop, std::ostream& log)
{
    modbus_t* ctx = m_context->ctx;
    modbus_set_slave(ctx, options.address);
    const int fd = modbus_get_socket(ctx);
    const int offset = modbus_get_header_length(ctx);
    std::uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
    auto lastTraffic = std::chrono::steady_clock::now();
    while (!stop.load()) {
        if (options.idleExitSeconds > 0 &&
            std::chrono::steady_clock::now() - lastTraffic > std::chrono::seconds(options.idleExitSeconds)) {
            log << "modbus-slave-sim: no traffic for " << options.idleExitSeconds << " s, stopping\n";
            break;
        }
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 200) <= 0 || !(pfd.revents & POLLIN)) {
            // A hang-up without data (nobody at the other end yet) must not spin.
            if (pfd.revents & (POLLHUP | POLLERR))
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        lastTraffic = std::chrono::steady_clock::now();
        const int length = modbus_receive(ctx, query);
        if (length <= 0) {
            // A request for another slave (0) or a damaged frame (-1): nothing to answer.
            if (length == 0)
                ForgetOtherSlavesAnswer(ctx, fd);
            if (length < 0 && options.verbose)
                log << "modbus-slave-sim: bad request: " << modbus_strerror(errno) << '\n';
            continue;
        }
        const Request request = ReadRequest(query, offset);
        const bool inFaultRange = faults.exceptionFirst >= 0 && request.address <= faults.exceptionLast &&
                                  request.address + request.count - 1 >= faults.exceptionFirst;
        if (options.verbose)
            log << "modbus-slave-sim: function " << request.function << " address " << request.address << " count "
                << request.count << (faults.noAnswer ? ": no answer" : inFaultRange ? ": exception" : "") << '\n';
        if (faults.noAnswer)
            continue;
        if (faults.slowMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(faults.slowMs));
        int paced[2] = {-1, -1};
        if (options.charSeconds > 0 && ::pipe(paced) == 0) {
            // The request's own time on the wire, then the silence that ends a frame.
            std::this_thread::sleep_until(lastTraffic + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                            std::chrono::duration<double>(options.charSeconds * (length + 3.5))));
            modbus_set_socket(ctx, paced[1]);
        }
        if (inFaultRange)
            modbus_reply_exception(ctx, query, static_cast<unsigned>(faults.exceptionCode));
        else
            modbus_reply(ctx, query, length, m_context->mapping);
        if (paced[0] >= 0) {
            modbus_set_socket(ctx, fd);
            ::close(paced[1]);
            SendPaced(fd, paced[0], options.charSeconds);
            ::close(paced[0]);
        }
    }
    return 0;
}
