#pragma once
// gatewaycfg run in a folder: in the test process, or as a process where a case needs one.

#include <gtest/gtest.h>

#include "support/run_program.h"

class Cli : public ::testing::Test {
protected:
    Cli() : m_home(std::filesystem::current_path()) { std::filesystem::current_path(dir.Path()); }
    ~Cli() override { std::filesystem::current_path(m_home); }

    ProgramRun Process(const std::vector<std::string>& args, RunOptions options = {}) const
    {
        options.workingDir = dir.Path().string();
        return RunProgram(GATEWAYCFG_PATH, args, m_capture.Path().string(), options);
    }

    // show's "[section] ..." lines up to the blank line after them; section "" is the tree.
    static std::string Shown(const std::string& section, const std::string& file = "plant.xml")
    {
        const std::string out = "\n" + RunTool({"show", file}).out;
        const std::size_t begin = section.empty() ? 0 : out.find("\n[" + section + "]");
        return begin == std::string::npos ? "" : out.substr(begin + 1, out.find("\n\n", begin + 1) - begin);
    }
    // The section holds the item line (or the tree the node line) "  line".
    static bool Shows(const std::string& section, const std::string& line)
    {
        return ("\n" + Shown(section)).find("\n  " + line + "\n") != std::string::npos;
    }

    ScratchFolder dir;

private:
    std::filesystem::path m_home;
    ScratchFolder m_capture;
};

// Runs that prepare a test must succeed.
inline void Prepare(const std::vector<std::vector<std::string>>& runs)
{
    for (const auto& args : runs) {
        const ProgramRun run = RunTool(args);
        ASSERT_EQ(run.status, 0) << args[0] << ": " << run.err;
    }
}
