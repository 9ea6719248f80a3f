#include "support/run_program.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

#include "cli/gatewaycfg.h"

BackgroundProgram::BackgroundProgram(const std::string& program, const std::vector<std::string>& args,
                                     const std::string& scratch, const RunOptions& options)
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

BackgroundProgram::~BackgroundProgram()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        Finish();
    }
}

void BackgroundProgram::Signal(int signal) const
{
    if (m_pid > 0)
        ::kill(m_pid, signal);
}

bool BackgroundProgram::WaitUntil(const std::function<bool()>& what, int seconds) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!what()) {
        siginfo_t ended{};
        if (m_pid <= 0 || std::chrono::steady_clock::now() > end ||
            (::waitid(P_PID, static_cast<id_t>(m_pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid != 0))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

ProgramRun BackgroundProgram::Finish()
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

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& scratch,
                      const RunOptions& options)
{
    BackgroundProgram running(program, args, scratch, options);
    if (options.killAfterMicroseconds >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(options.killAfterMicroseconds));
        running.Signal(SIGKILL);
    }
    return running.Finish();
}

ServingProcess::ServingProcess(const std::vector<std::string>& argv)
    : m_name(argv.at(0)), m_program(m_name, {argv.begin() + 1, argv.end()}, m_output.Path().string(), RunOptions::Named("serving"))
{
    std::string out;
    if (m_program.WaitUntil([&] { return (out = m_program.Out()).find('\n') != std::string::npos; }, 15))
        m_path = out.substr(0, out.find('\n'));
}

int ServingProcess::Stop()
{
    m_program.Signal(SIGTERM);
    return Wait();
}

int ServingProcess::Wait()
{
    if (m_program.Pid() <= 0)
        return m_status;
    const ProgramRun run = m_program.Finish();
    m_status = run.status;
    if (m_status != 0 && !run.err.empty())
        std::fprintf(stderr, "%s ended with %d:\n%s", m_name.c_str(), m_status, run.err.c_str());
    return m_status;
}

ProgramRun RunTool(const std::vector<std::string>& args)
{
    std::vector<const char*> argv{"gatewaycfg"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    ProgramRun result;
    result.status = gw::RunGatewayCfg(static_cast<int>(argv.size()), argv.data(), out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}
