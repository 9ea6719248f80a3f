#pragma once
// One commissioning pass: the configured commands sent in list order to the slave, each with
// its outcome, and the input image their replies make. Write commands go out only with the
// values the user gave for that command; without them they are skipped.

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "commission/command_request.h"
#include "commission/input_image.h"
#include "commission/line_settings.h"
#include "commission/modbus_master.h"

class CDeviceConfig;

// What a configuration asks of the master: its line and its commands in list order.
struct ProbeSetup {
    LineSettings line;
    std::vector<CommandRequest> commands;   // command n is commands[n - 1]
    std::vector<std::string> names;         // the commands' names, as the tree shows them
};

namespace gw {

// The checks a configuration passes before anything is sent to its slave: success, or the
// result code of the first it fails with its message.
Outcome CheckBeforeCommissioning(const CDeviceConfig& root);

// Reads the line settings and the commands of the first slave node; a failure with a message
// when the configuration cannot be polled.
Outcome ReadProbeSetup(const CDeviceConfig& root, ProbeSetup& setup);

} // namespace gw

struct CommandPoll {
    int number = 0;          // from 1, in list order
    PollOutcome outcome;
};

// Values for the write commands the user asked to send, by command number.
using WriteValues = std::map<int, std::vector<std::uint16_t>>;

namespace gw {

// "V[,V...]": values in decimal or 0x hex, 0-65535; a failure with a message for anything else.
Outcome ParseValueList(const std::string& text, std::vector<std::uint16_t>& values);

// Polls the commands numbered in numbers (all when empty) once, in list order. A write command
// is sent only when writes holds values for it. After each command onPolled sees its outcome;
// when it answers false the pass stops there. A pass also stops when the port went away, and
// when the master's stop flag cut an exchange short (that command is left out).
std::vector<CommandPoll> PollCommands(CModbusMaster& master, const ProbeSetup& setup, std::span<const int> numbers,
                                      const WriteValues& writes,
                                      const std::function<bool(const CommandPoll&)>& onPolled = {});

// The input image that a pass's read commands make.
InputImage BuildInputImage(const ProbeSetup& setup, std::span<const CommandPoll> polls);

} // namespace gw
