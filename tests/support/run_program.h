#pragma once
// The one way tests run programs: a program started in the background with its output going to
// files (BackgroundProgram), run to its end (RunProgram), or serving a line for the length of a
// test (ServingProcess); and gatewaycfg's command line inside the test process (RunTool).

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

struct ProgramRun {
    int status = -1;   // the exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

struct RunOptions {
    std::string workingDir;   // empty: the caller's
    long maxFileBytes = 0;    // > 0: no file the program writes may grow past this (RLIMIT_FSIZE),
                              // which makes writing fail even for root
    long killAfterMicroseconds = -1;   // >= 0: SIGKILL the program after this time (RunProgram)
    int asUser = -1;          // >= 0 (when the test runs as root): run as this user and group id
    std::string name = "run"; // the output goes to NAME.stdout and NAME.stderr in the scratch folder

    static RunOptions Named(const std::string& name)
    {
        RunOptions options;
        options.name = name;
        return options;
    }
};

// A program started with args; stdout and stderr go through files in scratch so that a chatty
// program cannot block on a full pipe. stdin is /dev/null. It is killed when the object goes.
class BackgroundProgram {
public:
    BackgroundProgram(const std::string& program, const std::vector<std::string>& args, const std::string& scratch,
                      const RunOptions& options = {});
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    pid_t Pid() const { return m_pid; }
    std::string Out() const { return ReadWholeFile(m_outPath); }
    std::string Err() const { return ReadWholeFile(m_errPath); }
    void Signal(int signal) const;

    // Waits until what is true, looking every few milliseconds; false when it is not true
    // within the seconds or the program has ended.
    bool WaitUntil(const std::function<bool()>& what, int seconds = 20) const;

    // Waits for the program to end.
    ProgramRun Finish();

private:
    std::string m_outPath, m_errPath;
    pid_t m_pid = -1;
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& scratch,
                      const RunOptions& options = {});

// A program that serves a line (a simulator, a test slave) for the length of a test. It prints
// the path of the terminal to open (or another address) as its first line; its output is kept in
// a folder of its own, and what it logged is shown on the test's stderr when it fails.
class ServingProcess {
public:
    explicit ServingProcess(const std::vector<std::string>& argv);
    ~ServingProcess() { Stop(); }
    ServingProcess(const ServingProcess&) = delete;
    ServingProcess& operator=(const ServingProcess&) = delete;

    const std::string& Path() const { return m_path; }
    bool Running() const { return m_program.Pid() > 0 && !m_path.empty(); }
    // What it has logged on stderr so far.
    std::string Err() const { return m_program.Err(); }

    // SIGTERM and wait; the exit status, or -1.
    int Stop();
    // Waits for the program to end by itself (idle exit, dropped line); the exit status, or -1.
    int Wait();

private:
    std::string m_name;
    ScratchFolder m_output;
    BackgroundProgram m_program;
    std::string m_path;
    int m_status = -1;
};

// gatewaycfg's command line run inside the test process, with its output caught.
ProgramRun RunTool(const std::vector<std::string>& args);
