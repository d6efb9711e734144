// The real program, offscreen on the test pattern, recording two
// programmes back to back: the second must start on time although the
// first left the device muted and its stream stopped. Needs a real minute.
#include "support/recorder_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;
using SystemClock = std::chrono::system_clock;

namespace {

// The tick that finishes the first programme also starts the second.
constexpr auto kLateAtMost = 500ms;

GuideRecord programme(const std::string& name, SystemClock::time_point start) {
    return recordAt(name, toLocalDateTime(start), 1);
}

std::string hhmm(SystemClock::time_point start) {
    const std::string time = toLocalDateTime(start).formatTime();
    return time.substr(0, 2) + time.substr(3, 2);
}

}  // namespace

TEST(BackToBackProgrammes, TheSecondStartsOnTimeAndEachHasOneFile) {
    RecorderHome home;
    const fs::path schedule = home.schedule();
    const fs::path movies = home.movies();
    const fs::path errors = home.errorFile();
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    // The first programme runs from the next minute to the one after, where
    // the second begins: both are recorded whole, so the recorder has
    // nothing to report.
    const auto first = std::chrono::floor<std::chrono::minutes>(SystemClock::now()) + 1min;
    const auto second = first + 1min;
    writeFile(schedule, programme("First", first).text() + programme("Second", second).text());

    Environment environment = home.environment();
    environment["XDG_RUNTIME_DIR"] = (home / "runtime").string();
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, environment, errors);
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
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);

    const auto files = filesBelow(movies);
    EXPECT_EQ(files, (std::vector<fs::path>{movies / ("First-" + hhmm(first) + "1[1.1].mpg"),
                                            movies / ("Second-" + hhmm(second) + "1[1.1].mpg")}));
    for (const auto& file : filesBelow(movies))
        EXPECT_GT(fs::file_size(file), 0u) << file << " is empty";
    EXPECT_EQ(readFile(errors), "") << "messages on standard error";
}
