#pragma once
// Runs a program as a user would from a shell and collects its exit status and output.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
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
    long killAfterMicroseconds = -1;   // >= 0: SIGKILL the program after this time
};

// Runs program with args; stdout and stderr go through files in scratch so that a chatty
// program cannot block on a full pipe. stdin is /dev/null.
inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& scratch, const RunOptions& options = {})
{
    const std::string outPath = scratch + "/run.stdout";
    const std::string errPath = scratch + "/run.stderr";
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ProgramRun run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || (!options.workingDir.empty() && ::chdir(options.workingDir.c_str()) != 0))
            ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (options.maxFileBytes > 0) {
            ::signal(SIGXFSZ, SIG_IGN);   // an ignored signal stays ignored across exec
            const rlimit limit{static_cast<rlim_t>(options.maxFileBytes), static_cast<rlim_t>(options.maxFileBytes)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid < 0)
        return run;
    if (options.killAfterMicroseconds >= 0) {
        ::usleep(static_cast<useconds_t>(options.killAfterMicroseconds));
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadWholeFile(outPath);
    run.err = ReadWholeFile(errPath);
    return run;
}
