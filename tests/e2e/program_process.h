#pragma once

// build/kelbo started as a user starts it, with its own settings, data and
// state folders under `home`, offscreen.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelbo::testing {

class Program {
public:
    explicit Program(const std::filesystem::path& home) : home_(home) {}
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // Standard error goes to this file (appended) instead of the test's.
    void setErrorFile(const std::filesystem::path& file) { errorFile_ = file; }

    void start() { pid_ = spawn(); }
    // Runs a second instance to its end; its exit status.
    int runAgain() {
        const pid_t pid = spawn();
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Sends `signal` and waits for the end; the exit status (128 + the
    // signal for a program the signal ended), -1 on timeout.
    int stop(int signal, std::chrono::seconds timeout) {
        using namespace std::chrono_literals;
        ::kill(pid_, signal);
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }

private:
    pid_t spawn() const {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (home_ / "data").c_str(), 1);
            ::setenv("XDG_STATE_HOME", (home_ / "state").c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            if (!errorFile_.empty()) {
                const int fd = ::open(errorFile_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
                if (fd >= 0) ::dup2(fd, STDERR_FILENO);
            }
            ::execl(KELBO_PROGRAM, KELBO_PROGRAM, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }

    std::filesystem::path home_;
    std::filesystem::path errorFile_;
    pid_t pid_ = 0;
};

}  // namespace kelbo::testing
