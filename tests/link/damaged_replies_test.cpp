// A module that answers with damaged replies: bytes changed, cut short, lengthened, counts that
// make no sense, a hang-up in the middle. Whatever arrives, a transfer ends with one of its result
// codes, a failed one leaves the configuration as it was, and nothing reads or writes out of
// bounds (the suite runs under the address sanitizer).

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <random>

#include "link/transfer_run.h"
#include "support/transfer_recorder.h"
#include "sim/sim_line.h"
#include "support/config_builder.h"
#include "support/in_process_module.h"

namespace {

using namespace test_config;
using Frame = std::vector<std::uint8_t>;

// Plays back one prepared reply for each request, on a pseudo-terminal of its own. With
// hangUpAfter, it hangs up the line once that reply (counted from 0) has gone out.
class ScriptedModule {
public:
    explicit ScriptedModule(std::vector<Frame> replies, int hangUpAfter = -1)
        : m_replies(std::move(replies)), m_hangUpAfter(hangUpAfter)
    {
        if (m_line.OpenPseudoTerminal())
            m_thread = std::thread([this] { Serve(); });
    }
    ~ScriptedModule()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    const std::string& Path() const { return m_line.TerminalPath(); }

private:
    void Serve()
    {
        std::uint8_t buffer[512];
        for (std::size_t next = 0; !m_stop;) {
            pollfd pfd{m_line.Descriptor(), POLLIN, 0};
            // A request arrives in one piece on a pseudo-terminal; take whatever is there.
            if (::poll(&pfd, 1, 5) <= 0 || ::read(m_line.Descriptor(), buffer, sizeof buffer) <= 0)
                continue;
            if (next < m_replies.size())
                m_line.Send(m_replies[next++]);
            if (static_cast<int>(next) - 1 == m_hangUpAfter) {
                // Long enough for the tool to have read what was sent, well within its byte gap.
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                m_line.Close();
                return;
            }
        }
    }

    CSimLine m_line;
    std::vector<Frame> m_replies;
    int m_hangUpAfter;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The replies a healthy module gives: to the download of source, or to the upload after it.
std::vector<Frame> HealthyReplies(TransferDirection direction, CDeviceConfig& source, SimIdentity hardware = {})
{
    InProcessModule module(hardware);
    CDeviceConfig read;
    Recorder down, up;
    EXPECT_EQ(gw::RunTransfer(TransferDirection::Download, module.Path(), source, &down).code, RESULT_OK);
    if (direction == TransferDirection::Download)
        return down.received;
    EXPECT_EQ(gw::RunTransfer(TransferDirection::Upload, module.Path(), read, &up).code, RESULT_OK);
    return up.received;
}

// One random damage to one reply.
std::vector<Frame> Damage(std::vector<Frame> replies, std::mt19937& random)
{
    auto pick = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    auto byte = [&random] { return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random)); };
    Frame& reply = replies[pick(replies.size())];
    switch (pick(5)) {
    case 0:   // a few bytes changed
        for (std::size_t n = 1 + pick(3); n > 0 && !reply.empty(); --n)
            reply[pick(reply.size())] = byte();
        break;
    case 1:   // cut short
        reply.resize(pick(reply.size() + 1));
        break;
    case 2:   // garbage appended
        for (std::size_t n = 1 + pick(40); n > 0; --n)
            reply.push_back(byte());
        break;
    case 3:   // a count or a length at its largest
        if (reply.size() > 4)
            reply[3] = reply[4] = 0xFF;
        break;
    default:   // changed, with the checksum made right again
        if (reply.size() > 1) {
            reply[pick(reply.size() - 1)] = byte();
            reply.back() = gw::Checksum8(std::span(reply).first(reply.size() - 1));
        }
    }
    return replies;
}

bool IsTransferCode(ResultCode code)
{
    return code == RESULT_OK || code == RESULT_REPLY_MISMATCH || code == RESULT_SERIAL_IO || code == RESULT_VERSION_MISMATCH ||
           code == RESULT_COMMAND_UPLOAD;
}

