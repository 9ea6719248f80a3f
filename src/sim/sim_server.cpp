#include "sim/sim_server.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <poll.h>
#include <unistd.h>

#include "model/hex_text.h"

namespace {

using Clock = std::chrono::steady_clock;

// A frame whose bytes stop coming for this long is thrown away, as the module does.
constexpr auto kFrameGap = std::chrono::milliseconds(500);

} // namespace

int gw::ServeLine(CSimLine& line, CModuleResponder& responder, const SimServeOptions& options,
                  const std::atomic<bool>& stop, std::ostream& log)
{
    Bytes pending;
    auto lastTraffic = Clock::now();
    auto frameStart = Clock::now();
    while (!stop.load()) {
        pollfd pfd{line.Descriptor(), POLLIN, 0};
        const int ready = ::poll(&pfd, 1, 100);
        const auto now = Clock::now();
        if (ready < 0 && errno != EINTR) {
            log << "gateway-sim: the line failed\n";
            return 1;
        }
        if (ready > 0 && (pfd.revents & POLLIN)) {
            std::uint8_t chunk[512];
            const ssize_t n = ::read(line.Descriptor(), chunk, sizeof chunk);
            if (n > 0) {
                if (pending.empty())
                    frameStart = now;
                pending.insert(pending.end(), chunk, chunk + n);
                lastTraffic = now;
            }
        } else if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR))) {
            // A real device whose far end went away: wait for it to come back.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!pending.empty() && now - lastTraffic > kFrameGap) {
            log << "gateway-sim: incomplete frame dropped: " << HexText(pending) << '\n';
            pending.clear();
        }
        while (pending.size() >= 2 && pending.size() >= static_cast<std::size_t>(pending[1]) + 3) {
            const std::size_t length = static_cast<std::size_t>(pending[1]) + 3;
            const Bytes frame(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length));
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length));
            if (line.WireTime())
                std::this_thread::sleep_until(frameStart + CSimLine::kByteTime * static_cast<long long>(length));
            frameStart = Clock::now();

            const CModuleResponder::Answer answer = responder.Handle(frame);
            if (options.verbose)
                log << "<- " << CommandName(frame[0]) << "  " << HexText(frame) << '\n';
            if (!answer.note.empty())
                log << "gateway-sim: " << CommandName(frame[0]) << ": " << answer.note << '\n';
            if (answer.dropLine) {
                line.Close();
                return 0;
            }
            if (answer.stateChanged && !options.statePath.empty()) {
                if (const Outcome saved = SaveModuleState(options.statePath, responder.State()); !saved) {
                    log << "gateway-sim: " << saved.message << '\n';
                    return 1;
                }
            }
            if (answer.reply) {
                if (options.verbose)
                    log << "-> " << CommandName(frame[0]) << "  " << HexText(*answer.reply) << '\n';
                if (!line.Send(*answer.reply)) {
                    log << "gateway-sim: cannot write to the line\n";
                    return 1;
                }
            }
            lastTraffic = Clock::now();
        }
        if (options.idleExitSeconds > 0 && Clock::now() - lastTraffic > std::chrono::seconds(options.idleExitSeconds)) {
            log << "gateway-sim: idle for " << options.idleExitSeconds << " s, stopping\n";
            return 0;
        }
    }
    return 0;
}
