// A second start of the program for the same user (a menu, a script, a
// second click) brings the running recorder forward and ends at once: it
// waits for nobody and says so in one line, only to a terminal.
#include "support/desktop.h"
#include "support/recorder_home.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

// Once the recorder answers a command, its start-up is over.
bool waitUntilAnswering(const Environment& environment, std::chrono::seconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (runProgram(KELBO_PROGRAM, {"--status"}, environment, 5s).status != 0) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

}  // namespace

TEST(ProgramSecondStart, EndsWithStatusZeroAndOneLineOnlyWhenStartedFromATerminal) {
    RecorderHome home;
    writeFile(home.schedule(), "");
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, home.environment(), home.errorFile());
    ASSERT_TRUE(waitUntilAnswering(home.environment(), 15s)) << readFile(home.errorFile());

    const ProgramRun piped = runProgram(KELBO_PROGRAM, {}, home.environment(), 10s);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, "");
    EXPECT_EQ(piped.err, "") << "a script's log gets nothing";

    const ProgramRun fromTerminal = runWithTerminal(KELBO_PROGRAM, {}, home.environment(), 10s);
    EXPECT_EQ(fromTerminal.status, 0);
    EXPECT_EQ(fromTerminal.out, "");
    EXPECT_EQ(fromTerminal.err,
              "kelbo: Kelbo is already running for this user; its window has been brought forward.\n");

    EXPECT_TRUE(kelbo.running());
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
}

TEST(ProgramSecondStart, OnADesktopTheWindowComesBackFromTheTrayAndNothingWaitsForOk) {
    Desktop desktop;
    ASSERT_FALSE(desktop.display().empty()) << "Xvfb did not start";
    ASSERT_TRUE(desktop.managed()) << "openbox did not start";
    BackgroundProgram trayer("/usr/bin/trayer",
                             {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
                              "--heighttype", "pixel", "--height", "28"},
                             {{"DISPLAY", desktop.display()}});
    std::this_thread::sleep_for(1s);  // the tray is taken before the recorder looks for it

    RecorderHome home;
    writeFile(home.schedule(), "");
    writeFile(home.settingsFile(), readFile(home.settingsFile()) + "StartInSystemTray=1\nMinimizeToSystem=1\n");
    Environment environment = home.environment();
    environment["DISPLAY"] = desktop.display();
    environment["QT_QPA_PLATFORM"] = "xcb";
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, environment, home.errorFile());
    ASSERT_TRUE(waitUntilAnswering(environment, 15s)) << readFile(home.errorFile());
    const std::string mainWindow = "search --all --onlyvisible --pid " + std::to_string(kelbo.pid()) + " --name '^Kelbo$'";
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(desktop.xdotool(mainWindow), "") << "the window starts in the tray";

    const ProgramRun second = runProgram(KELBO_PROGRAM, {}, environment, 10s);
    EXPECT_EQ(second.status, 0) << "no box waits for OK";
    std::string shown;
    for (int i = 0; i < 150 && shown.empty(); ++i) {  // a loaded machine maps windows slowly
        std::this_thread::sleep_for(100ms);
        shown = desktop.xdotool(mainWindow);
    }
    EXPECT_NE(shown, "") << "the running window came forward\n"
                         << "second start's error output: " << second.err << "\nrecorder's log:\n"
                         << readFile(home.logFile()) << "\nrecorder's error output:\n"
                         << readFile(home.errorFile()) << "\nits windows, shown or not: "
                         << desktop.xdotool("search --all --pid " + std::to_string(kelbo.pid()) + " --name '^Kelbo$'");
    EXPECT_EQ(desktop.windowsNamed("Kelbo"), shown) << "and no other window of that name";

    EXPECT_TRUE(kelbo.running());
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);
}
