#pragma once

#include "platform/PathText.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/WindowsShell.h"

#include <windows.h>
#else
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace veskaro::test {

/// A program started with its arguments in a process of its own, which the test waits for within bounds;
/// one still running when its owner ends is killed.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
#ifdef _WIN32
        std::string line = WindowsShell::quotedArgument(program);
        for (const std::string& argument : arguments)
            line += " " + WindowsShell::quotedArgument(argument);
        std::wstring wide = wideText(line);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            m_process = process.hProcess;
        }
#else
        std::vector<std::string> texts{program};
        texts.insert(texts.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& text : texts)
            argv.push_back(text.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
#endif
    }
    ~ChildProcess() {
        if (started() && wait() == kStillRunning) {
#ifdef _WIN32
            TerminateProcess(m_process, 1);
            WaitForSingleObject(m_process, INFINITE);
#else
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
#endif
        }
#ifdef _WIN32
        if (m_process)
            CloseHandle(m_process);
#endif
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// What wait returns for a process that has not ended within its bounds.
    static constexpr int kStillRunning = -1;

    bool started() const {
#ifdef _WIN32
        return m_process != nullptr;
#else
        return m_pid > 0;
#endif
    }

    /// Waits up to a minute for the process to end and returns its exit status, or kStillRunning.
    int wait() {
#ifdef _WIN32
        DWORD status = 0;
        if (WaitForSingleObject(m_process, 60000) != WAIT_OBJECT_0 || !GetExitCodeProcess(m_process, &status))
            return kStillRunning;
        return static_cast<int>(status);
#else
        if (m_status != kStillRunning)
            return m_status;
        for (int wait = 0; wait < 6000; ++wait) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return m_status;
            }
            ::usleep(10000);
        }
        return kStillRunning;
#endif
    }

private:
#ifdef _WIN32
    HANDLE m_process = nullptr;
#else
    pid_t m_pid = -1;
    int m_status = kStillRunning;
#endif
};

} // namespace veskaro::test
