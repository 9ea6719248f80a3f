#pragma once
// gatewaycfg diff: the differences between two configuration files, whole or as a module of a
// given hardware version keeps them; and the printing of differences that verify shares.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "compare/config_diff.h"
#include "compare/diff_format.h"

struct DiffCommandOptions {
    std::string left;
    std::string right;
    bool module = false;
    bool json = false;
    std::string hardware = "2.1";   // the simulator's version
};

namespace CLI {
class App;
}

namespace gw {

// Registers "diff" on the command line; its run goes into action.
void AddDiffCommand(CLI::App& app, DiffCommandOptions& options, std::function<int()>& action, std::ostream& out,
                    std::ostream& err);

// 0 equal, 1 different, 64 a bad --hw, 65 a file that cannot be read.
int RunDiffCommand(const DiffCommandOptions& options, std::ostream& out, std::ostream& err);

// One line per difference, or the JSON document with the facts; 0 when there is none, 1 otherwise.
int PrintDifferences(const std::vector<Difference>& differences, bool json, std::ostream& out,
                     const std::vector<JsonFact>& facts = {});

} // namespace gw
