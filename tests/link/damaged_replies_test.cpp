// A module that answers with damaged replies: bytes changed, cut short, lengthened, counts that
// make no sense. Whatever arrives, a transfer ends with one of its result codes, a failed upload
// leaves the configuration as it was, and nothing reads or writes out of bounds (the suite runs
// under the address sanitizer in CI).

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <poll.h>
#include <random>
#include <thread>
#include <unistd.h>

#include "link/transfer_run.h"
#include "link_test_support.h"
#include "sim/sim_line.h"
#include "sim_process.h"
#include "support/in_process_module.h"
#include "support/run_program.h"

namespace {

using namespace link_test;
using Frame = std::vector<std::uint8_t>;

// Plays back one prepared reply for each request that arrives, on a pseudo-terminal of its own.
// With hangUpAfter, the module hangs up the line once that reply (counted from 0) has gone out.
class ScriptedModule {
public:
    explicit ScriptedModule(std::vector<Frame> replies, int hangUpAfter = -1)
        : m_replies(std::move(replies)), m_hangUpAfter(hangUpAfter)
    {
        std::string error;
        m_ok = m_line.OpenPseudoTerminal(error);
        if (m_ok)
            m_thread = std::thread([this] { Serve(); });
    }
    ~ScriptedModule()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    bool Ready() const { return m_ok; }
    const std::string& Path() const { return m_line.TerminalPath(); }

private:
    void Serve()
    {
        std::size_t next = 0;
        std::uint8_t buffer[512];
        while (!m_stop) {
            pollfd pfd{m_line.Descriptor(), POLLIN, 0};
            if (::poll(&pfd, 1, 5) <= 0)
                continue;
            // A request arrives in one piece on a pseudo-terminal; take whatever is there.
            if (::read(m_line.Descriptor(), buffer, sizeof buffer) <= 0)
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
    bool m_ok = false;
};

// The replies a healthy module gives to a whole transfer.
std::vector<Frame> RecordReplies(TransferDirection direction, CDeviceConfig& root, const std::vector<std::string>& simArgs)
{
    SimProcess sim(simArgs);
    EXPECT_TRUE(sim.Running());
    RecordingObserver observer;
    EXPECT_EQ(RunTransfer(direction, sim.Path(), root, &observer).code, RESULT_OK);
    return observer.received;
}

// One random damage to one reply.
std::vector<Frame> Damage(std::vector<Frame> replies, std::mt19937& random)
{
    if (replies.empty())
        return replies;
    auto pick = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    Frame& reply = replies[pick(replies.size())];
    const auto byte = [&random] { return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random)); };
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
        if (reply.size() > 4) {
            reply[3] = 0xFF;
            reply[4] = 0xFF;
        }
        break;
    default:   // changed, with the checksum made right again
        if (reply.size() > 1) {
            reply[pick(reply.size() - 1)] = byte();
            reply.back() = Checksum8(std::span(reply).first(reply.size() - 1));
        }
        break;
    }
    return replies;
}

bool IsTransferCode(ResultCode code)
{
    return code == RESULT_OK || code == RESULT_REPLY_MISMATCH || code == RESULT_SERIAL_IO ||
           code == RESULT_VERSION_MISMATCH || code == RESULT_COMMAND_UPLOAD;
}

TEST(DamagedReplies, UploadEndsCleanlyAndKeepsTheConfigurationOnFailure)
{
    const std::string state = ::testing::TempDir() + "/damaged-replies-state.txt";
    std::remove(state.c_str());
    auto module = MakeConfig(MODE_MODBUS_MASTER, 13);
    {
        SimProcess loader({"--state", state});
        ASSERT_EQ(RunTransfer(TransferDirection::Download, loader.Path(), *module).code, RESULT_OK);
    }
    CDeviceConfig scratch;
    const std::vector<Frame> healthy = RecordReplies(TransferDirection::Upload, scratch, {"--state", state});
    std::remove(state.c_str());
    ASSERT_GT(healthy.size(), 5u);

    std::mt19937 random(20261206);
    const LinkTimings timings = FastTimings();
    int failures = 0;
    for (int round = 0; round < 400; ++round) {
        ScriptedModule damaged(Damage(healthy, random));
        ASSERT_TRUE(damaged.Ready());
        auto root = MakeConfig(MODE_USER_CONFIG, 0);
        const std::string before = FileText(*root);
        const TransferOutcome outcome = RunTransfer(TransferDirection::Upload, damaged.Path(), *root, nullptr, &timings);
        ASSERT_TRUE(IsTransferCode(outcome.code)) << "round " << round << ": code " << outcome.code;
        if (outcome.code != RESULT_OK) {
            ++failures;
            ASSERT_TRUE(FileText(*root) == before) << "round " << round << ": a failed upload changed the configuration";
        } else {
            ASSERT_LE(root->GetCommandCount(), kMaxCommandsPerSlave) << "round " << round;
        }
    }
    EXPECT_GT(failures, 150) << "the damage should mostly be noticed";
}

