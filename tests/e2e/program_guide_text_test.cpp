// The real program recording a programme whose title and channel name are
// markup naming a file without end (/dev/zero), offscreen and on a desktop
// (Xvfb with openbox, the mouse resting on the status bar): it records
// on, answers kelbo --status and stays small.
#include "support/desktop.h"
#include "support/recorder_home.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <fstream>
#include <optional>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const std::string kTitle = R"(<img src="/dev/zero">)";
const std::string kChannel = R"(<b>Первый</b> &amp; <img src="/dev/zero">)";

// The program's resident memory in KiB, 0 once it has gone.
long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

class ProgramGuideText : public ::testing::TestWithParam<bool> {};

}  // namespace

TEST_P(ProgramGuideText, MarkupInTheTitleIsShownAsTextAndTheRecorderAnswersOn) {
    const bool onADesktop = GetParam();
    std::optional<Desktop> desktop;
    RecorderHome home;
    GuideRecord hostile = recordAt(kTitle, startOfThisMinute(), 2);
    hostile.channelName = kChannel;
    writeFile(home.schedule(), hostile.text());
    Environment environment = home.environment();
    if (onADesktop) {
        desktop.emplace();
        ASSERT_FALSE(desktop->display().empty()) << "Xvfb did not start";
        ASSERT_TRUE(desktop->managed()) << "openbox did not start";
        environment["DISPLAY"] = desktop->display();
        environment["QT_QPA_PLATFORM"] = "xcb";
    }
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, environment, home.errorFile());
    ASSERT_TRUE(home.waitForRecording(15s)) << readFile(home.errorFile());
    if (desktop) {
        // Wide enough for the programme's panel to take most of the status
        // bar, and the mouse resting on it until its tooltip comes up.
        const std::string visible = "search --onlyvisible --pid " + std::to_string(kelbo.pid());
        const std::string windows = desktop->xdotool(visible + " --name '^Kelbo$'");
        ASSERT_FALSE(windows.empty()) << "the main window is not on the desktop";
        const std::string window = windows.substr(0, windows.find('\n'));
        desktop->xdotool("windowsize " + window + " 1200 500");
        const std::string before = desktop->xdotool(visible);
        std::string after = before;
        for (int x = 600; x < 640 && after == before; x += 4) {
            desktop->xdotool("mousemove --window " + window + " " + std::to_string(x) + " 486");
            std::this_thread::sleep_for(1s);
            after = desktop->xdotool(visible);
        }
        EXPECT_NE(after, before) << "no tooltip came up";
    }

    // Every tick lays the panels and the tray's tip out again.
    for (int ask = 0; ask < 4; ++ask) {
        std::this_thread::sleep_for(1s);
        const ProgramRun run = runProgram(KELBO_PROGRAM, {"--status", "--json"}, environment, 10s);
        ASSERT_EQ(run.status, 0) << "kelbo --status, ask " << ask << ": " << run.err;
        const auto status = nlohmann::json::parse(run.out);
        EXPECT_TRUE(status["recording"].get<bool>());
        EXPECT_NE(status["programme"].get<std::string>().find(kTitle), std::string::npos)
            << status["programme"];
        EXPECT_LT(residentKiB(kelbo.pid()), 400 * 1024) << "the recorder reads what the markup names";
    }
    EXPECT_TRUE(kelbo.running());
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0) << readFile(home.errorFile());
    ASSERT_EQ(filesBelow(home.movies()).size(), 1u);
    EXPECT_GT(std::filesystem::file_size(filesBelow(home.movies())[0]), 0u);
}

INSTANTIATE_TEST_SUITE_P(OffscreenAndOnADesktop, ProgramGuideText, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& run) {
                             return run.param ? "OnADesktop" : "Offscreen";
                         });
