// The real program, offscreen on the test pattern, stopped for 15 s in the
// middle of a recording (SIGSTOP, as a machine that stalls) and let go:
// GStreamer stays quiet and the finish tells the pictures that were lost.
// Needs a real minute.
#include "support/recorder_home.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

TEST(ProgramStall, AFifteenSecondStallIsToldAtTheFinishAndGStreamerStaysQuiet) {
    RecorderHome home;
    // A one-minute programme due now, with room for the stall in it.
    while (std::chrono::system_clock::now() - toInstant(startOfThisMinute()) > 15s)
        std::this_thread::sleep_for(500ms);
    writeFile(home.schedule(), recordAt("Stall", startOfThisMinute(), 1).text());

    BackgroundProgram kelbo(KELBO_PROGRAM, {}, home.environment(), home.errorFile());
    ASSERT_TRUE(home.waitForRecording(10s)) << readFile(home.errorFile());
    std::this_thread::sleep_for(5s);
    ASSERT_EQ(::kill(kelbo.pid(), SIGSTOP), 0);
    std::this_thread::sleep_for(15s);
    ASSERT_EQ(::kill(kelbo.pid(), SIGCONT), 0);

    // The finish is logged once the programme's minute is over.
    const auto until = std::chrono::steady_clock::now() + 75s;
    std::string log;
    while (std::chrono::steady_clock::now() < until) {
        log = readFile(home.logFile());
        if (log.find("Finished \"Stall\"") != std::string::npos) break;
        std::this_thread::sleep_for(500ms);
    }
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
    const std::string errors = readFile(home.errorFile());
    EXPECT_EQ(errors.find("GStreamer-CRITICAL"), std::string::npos) << errors.substr(0, 2000);
    const size_t finished = log.find("Finished \"Stall\"");
    ASSERT_NE(finished, std::string::npos) << log;
    const std::string line = log.substr(finished, log.find('\n', finished) - finished);
    if (log.find("pictures skipped in") != std::string::npos) {
        EXPECT_NE(line.find(" pictures skipped"), std::string::npos) << "the encoder skipped: " << line;
    }
}