TEST(DamagedReplies, EveryRunEndsCleanlyAndAFailedOneChangesNothing)
{
    for (const auto direction : {TransferDirection::Upload, TransferDirection::Download}) {
        const bool upload = direction == TransferDirection::Upload;
        auto source = MakeFilledConfig(MODE_MODBUS_MASTER, upload ? 13 : 7);
        const std::vector<Frame> healthy = HealthyReplies(direction, *source);
        ASSERT_GT(healthy.size(), 5u);
        std::mt19937 random(upload ? 20261206 : 61202026);
        const LinkTimings timings = FastTimings();
        int failures = 0;
        for (int round = 0; round < 300; ++round) {
            ScriptedModule damaged(Damage(healthy, random));
            auto root = upload ? MakeFilledConfig(MODE_USER_CONFIG, 0) : MakeFilledConfig(MODE_MODBUS_MASTER, 7);
            const std::string before = ConfigText(*root);
            const TransferOutcome outcome = gw::RunTransfer(direction, damaged.Path(), *root, nullptr, &timings);
            ASSERT_TRUE(IsTransferCode(outcome.code)) << "round " << round << ": code " << outcome.code;
            ASSERT_LE(root->GetCommandCount(), kMaxCommandsPerSlave) << "round " << round;
            if (outcome.code != RESULT_OK || !upload) {
                failures += outcome.code != RESULT_OK;
                ASSERT_TRUE(ConfigText(*root) == before) << "round " << round << ": the configuration changed";
            }
        }
        EXPECT_GT(failures, upload ? 110 : 0) << "the damage should mostly be noticed";
    }
}

// Every kind of upload reply cut short ends the upload with 3, with a hang-up after the cut 5;
// replies well formed but impossible (more commands than a slave node holds, a function code the
// tool does not know) end it with their codes.
TEST(DamagedReplies, CutAndImpossibleUploadReplies)
{
    struct Case {
        std::string name;
        std::vector<Frame> replies;
        ResultCode code;
        int hangUpAfter = -1;
    };
    std::vector<Case> cases;
    const struct {
        const char* name;
        SimIdentity hardware;
        int mode, commands;
        std::vector<std::size_t> replies;   // which replies to spoil
    } kinds[] = {
        {"master 2.1", {}, MODE_MODBUS_MASTER, 7, {0, 1, 2, 3, 4, 5, 6}},   // version twice, serial, count, two pages, bus
        {"master 2.0", {0x81, 2, 0}, MODE_MODBUS_MASTER, 1, {2}},           // the long serial block
        {"user 2.1", {}, MODE_USER_CONFIG, 0, {3, 4}},                      // framing block, address mode
    };
    std::vector<Frame> master;
    for (const auto& kind : kinds) {
        const std::vector<Frame> healthy = HealthyReplies(TransferDirection::Upload, *MakeFilledConfig(kind.mode, kind.commands), kind.hardware);
        if (master.empty())
            master = healthy;
        for (const std::size_t index : kind.replies) {
            const std::size_t length = healthy.at(index).size();
            for (const auto& [keep, hangUp] : {std::pair{std::size_t{1}, false}, {length / 2, false}, {length - 1, false}, {length / 2, true}}) {
                std::vector<Frame> replies(healthy.begin(), healthy.begin() + static_cast<std::ptrdiff_t>(index) + 1);
                replies.back().resize(keep);
                cases.push_back({std::string(kind.name) + ", reply " + std::to_string(index) + " cut to " + std::to_string(keep) +
                                     (hangUp ? " and hung up" : ""),
                                 replies, hangUp ? RESULT_SERIAL_IO : RESULT_REPLY_MISMATCH, hangUp ? static_cast<int>(index) : -1});
            }
        }
    }
    const auto counting = [&](int count) {
        std::vector<Frame> replies(master.begin(), master.begin() + 4);
        replies[3][3] = static_cast<std::uint8_t>(count >> 8);
        replies[3][4] = static_cast<std::uint8_t>(count);
        replies[3].back() = gw::Checksum8(std::span(replies[3]).first(replies[3].size() - 1));
        return replies;
    };
    cases.push_back({"48 commands: the pages are asked for", counting(48), RESULT_SERIAL_IO});
    cases.push_back({"49 commands", counting(49), RESULT_REPLY_MISMATCH});
    cases.push_back({"65535 commands", counting(65535), RESULT_REPLY_MISMATCH});
    cases.push_back({"function code 07", master, RESULT_COMMAND_UPLOAD});
    cases.back().replies[4][3 + 2] = 7;   // the first record's function code

    LinkTimings waiting = SteadyTimings();   // a hang-up is seen well within the byte gap
    waiting.readInterval = 500;
    waiting.readTotalConstant = 1000;
    for (const Case& c : cases) {
        ScriptedModule module(c.replies, c.hangUpAfter);
        auto root = MakeFilledConfig(MODE_USER_CONFIG, 0);
        const std::string before = ConfigText(*root);
        const LinkTimings timings = c.hangUpAfter >= 0 ? waiting : SteadyTimings();
        const TransferOutcome outcome = gw::RunTransfer(TransferDirection::Upload, module.Path(), *root, nullptr, &timings);
        EXPECT_EQ(outcome.code, c.code) << c.name;
        EXPECT_EQ(outcome.message, gw::ResultMessage(c.code)) << c.name;
        EXPECT_EQ(ConfigText(*root), before) << c.name;
    }
}

} // namespace
