#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kelbo::testing {

// A program run as a user runs it, with its own environment additions.
struct ProgramRun {
    int status = -1;  // exit status; 128 + signal when killed; -1 on timeout
    std::string out, err;
};
using Environment = std::map<std::string, std::string>;

// Runs `program` with `arguments` to its end (killed after `timeout`).
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const Environment& environment,
                      std::chrono::seconds timeout = std::chrono::seconds(20));

// The same with its standard error on a terminal of its own (its output
// still on a pipe), as a program started from a shell; the terminal's
// carriage returns are left out of `err`.
ProgramRun runWithTerminal(const std::string& program, const std::vector<std::string>& arguments,
                           const Environment& environment,
                           std::chrono::seconds timeout = std::chrono::seconds(20));

// A program left running in the background, its standard error appended
// to `errorFile` when one is given; killed when still running at the end.
class BackgroundProgram {
public:
    BackgroundProgram() = default;
    BackgroundProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const Environment& environment, const std::filesystem::path& errorFile = {});
    ~BackgroundProgram();
    BackgroundProgram(BackgroundProgram&& other) noexcept;
    BackgroundProgram& operator=(BackgroundProgram&& other) noexcept;

    pid_t pid() const { return pid_; }
    bool running();
    // Sends `signal` and waits for the end; the exit status as runProgram
    // gives it.
    int stop(int signal, std::chrono::seconds timeout);

private:
    pid_t pid_ = 0;
};

// Every regular file below `folder`, sorted.
std::vector<std::filesystem::path> filesBelow(const std::filesystem::path& folder);

}  // namespace kelbo::testing
