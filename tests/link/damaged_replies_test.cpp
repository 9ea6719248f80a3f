// A module that answers with damaged replies: bytes changed, cut short, lengthened, counts that
// make no sense, a hang-up in the middle. Whatever arrives, a transfer ends with one of its result
// codes, a failed one leaves the configuration as it was, and nothing reads or writes out of
// bounds (the suite runs under the address sanitizer).

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <random>

#include "link/transfer_run.h"
#include "recorder.h"
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
        std::string error;
        if (m_line.OpenPseudoTerminal(error))
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
    EXPECT_EQ(RunTransfer(TransferDirection::Download, module.Path(), source, &down).code, RESULT_OK);
    if (direction == TransferDirection::Download)
        return down.received;
    EXPECT_EQ(RunTransfer(TransferDirection::Upload, module.Path(), read, &up).code, RESULT_OK);
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
            reply.back() = Checksum8(std::span(reply).first(reply.size() - 1));
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
            const TransferOutcome outcome = RunTransfer(direction, damaged.Path(), *root, nullptr, &timings);
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

// Every kind of upload reply cut short ends the upload with 3; with a hang-up after the cut, 5.
TEST(DamagedReplies, CutUploadRepliesEndIn3Or5)
{
    const struct {
        const char* name;
        SimIdentity hardware;
        int mode, commands;
        std::vector<std::size_t> replies;   // which replies to spoil
    } rows[] = {
        // version, version, short serial block, count, two pages, bus block
        {"master 2.1", {}, MODE_MODBUS_MASTER, 7, {0, 1, 2, 3, 4, 5, 6}},
        {"master 2.0", {0x81, 2, 0}, MODE_MODBUS_MASTER, 1, {2}},    // the long serial block
        {"user 2.1", {}, MODE_USER_CONFIG, 0, {3, 4}},               // framing block, address mode
    };
    LinkTimings waiting = FastTimings();
    waiting.readInterval = 500;
    waiting.readTotalConstant = 1000;
    for (const auto& row : rows) {
        const std::vector<Frame> healthy = HealthyReplies(TransferDirection::Upload, *MakeFilledConfig(row.mode, row.commands), row.hardware);
        for (const std::size_t index : row.replies) {
            ASSERT_LT(index, healthy.size());
            const std::size_t length = healthy[index].size();
            const std::tuple<std::size_t, bool, ResultCode> spoils[] = {{1, false, RESULT_REPLY_MISMATCH},
                {length / 2, false, RESULT_REPLY_MISMATCH}, {length - 1, false, RESULT_REPLY_MISMATCH}, {length / 2, true, RESULT_SERIAL_IO}};
            for (const auto& [keep, hangUp, code] : spoils) {
                std::vector<Frame> replies(healthy.begin(), healthy.begin() + static_cast<std::ptrdiff_t>(index) + 1);
                replies.back().resize(keep);
                ScriptedModule module(replies, hangUp ? static_cast<int>(index) : -1);
                auto root = MakeFilledConfig(MODE_USER_CONFIG, 0);
                const std::string before = ConfigText(*root);
                const LinkTimings timings = hangUp ? waiting : FastTimings();
                EXPECT_EQ(RunTransfer(TransferDirection::Upload, module.Path(), *root, nullptr, &timings).code, code)
                    << row.name << ", reply " << index << " cut to " << keep << (hangUp ? " and hung up" : "");
                EXPECT_EQ(ConfigText(*root), before);
            }
        }
    }
}

// Replies well formed but impossible: more commands than a slave node holds, a function code
// the tool does not know.
TEST(DamagedReplies, ImpossibleContentsAreRefused)
{
    // version, version, short serial block, count, two pages, bus block
    const std::vector<Frame> healthy = HealthyReplies(TransferDirection::Upload, *MakeFilledConfig(MODE_MODBUS_MASTER, 7));
    ASSERT_EQ(healthy.size(), 7u);
    const auto withChecksum = [](Frame frame) {
        frame.back() = Checksum8(std::span(frame).first(frame.size() - 1));
        return frame;
    };
    const auto counting = [&](int count) {
        std::vector<Frame> replies(healthy.begin(), healthy.begin() + 4);
        replies[3][3] = static_cast<std::uint8_t>(count >> 8);
        replies[3][4] = static_cast<std::uint8_t>(count);
        replies[3] = withChecksum(replies[3]);
        return replies;
    };
    std::vector<Frame> unknownCode = healthy;
    unknownCode[4][3 + 2] = 7;   // the first record's function code
    const std::tuple<const char*, std::vector<Frame>, ResultCode> rows[] = {
        {"48 commands: the pages are asked for", counting(48), RESULT_SERIAL_IO},
        {"49 commands", counting(49), RESULT_REPLY_MISMATCH},
        {"65535 commands", counting(65535), RESULT_REPLY_MISMATCH},
        {"function code 07", unknownCode, RESULT_COMMAND_UPLOAD},
    };
    const LinkTimings timings = FastTimings();
    for (const auto& [name, replies, code] : rows) {
        ScriptedModule module(replies);
        CDeviceConfig root;
        const std::string before = ConfigText(root);
        const TransferOutcome outcome = RunTransfer(TransferDirection::Upload, module.Path(), root, nullptr, &timings);
        EXPECT_EQ(outcome.code, code) << name;
        EXPECT_EQ(outcome.message, ResultMessage(code)) << name;
        EXPECT_EQ(ConfigText(root), before) << name;
    }
}

} // namespace
