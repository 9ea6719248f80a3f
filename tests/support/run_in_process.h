#pragma once
// Runs gatewaycfg's command line inside the test process, with its output caught.

#include <sstream>
#include <string>
#include <vector>

#include "cli/gatewaycfg.h"
#include "support/run_program.h"

inline ProgramRun RunTool(const std::vector<std::string>& args)
{
    std::vector<const char*> argv{"gatewaycfg"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    ProgramRun result;
    result.status = RunGatewayCfg(static_cast<int>(argv.size()), argv.data(), out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}
