#pragma once
// Runs a program as a user would from a shell and collects its exit status and output; or starts
// it in the background, for a test that acts on it while it runs (a signal, a second program).

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
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
};

// A program started with args; stdout and stderr go through files in scratch so that a chatty
// program cannot block on a full pipe. stdin is /dev/null.
class BackgroundProgram {
public:
    BackgroundProgram(const std::string& program, const std::vector<std::string>& args, const std::string& scratch,
                      const RunOptions& options = {})
        : m_outPath(scratch + "/" + options.name + ".stdout"), m_errPath(scratch + "/" + options.name + ".stderr")
    {
        std::vector<std::string> all = {program};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        // Emptied before the program starts, so that nobody reads an earlier run's output.
        const int out = ::open(m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = ::open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        m_pid = ::fork();
        if (m_pid != 0) {
            ::close(out);
            ::close(err);
            return;
        }
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || (!options.workingDir.empty() && ::chdir(options.workingDir.c_str()) != 0))
            ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (options.asUser >= 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(options.asUser)) != 0 ||
             ::setuid(static_cast<uid_t>(options.asUser)) != 0))
            ::_exit(126);
        if (options.maxFileBytes > 0) {
            ::signal(SIGXFSZ, SIG_IGN);   // an ignored signal stays ignored across exec
            const rlimit limit{static_cast<rlim_t>(options.maxFileBytes), static_cast<rlim_t>(options.maxFileBytes)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ~BackgroundProgram()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Finish();
        }
    }
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    pid_t Pid() const { return m_pid; }
    std::string Err() const { return ReadWholeFile(m_errPath); }
    void Signal(int signal) const
    {
        if (m_pid > 0)
            ::kill(m_pid, signal);
    }

    // Waits until what is true, looking every few milliseconds; false when it is not true
    // within the seconds or the program has ended.
    bool WaitUntil(const std::function<bool()>& what, int seconds = 20) const
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!what()) {
            siginfo_t ended{};
            if (std::chrono::steady_clock::now() > end ||
                (::waitid(P_PID, static_cast<id_t>(m_pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid != 0))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // Waits for the program to end.
    ProgramRun Finish()
    {
        ProgramRun run;
        if (m_pid <= 0)
            return run;
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadWholeFile(m_outPath);
        run.err = ReadWholeFile(m_errPath);
        return run;
    }

private:
    std::string m_outPath, m_errPath;
    pid_t m_pid = -1;
};

inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& scratch, const RunOptions& options = {})
{
    BackgroundProgram running(program, args, scratch, options);
    if (options.killAfterMicroseconds >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(options.killAfterMicroseconds));
        running.Signal(SIGKILL);
    }
    return running.Finish();
}