TEST(DamagedReplies, DownloadEndsCleanlyAndNeverChangesTheConfiguration)
{
    auto root = MakeConfig(MODE_MODBUS_MASTER, 7);
    const std::vector<Frame> healthy = RecordReplies(TransferDirection::Download, *root, {});
    ASSERT_GT(healthy.size(), 5u);
    const std::string before = FileText(*root);

    std::mt19937 random(61202026);
    const LinkTimings timings = FastTimings();
    for (int round = 0; round < 300; ++round) {
        ScriptedModule damaged(Damage(healthy, random));
        ASSERT_TRUE(damaged.Ready());
        const TransferOutcome outcome = RunTransfer(TransferDirection::Download, damaged.Path(), *root, nullptr, &timings);
        ASSERT_TRUE(IsTransferCode(outcome.code)) << "round " << round << ": code " << outcome.code;
        ASSERT_TRUE(FileText(*root) == before) << "round " << round;
    }
}

// Every kind of upload reply, cut short at several points, ends the upload with 3; a hang-up in
// the middle of it ends it with 5. Either way gatewaycfg leaves the file as it was.
struct CutReplies {
    const char* name;
    std::vector<std::string> simArgs;
    int mode;
    int commands;
    std::vector<std::size_t> replies;   // which of the healthy upload's replies to spoil
};

void PrintTo(const CutReplies& row, std::ostream* out) { *out << row.name; }

class CutUploadReply : public ::testing::TestWithParam<CutReplies> {};

TEST_P(CutUploadReply, EndsIn3Or5AndKeepsTheFile)
{
    const CutReplies& row = GetParam();
    std::vector<Frame> healthy;
    {
        SimProcess sim(row.simArgs);
        ASSERT_TRUE(sim.Running());
        auto module = MakeConfig(row.mode, row.commands);
        ASSERT_EQ(RunTransfer(TransferDirection::Download, sim.Path(), *module).code, RESULT_OK);
        CDeviceConfig scratch;
        RecordingObserver observer;
        ASSERT_EQ(RunTransfer(TransferDirection::Upload, sim.Path(), scratch, &observer).code, RESULT_OK);
        healthy = observer.received;
    }
    const std::string dir = ::testing::TempDir() + "/cut-reply-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string file = dir + "/kept.xml";
    ASSERT_TRUE(SaveFile(*MakeConfig(MODE_USER_CONFIG, 0), file).ok);
    const std::string before = ReadWholeFile(file);

    for (const std::size_t index : row.replies) {
        ASSERT_LT(index, healthy.size());
        const std::size_t length = healthy[index].size();
        struct Spoil {
            std::size_t keep;
            bool hangUp;
            ResultCode code;
        };
        const Spoil spoils[] = {{1, false, RESULT_REPLY_MISMATCH}, {length / 2, false, RESULT_REPLY_MISMATCH},
                                {length - 1, false, RESULT_REPLY_MISMATCH}, {length / 2, true, RESULT_SERIAL_IO}};
        for (const Spoil& spoil : spoils) {
            std::vector<Frame> replies(healthy.begin(), healthy.begin() + static_cast<std::ptrdiff_t>(index) + 1);
            replies.back().resize(spoil.keep);
            ScriptedModule module(replies, spoil.hangUp ? static_cast<int>(index) : -1);
            ASSERT_TRUE(module.Ready());
            const ProgramRun run = RunProgram(GATEWAYCFG_PATH, {"upload", file, "--port", module.Path()}, dir);
            const std::string what = std::string(row.name) + ", reply " + std::to_string(index) + " cut to " +
                                     std::to_string(spoil.keep) + (spoil.hangUp ? " and hung up" : "");
            EXPECT_EQ(run.status, static_cast<int>(spoil.code)) << what << ": " << run.err;
            EXPECT_EQ(ReadWholeFile(file), before) << what;
        }
    }
    std::filesystem::remove_all(dir);
}

// Version, version, short serial block, count, two pages, bus block; the long serial block; the
// framing block and the address mode.
INSTANTIATE_TEST_SUITE_P(
    EveryKindOfReply, CutUploadReply,
    ::testing::Values(CutReplies{"master_2_1", {}, MODE_MODBUS_MASTER, 7, {0, 1, 2, 3, 4, 5, 6}},
                      CutReplies{"master_2_0", {"--hw-version", "2.0"}, MODE_MODBUS_MASTER, 1, {2}},
                      CutReplies{"user_2_1", {}, MODE_USER_CONFIG, 0, {3, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
