#include "program_process.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <stdlib.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelbo::testing {

namespace {
using namespace std::chrono_literals;

pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            const Environment& environment, int out = -1, int err = -1) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // A test machine has no sound card; where GStreamer's bad plugins are
    // installed the loudspeaker falls back to OpenAL, which says so on standard
    // error. That line is about the machine, not the program under test.
    ::setenv("ALSOFT_LOGLEVEL", "0", 0);
    // The programs speak the session's language: the tests read English
    // whatever the machine's, unless they ask for another.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) ::unsetenv(name);
    ::setenv("LANG", "C.UTF-8", 1);
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (out >= 0) ::dup2(out, STDOUT_FILENO);
    if (err >= 0) ::dup2(err, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

int statusOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}


// Reads both ends to their close (a terminal's end fails once the program
// has closed its side) and waits for the program's end.
ProgramRun collect(pid_t pid, int outFd, int errFd, std::chrono::seconds timeout) {
    ProgramRun run;
    const auto until = std::chrono::steady_clock::now() + timeout;
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    while (open > 0 && std::chrono::steady_clock::now() < until) {
        if (::poll(fds, 2, 100) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? run.out : run.err).append(buffer, static_cast<size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& fd : fds)
        if (fd.fd >= 0) ::close(fd.fd);
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            run.status = statusOf(status);
            return run;
        }
        std::this_thread::sleep_for(20ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return run;
}
}  // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const Environment& environment, std::chrono::seconds timeout) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return {};
    const pid_t pid = spawn(program, arguments, environment, out[1], err[1]);
    ::close(out[1]);
    ::close(err[1]);
    return collect(pid, out[0], err[0], timeout);
}

ProgramRun runWithTerminal(const std::string& program, const std::vector<std::string>& arguments,
                           const Environment& environment, std::chrono::seconds timeout) {
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) return {};
    const int side = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
    int out[2];
    if (side < 0 || ::pipe2(out, O_CLOEXEC) != 0) return {};
    const pid_t pid = spawn(program, arguments, environment, out[1], side);
    ::close(out[1]);
    ::close(side);
    ProgramRun run = collect(pid, out[0], terminal, timeout);
    // The terminal ends its lines with CR LF.
    std::erase(run.err, '\r');
    return run;
}

BackgroundProgram::BackgroundProgram(const std::string& program, const std::vector<std::string>& arguments,
                                     const Environment& environment, const std::filesystem::path& errorFile) {
    const int err =
        errorFile.empty() ? -1 : ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    pid_ = spawn(program, arguments, environment, -1, err);
    if (err >= 0) ::close(err);
}

BackgroundProgram::~BackgroundProgram() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

BackgroundProgram::BackgroundProgram(BackgroundProgram&& other) noexcept : pid_(other.pid_) {
    other.pid_ = 0;
}

BackgroundProgram& BackgroundProgram::operator=(BackgroundProgram&& other) noexcept {
    std::swap(pid_, other.pid_);
    return *this;
}

bool BackgroundProgram::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_) return true;
    pid_ = 0;
    return false;
}

int BackgroundProgram::stop(int signal, std::chrono::seconds timeout) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            return statusOf(status);
        }
        std::this_thread::sleep_for(50ms);
    }
    return -1;
}

std::vector<std::filesystem::path> filesBelow(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace kelbo::testing
