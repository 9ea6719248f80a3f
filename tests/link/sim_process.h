#pragma once
// Runs gateway-sim as a child process on a new pseudo-terminal for the length of a test.

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

class SimProcess {
public:
    // Starts the simulator with the extra arguments; Path() is then the terminal to open.
    explicit SimProcess(std::vector<std::string> args)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        // A simulator left behind by a failed test stops by itself after a minute.
        std::vector<std::string> all = {GATEWAY_SIM_PATH};
        if (std::find(args.begin(), args.end(), "--idle-exit") == args.end())
            all.insert(all.end(), {"--idle-exit", "60"});
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        // The simulator prints its terminal's path as its first line.
        std::string line;
        char c = 0;
        pollfd pfd{out[0], POLLIN, 0};
        while (m_pid > 0 && poll(&pfd, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        close(out[0]);
        m_path = line;
    }

    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& Path() const { return m_path; }
    bool Running() const { return m_pid > 0 && !m_path.empty(); }

    // SIGTERM and wait; the exit status, or -1.
    int Stop()
    {
        if (m_pid <= 0)
            return m_status;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_status;
    }

    // Waits for the simulator to end by itself (idle exit, dropped line).
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
