#pragma once
// Runs gateway-sim as a child process on a new pseudo-terminal for the length of a test (the
// desktop tests use it; the link tests run the simulated module in their own process).

#include <algorithm>
#include <string>
#include <vector>

#include "support/serving_process.h"

class SimProcess : public ServingProcess {
public:
    // Starts the simulator with the extra arguments; Path() is then the terminal to open.
    explicit SimProcess(std::vector<std::string> args) : ServingProcess(WithProgram(std::move(args))) {}

private:
    static std::vector<std::string> WithProgram(std::vector<std::string> args)
    {
        // A simulator left behind by a failed test stops by itself after a minute.
        std::vector<std::string> all = {GATEWAY_SIM_PATH};
        if (std::find(args.begin(), args.end(), "--idle-exit") == args.end())
            all.insert(all.end(), {"--idle-exit", "60"});
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }
};
