#pragma once
// Runs the built gatewaycfg program as a child process in a folder, the way a user runs it from
// a shell, and collects its exit status and what it printed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace cli_test {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path) { return ReadWholeFile(path.string()); }

inline void WriteAll(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder for one test: the program runs in work(), its output is caught beside it.
class Workspace {
public:
    Workspace()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = fs::temp_directory_path() /
                 ("gw-cli-" + std::to_string(::getpid()) + "-" + info->name() + "-" + std::to_string(s_count++));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "work");
        fs::create_directories(m_root / "capture");
    }
    ~Workspace() { fs::remove_all(m_root); }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    fs::path work() const { return m_root / "work"; }
    fs::path operator/(const std::string& name) const { return work() / name; }
    std::string Read(const std::string& name) const { return ReadAll(work() / name); }

    // The names in the work folder (hidden ones included), sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs gatewaycfg with args in the work folder. maxFileBytes > 0 limits the size of any file
    // the program writes (RLIMIT_FSIZE), which makes writing fail even for root.
    ProgramRun Gatewaycfg(const std::vector<std::string>& args, long maxFileBytes = 0) const
    {
        RunOptions options;
        options.maxFileBytes = maxFileBytes;
        return Gatewaycfg(args, options);
    }

    ProgramRun Gatewaycfg(const std::vector<std::string>& args, RunOptions options) const
    {
        options.workingDir = work().string();
        return RunProgram(GATEWAYCFG_PATH, args, (m_root / "capture").string(), options);
    }

private:
    static inline int s_count = 0;
    fs::path m_root;
};

// "name = value" lines of one "[heading]" section of show's output, in order, without the
// two-blank indent; the tree part of the output is the section "".
inline std::vector<std::string> Section(const std::string& show, const std::string& heading)
{
    std::vector<std::string> lines;
    std::istringstream in(show);
    std::string line;
    bool inside = heading.empty();
    while (std::getline(in, line)) {
        if (line.rfind("[", 0) == 0) {
            inside = line.rfind("[" + heading + "]", 0) == 0;
            continue;
        }
        if (!inside)
            continue;
        if (line.empty()) {
            if (heading.empty())
                break;
            continue;
        }
        lines.push_back(heading.empty() ? line : line.substr(line.rfind("  ", 0) == 0 ? 2 : 0));
    }
    return lines;
}

} // namespace cli_test
