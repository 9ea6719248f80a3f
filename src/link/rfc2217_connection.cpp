#include "link/rfc2217_connection.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

#include <gensio/gensio.h>
#include <gensio/gensio_unix.h>
#include <gensio/selector.h>
#include <gensio/sergensio.h>

#include "link/port_address.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long the relay's loop waits at most before it looks at its stop and quit requests again.
constexpr std::chrono::milliseconds kServiceSlice{50};
constexpr std::chrono::seconds kCloseLimit{2};
constexpr std::chrono::milliseconds kSettingRetry{500};
constexpr std::chrono::milliseconds kNegotiationPause{20};
constexpr std::size_t kRelayChunk = 4096;

struct Opened {
    int fd = -1;   // the program's end of the socket pair
    bool reached = false;
    std::string refusedSetting;
    std::string refusal;
};

// Everything gensio does for one connection happens on the relay's own thread, on a selector of
// its own: gensio is used single-threaded and needs no wake-up signal.
class CGensioRelay {
public:
    CGensioRelay(Rfc2217Request request, const SerialLineSettings& settings, const std::atomic<bool>* stop)
        : m_request(std::move(request)), m_settings(settings), m_stop(stop)
    {
    }
    ~CGensioRelay()
    {
        m_quit = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    CGensioRelay(const CGensioRelay&) = delete;
    CGensioRelay& operator=(const CGensioRelay&) = delete;

    std::future<Opened> Start()
    {
        std::future<Opened> opened = m_opened.get_future();
        m_thread = std::thread([this] { Run(); });
        return opened;
    }

private:
    void Run()
    {
        Opened opened;
        if (::sel_alloc_selector_nothread(&m_selector) != 0 || ::gensio_unix_funcs_alloc(m_selector, 0, &m_os) != 0) {
            opened.refusal = "The connection to " + m_request.hostAndPort + " cannot be set up (gensio).";
        } else if (Connect(opened) && SetLine(opened)) {
            int pair[2];
            if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) {
                opened.refusal = m_request.name + ": " + std::strerror(errno) + ".";
            } else {
                opened.fd = pair[0];
                m_relayFd = pair[1];
            }
        }
        const bool relaying = opened.fd >= 0;
        m_opened.set_value(std::move(opened));
        if (relaying)
            Relay();
        Shutdown();
    }

