// The real program, offscreen on the test pattern, whose recordings folder
// stops taking new names during a recording: the part keeps its working
// name, the finish notice counts it and names it, and the next start-up
// gives it its final name. Needs a real minute.
#include "support/recorder_home.h"
#include "support/unwritable_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

TEST(ProgramFolderLost, APartThatKeepsItsWorkingNameIsCountedNamedAndRenamedAtTheNextStart) {
    RecorderHome home;
    // Begun with its minute, the programme is recorded whole, and its end is
    // "Recording finished" (short of nine tenths it would be "Recording
    // incomplete", which names no part).
    while (std::chrono::system_clock::now() - toInstant(startOfThisMinute()) > 2s)
        std::this_thread::sleep_for(100ms);
    const DateTime start = startOfThisMinute();
    writeFile(home.schedule(), recordAt("Lost", start, 1).text());
    const std::string working = "Lost-" + start.formatTime().erase(2, 1) + "1[1.].mpg";

    std::string finished;
    {
        BackgroundProgram kelbo(KELBO_PROGRAM, {}, home.environment(), home.errorFile());
        ASSERT_TRUE(home.waitForRecording(10s)) << readFile(home.errorFile());
        std::this_thread::sleep_for(3s);
        UnwritableFolder folder(home.movies());
        if (!folder.applied()) GTEST_SKIP() << "no unwritable folder here: " << folder.why();

        const std::string marker = "Notification \"Recording finished\": ";
        const auto until = std::chrono::steady_clock::now() + 75s;
        while (std::chrono::steady_clock::now() < until && finished.empty()) {
            const std::string log = readFile(home.logFile());
            if (const size_t at = log.find(marker); at != std::string::npos)
                finished = log.substr(at, log.find('\n', at) - at);
            std::this_thread::sleep_for(500ms);
        }
        ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
        EXPECT_TRUE(std::filesystem::exists(home.movies() / working));
    }
    ASSERT_FALSE(finished.empty()) << readFile(home.logFile());
    EXPECT_EQ(finished.find(", 0 bytes"), std::string::npos) << finished;
    EXPECT_NE(finished.find((home.movies() / working).string() + " could not be given its final name"),
              std::string::npos)
        << finished;

    // Started again with the folder writable: the part gets its final name.
    const std::string named = "Lost-" + start.formatTime().erase(2, 1) + "1[1.1].mpg";
    BackgroundProgram again(KELBO_PROGRAM, {}, home.environment(), home.errorFile());
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < until && !std::filesystem::exists(home.movies() / named))
        std::this_thread::sleep_for(200ms);
    ASSERT_EQ(again.stop(SIGTERM, 15s), 0);
    EXPECT_TRUE(std::filesystem::exists(home.movies() / named));
    EXPECT_FALSE(std::filesystem::exists(home.movies() / working));
}
