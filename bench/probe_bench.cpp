// 48 read commands polled from modbus-slave-sim at 115200 bit/s, the slave taking as long as a
// real line does. Prints the time per command beside the RTU wire bound: request and reply bytes
// times bits per character over the baud rate, plus the two 3.5-character gaps and the delay
// between polls. Fails when the tool adds more than 2 ms per command.
//
//   probe_bench [DELAY_MS ...]      (default: 0 and 10)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commission/probe_run.h"
#include "mapping/auto_map.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "support/run_program.h"

namespace {

constexpr int kCommands = 48;
constexpr int kPasses = 5;
constexpr double kOverheadLimitMs = 2.0;

void Configure(CDeviceConfig& root, int delayMs)
{
    CSubnetNode& subnet = root.Subnet();
    subnet.GetItemAt(SUBNET_ROW_BAUD_RATE)->value = "115200";
    subnet.GetItemAt(SUBNET_ROW_POLL_DELAY)->value = std::to_string(delayMs);
    CSlaveNode* slave = gw::AddSlaveNode(root, TreeRecord::ForNode(RECORD_SUBNET, &subnet));
    const int codes[] = {1, 2, 3, 4};
    for (int i = 0; i < kCommands; ++i) {
        const int code = codes[i % 4];
        int index = kUnknownFunctionIndex;
        gw::GetFunctionByCode(code, &index);
        CModbusCommand* command = gw::AddCommandTo(slave, index).command;
        command->GetItemAt(CMD_ROW_START_ADDRESS)->value = std::to_string(i);
        command->GetItemAt(CMD_ROW_DATA_COUNT)->value = code <= 2 ? "16" : "2";
    }
    gw::AutoMap(root);
}

// Bytes of a read request and of its reply.
int FrameBytes(const CommandRequest& request)
{
    const int data = request.IsBitFunction() ? (request.count + 7) / 8 : 2 * request.count;
    return 8 + 5 + data;
}

bool Run(int delayMs)
{
    ServingProcess sim({MODBUS_SLAVE_SIM_PATH, "--wire-time", "--baud", "115200", "--idle-exit", "30"});
    CDeviceConfig root;
    Configure(root, delayMs);
    ProbeSetup setup;
    CModbusMaster master;
    const Outcome read = sim.Running() ? gw::ReadProbeSetup(root, setup) : gw::Failure("no simulator");
    if (!read || !master.Open(sim.Path(), setup.line).ok) {
        std::fprintf(stderr, "cannot start: %s\n", read.message.c_str());
        return false;
    }
    const double charMs = 1000.0 * gw::CharacterBits(setup.line) / setup.line.baud;
    double boundMs = 0;
    for (const CommandRequest& request : setup.commands)
        boundMs += (FrameBytes(request) + 2 * 3.5) * charMs + setup.line.pollDelayMs;

    gw::PollCommands(master, setup, {}, {});   // the first pass opens the line's rhythm
    int failed = 0;
    double exchangeMs = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < kPasses; ++pass)
        for (const CommandPoll& poll : gw::PollCommands(master, setup, {}, {})) {
            failed += poll.outcome.status != PollStatus::Ok;
            exchangeMs += poll.outcome.ms / kPasses;
        }
    const double measuredMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kPasses;

    const double perBound = boundMs / kCommands, perMeasured = measuredMs / kCommands;
    std::printf("%d read commands at %d bit/s, %d bits a character, delay between polls %d ms, %d passes\n",
                kCommands, setup.line.baud, gw::CharacterBits(setup.line), setup.line.pollDelayMs, kPasses);
    std::printf("  per command: wire bound %.3f ms, measured %.3f ms, overhead %.3f ms (limit %.1f ms)%s\n",
                perBound, perMeasured, perMeasured - perBound, kOverheadLimitMs, failed ? ", SOME FAILED" : "");
    std::printf("  per pass:    wire bound %.1f ms, measured %.1f ms, of which %.1f ms from requests to replies\n",
                boundMs, measuredMs, exchangeMs);
    return failed == 0 && perMeasured - perBound <= kOverheadLimitMs;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> delays;
    for (int i = 1; i < argc; ++i)
        delays.push_back(std::atoi(argv[i]));
    if (delays.empty())
        delays = {0, 10};
    bool ok = true;
    for (const int delay : delays)
        ok = Run(delay) && ok;
    return ok ? 0 : 1;
}