    // Runs what is due on the loop, waiting up to wait for something to happen.
    void Service(Clock::duration wait)
    {
        gensio_time slice{0, static_cast<std::int32_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count())};
        ::gensio_os_funcs_service(m_os, &slice);
    }

    // Services the loop until done() holds; false when the deadline passes, the server goes, the
    // connection's owner quits or (while opening) a stop is requested.
    bool ServiceUntil(const std::function<bool()>& done, Clock::time_point deadline, bool opening = true)
    {
        while (!done()) {
            const Clock::time_point now = Clock::now();
            if (m_quit || m_finished || (opening && m_stop && m_stop->load()) || now >= deadline)
                return false;
            Service(std::min<Clock::duration>(kServiceSlice, deadline - now));
        }
        return true;
    }

    bool Connect(Opened& opened)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_request.timeoutMs);
        ConnectFailure failure = ConnectFailure::Other;
        std::string detail;
        for (const ServerAddress& server : m_request.addresses) {
            const std::string spec = "telnet(rfc2217),tcp," + server.numeric + "," + std::to_string(m_request.port);
            if (::str_to_gensio(spec.c_str(), m_os, OnEvent, this, &m_io) != 0) {
                m_io = nullptr;
                continue;
            }
            m_openDone = false;
            if (::gensio_open(m_io, OnOpened, this) != 0) {
                ::gensio_free(m_io);
                m_io = nullptr;
                continue;
            }
            const bool answered = ServiceUntil([this] { return m_openDone; }, deadline);
            if (answered && m_openError == 0) {
                ::gensio_set_read_callback_enable(m_io, true);
                return true;
            }
            failure = !answered ? (m_stop && m_stop->load() ? ConnectFailure::Stopped : ConnectFailure::TimedOut)
                      : m_openError == GE_CONNREFUSE ? ConnectFailure::Refused
                                                       : ConnectFailure::Other;
            detail = answered ? ::gensio_err_to_str(m_openError) : "";
            CloseServer();
            if (!answered)
                break;
        }
        opened.refusal = gw::ConnectFailureText(failure, m_request.hostAndPort, m_request.timeoutMs, detail);
        // Telnet's greeting is part of connecting: a transparent server never gives it.
        if (failure == ConnectFailure::TimedOut)
            opened.refusal += std::string(" Or it is no RFC 2217 server: a transparent one takes ") + kRawTcpScheme + ".";
        return false;
    }

    // One setting: asked for, then the value the server answers with compared. A request made
    // before the server has agreed to the COM port option is refused or lost: it is asked again
    // until answered. Each asking has a token of its own, so that a late answer to an earlier one
    // (or its time-out) is not taken for the answer to this one.
    bool Set(int (*set)(sergensio*, unsigned, sergensio_done, void*), unsigned value, const std::string& named,
             const std::function<std::string(unsigned)>& answerText, Clock::time_point deadline, Opened& opened)
    {
        sergensio* serial = ::gensio_to_sergensio(m_io);
        m_settingDone = false;
        bool answered = false;
        while (serial && !answered && !m_settingDone) {
            SettingToken& token = m_tokens.emplace_back(SettingToken{this, static_cast<int>(m_tokens.size())});
            m_awaited = token.serial;
            // Refused at once while the option is still being agreed: asked again after a while.
            const bool asked = set(serial, value, OnSetting, &token) == 0;
            const Clock::time_point again = std::min(deadline, Clock::now() + (asked ? kSettingRetry : kNegotiationPause));
            answered = ServiceUntil([this, asked] { return asked && m_settingDone && m_settingError == 0; }, again);
            if (Clock::now() >= deadline || m_quit || m_finished || (m_stop && m_stop->load()))
                break;
            m_settingDone = false;
        }
        if (!answered) {
            opened.refusedSetting = named;
            opened.refusal = m_request.name + ": the server did not answer the setting of " + named +
                             " (is it an RFC 2217 server? A transparent one takes " + kRawTcpScheme + ".)";
            if (m_finished)
                opened.refusal = m_request.hostAndPort + " closed the connection while the line was being set.";
            if (m_stop && m_stop->load())
                opened.refusal = gw::ConnectFailureText(ConnectFailure::Stopped, m_request.hostAndPort, 0, "");
            return false;
        }
        if (m_settingValue == value)
            return true;
        opened.refusedSetting = named;
        opened.refusal = m_request.name + ": the server refused " + named + " (it answered " + answerText(m_settingValue) + ").";
        return false;
    }

    bool SetLine(Opened& opened)
    {
        opened.reached = true;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_request.timeoutMs);
        const LineSettingTexts named = gw::DescribeLineSettings(m_settings);
        static constexpr char kParities[] = {'?', 'N', 'O', 'E', 'M', 'S'};   // by gensio's parity code
        unsigned parity = SERGENSIO_PARITY_NONE;
        for (unsigned code = 1; code < sizeof kParities; ++code)
            if (kParities[code] == m_settings.parity)
                parity = code;
        const auto parityText = [](unsigned code) {
            return "parity " + gw::SerialParityName(code < sizeof kParities ? kParities[code] : '?');
        };
        const auto number = [](const char* unit) { return [unit](unsigned value) { return std::to_string(value) + unit; }; };
        if (!Set(::sergensio_baud, static_cast<unsigned>(m_settings.baud), named.speed, number(" bit/s"), deadline, opened) ||
            !Set(::sergensio_datasize, static_cast<unsigned>(m_settings.dataBits), named.size, number(" data bits"), deadline, opened) ||
            !Set(::sergensio_parity, parity, named.parity, parityText, deadline, opened) ||
            !Set(::sergensio_stopbits, static_cast<unsigned>(m_settings.stopBits), named.stop, number(" stop bit(s)"), deadline, opened))
            return false;
        // What waited in the server's buffers answers nothing of ours.
        ::sergensio_flush(::gensio_to_sergensio(m_io), SERGENSIO_FLUSH_RCV_XMIT_BUFFERS);
        return true;
    }

    void Relay()
    {
        ::sel_set_fd_handlers(m_selector, m_relayFd, this, OnProgramReadable, OnProgramWritable, nullptr, nullptr);
        ::sel_set_fd_read_handler(m_selector, m_relayFd, SEL_FD_HANDLER_ENABLED);
        m_relaying = true;
        ServiceUntil([] { return false; }, Clock::time_point::max(), false);
        ::sel_clear_fd_handlers_norpt(m_selector, m_relayFd);
    }

    // The far end went away: the program reads the end of the file, and its writes fail.
    void Finish()
    {
        m_finished = true;
        if (m_relayFd >= 0)
            ::shutdown(m_relayFd, SHUT_RDWR);
    }

    void CloseServer()
    {
        if (!m_io)
            return;
        m_closeDone = false;
        if (::gensio_close(m_io, OnClosed, this) == 0) {
            const Clock::time_point limit = Clock::now() + kCloseLimit;
            while (!m_closeDone && Clock::now() < limit)
                Service(kServiceSlice);
        }
        ::gensio_free(m_io);
        m_io = nullptr;
    }

    void Shutdown()
    {
        if (m_os)
            CloseServer();
        if (m_relayFd >= 0)
            ::close(m_relayFd);
        if (m_os)
            ::gensio_os_funcs_free(m_os);
        if (m_selector)
            ::sel_free_selector(m_selector);
    }

    // Bytes from the server go to the program; what the socket pair cannot take now waits in
    // gensio, which is asked for it again once the pair has room.
    int OnServerBytes(int err, const unsigned char* bytes, gensiods* length)
    {
        if (err) {
            Finish();
            return 0;
        }
        if (!m_relaying || !length)
            return 0;   // before the line is set up: what waited on the line is thrown away
        const ssize_t sent = ::send(m_relayFd, bytes, *length, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            Finish();
            return 0;
        }
        const auto taken = static_cast<gensiods>(sent < 0 ? 0 : sent);
        if (taken < *length) {
            ::gensio_set_read_callback_enable(m_io, false);
            ::sel_set_fd_write_handler(m_selector, m_relayFd, SEL_FD_HANDLER_ENABLED);
        }
        *length = taken;
        return 0;
    }

    // Bytes from the program go to the server; what gensio cannot take now waits here.
    void SendToServer()
    {
        gensiods count = 0;
        if (::gensio_write(m_io, &count, m_toServer.data(), m_toServer.size(), nullptr) != 0) {
            Finish();
            return;
        }
        m_toServer.erase(m_toServer.begin(), m_toServer.begin() + static_cast<std::ptrdiff_t>(count));
        const bool waiting = !m_toServer.empty();
        ::gensio_set_write_callback_enable(m_io, waiting);
        ::sel_set_fd_read_handler(m_selector, m_relayFd, waiting ? SEL_FD_HANDLER_DISABLED : SEL_FD_HANDLER_ENABLED);
    }

    static int OnEvent(gensio*, void* data, int event, int err, unsigned char* bytes, gensiods* length, const char* const*)
    {
        auto* relay = static_cast<CGensioRelay*>(data);
        if (event == GENSIO_EVENT_READ)
            return relay->OnServerBytes(err, bytes, length);
        if (event == GENSIO_EVENT_WRITE_READY) {
            relay->SendToServer();
            return 0;
        }
        return GE_NOTSUP;
    }
    static void OnOpened(gensio*, int err, void* data)
    {
        auto* relay = static_cast<CGensioRelay*>(data);
        relay->m_openDone = true;
        relay->m_openError = err;
    }
    static void OnClosed(gensio*, void* data) { static_cast<CGensioRelay*>(data)->m_closeDone = true; }
    static void OnSetting(sergensio*, int err, unsigned value, void* data)
    {
        const auto* token = static_cast<const SettingToken*>(data);
        CGensioRelay* relay = token->relay;
        if (token->serial != relay->m_awaited)
            return;
        relay->m_settingDone = true;
        relay->m_settingError = err;
        relay->m_settingValue = value;
    }
    static void OnProgramReadable(int fd, void* data)
    {
        auto* relay = static_cast<CGensioRelay*>(data);
        unsigned char chunk[kRelayChunk];
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            relay->Finish();   // the program let the port go
            return;
        }
        if (got > 0) {
            relay->m_toServer.insert(relay->m_toServer.end(), chunk, chunk + got);
            relay->SendToServer();
        }
    }
    static void OnProgramWritable(int fd, void* data)
    {
        auto* relay = static_cast<CGensioRelay*>(data);
        ::sel_set_fd_write_handler(relay->m_selector, fd, SEL_FD_HANDLER_DISABLED);
        ::gensio_set_read_callback_enable(relay->m_io, true);
    }

    const Rfc2217Request m_request;
    const SerialLineSettings m_settings;
    const std::atomic<bool>* m_stop;
    std::atomic<bool> m_quit{false};
    std::promise<Opened> m_opened;
    std::thread m_thread;

    // Used by the relay's thread only.
    selector_s* m_selector = nullptr;
    gensio_os_funcs* m_os = nullptr;
    gensio* m_io = nullptr;
    int m_relayFd = -1;
    bool m_relaying = false;
    bool m_finished = false;
    bool m_openDone = false;
    int m_openError = 0;
    bool m_closeDone = false;
    struct SettingToken {
        CGensioRelay* relay;
        int serial;
    };
    std::deque<SettingToken> m_tokens;   // kept until gensio is gone: it may still answer any
    int m_awaited = -1;
    bool m_settingDone = false;
    int m_settingError = 0;
    unsigned m_settingValue = 0;
    std::vector<unsigned char> m_toServer;
};

