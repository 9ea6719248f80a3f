#pragma once
// Runs a program that serves a line (a simulator, a test slave) as a child process for the
// length of a test. The program prints the path of the terminal to open as its first line.

#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

class ServingProcess {
public:
    // log, when given, is the file its stderr goes to (what it logs); else the test's stderr.
    explicit ServingProcess(std::vector<std::string> argv, const std::string& log = {})
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        std::vector<char*> args;
        for (auto& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (!log.empty())
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        std::string line;
        char c = 0;
        pollfd pfd{out[0], POLLIN, 0};
        while (m_pid > 0 && poll(&pfd, 1, 15000) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        close(out[0]);
        m_path = line;
    }

    ~ServingProcess() { Stop(); }
    ServingProcess(const ServingProcess&) = delete;
    ServingProcess& operator=(const ServingProcess&) = delete;

    const std::string& Path() const { return m_path; }
    bool Running() const { return m_pid > 0 && !m_path.empty(); }

    // SIGTERM and wait; the exit status, or -1.
    int Stop()
    {
        if (m_pid > 0)
            kill(m_pid, SIGTERM);
        return Wait();
    }

    // Waits for the program to end by itself (idle exit, dropped line).
    int Wait()
    {
        if (m_pid <= 0)
            return m_status;
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_status;
    }

private:
    pid_t m_pid = -1;
    std::string m_path;
    int m_status = -1;
};
