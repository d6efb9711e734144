// The real program, offscreen on the test pattern, recording two
// programmes back to back: the second must start on time although the
// first left the device muted and its stream stopped. Needs a real minute.
#include "support/schedule_text.h"
#include "support/temp_dir.h"
#include "common/date_time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <csignal>
#include <fcntl.h>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;
using SystemClock = std::chrono::system_clock;

namespace {

// The tick that finishes the first programme also starts the second.
constexpr auto kLateAtMost = 500ms;

// build/kelbo with its own settings and data folders, offscreen, its
// standard error kept in a file.
class Program {
public:
    Program(const fs::path& home, const fs::path& errors) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
            ::setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, STDERR_FILENO);
            ::execl(KELBO_PROGRAM, KELBO_PROGRAM, static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

    // Sends SIGTERM and waits for the end; the exit status, -1 on timeout.
    int terminate(std::chrono::seconds timeout) {
        ::kill(pid_, SIGTERM);
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
    pid_t pid_ = 0;
};

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

GuideRecord programme(const std::string& name, SystemClock::time_point start) {
    const DateTime local = toLocalDateTime(start);
    GuideRecord record;
    record.name = name;
    record.date = local.formatDate();
    record.time = local.formatTime();
    record.duration = "1";
    return record;
}

std::string hhmm(SystemClock::time_point start) {
    const std::string time = toLocalDateTime(start).formatTime();
    return time.substr(0, 2) + time.substr(3, 2);
}

}  // namespace

TEST(BackToBackProgrammes, TheSecondStartsOnTimeAndEachHasOneFile) {
    TempDir home;
    const fs::path schedule = home / "KelboSchedule.txt";
    const fs::path movies = home / "movies";
    const fs::path errors = home / "stderr.txt";
    fs::create_directories(home / "config" / "kelbo");
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    writeFile(home / "config" / "kelbo" / "registry.ini",
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n"
              "Template=DVD Full Quality\nStartBuffer=0\nEndBuffer=0\n"
              "ScheduleFile=" + schedule.string() + "\n"
              "FileString=" + (movies / "%programme%-%starttime%.mpg").string() + "\n"
              "CaptureSource=test\n");
    // The first programme runs from the next minute to the one after, where
    // the second begins: both are recorded whole, so the recorder has
    // nothing to report.
    const auto first = std::chrono::floor<std::chrono::minutes>(SystemClock::now()) + 1min;
    const auto second = first + 1min;
    writeFile(schedule, programme("First", first).text() + programme("Second", second).text());

    Program kelbo(home.path(), errors);
    const fs::path firstWorking = movies / ("First-" + hhmm(first) + "1[1.].mpg");
    const fs::path secondWorking = movies / ("Second-" + hhmm(second) + "1[1.].mpg");
    const auto firstDue = std::max<SystemClock::time_point>(SystemClock::now(), first);
    while (!fs::exists(firstWorking) && kelbo.running() && SystemClock::now() < firstDue + 20s)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(fs::exists(firstWorking))
        << "the first programme did not start; standard error: " << readFile(errors);

    // The moment the second programme's file appears, to within 5 ms.
    while (!fs::exists(secondWorking) && kelbo.running() && SystemClock::now() < second + 10s)
        std::this_thread::sleep_for(5ms);
    const auto appeared = SystemClock::now();
    ASSERT_TRUE(fs::exists(secondWorking))
        << "the second programme did not start; standard error: " << readFile(errors);
    const auto late = std::chrono::duration<double, std::milli>(appeared - second);
    RecordProperty("SecondStartLateMs", std::to_string(late.count()));
    std::cout << "The second programme's file appeared " << late.count() << " ms after its start\n";
    EXPECT_LT(late, kLateAtMost) << "the second programme started " << late.count() << " ms late";

    std::this_thread::sleep_for(3s);
    ASSERT_EQ(kelbo.terminate(15s), 0);

    const auto files = filesIn(movies);
    EXPECT_EQ(files, (std::vector<fs::path>{movies / ("First-" + hhmm(first) + "1[1.1].mpg"),
                                            movies / ("Second-" + hhmm(second) + "1[1.1].mpg")}));
    for (const auto& file : filesIn(movies))
        EXPECT_GT(fs::file_size(file), 0u) << file << " is empty";
    EXPECT_EQ(readFile(errors), "") << "messages on standard error";
}