class CRfc2217Connection : public CPortConnection {
public:
    CRfc2217Connection(std::string name, int fd, std::unique_ptr<CGensioRelay> relay, std::unique_ptr<CServerPortLock> lock)
        : CPortConnection(std::move(name)), m_lock(std::move(lock)), m_relay(std::move(relay)), m_fd(fd)
    {
    }
    // The relay sees the end of the file and closes the connection; the lock goes last.
    ~CRfc2217Connection() override
    {
        ::shutdown(m_fd, SHUT_RDWR);
        m_relay.reset();
        ::close(m_fd);
    }
    int Descriptor() const override { return m_fd; }

private:
    std::unique_ptr<CServerPortLock> m_lock;
    std::unique_ptr<CGensioRelay> m_relay;
    int m_fd;
};

} // namespace

PortOpening gw::OpenRfc2217Connection(const Rfc2217Request& request, const SerialLineSettings& settings,
                                      const std::atomic<bool>* stop, std::unique_ptr<CServerPortLock> lock)
{
    auto relay = std::make_unique<CGensioRelay>(request, settings, stop);
    Opened opened = relay->Start().get();
    PortOpening opening;
    opening.reached = opened.reached;
    opening.refusedSetting = std::move(opened.refusedSetting);
    opening.refusal = std::move(opened.refusal);
    if (opened.fd >= 0)
        opening.port = std::make_unique<CRfc2217Connection>(request.name, opened.fd, std::move(relay), std::move(lock));
    return opening;
}
