// The real program on a real desktop (Xvfb with a window manager): a
// notice box left open by nobody at the desk does not stop the recording
// of the next programme.
#include "support/command_output.h"
#include "support/desktop.h"
#include "support/recorder_home.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

std::string recordWithFileName(GuideRecord record, const std::string& fileName) {
    std::string text = record.text();
    text.insert(text.rfind("----------BREAK"), "FileName     : " + fileName + "\r\n");
    return text;
}

}  // namespace

TEST(ProgramOnADesktop, TheNextProgrammeIsRecordedWhileAnEarlierNoticeIsStillOpen) {
    Desktop desktop;
    ASSERT_FALSE(desktop.display().empty()) << "Xvfb did not start";
    ASSERT_TRUE(desktop.managed()) << "openbox did not start";

    RecorderHome home;
    const auto schedule = home.schedule();
    const auto movies = home.movies();
    // Programme A is due now but its folder cannot be made (it lies below a
    // plain file, which stops root too); B follows when A ends, at least 20
    // seconds from now.
    writeFile(home / "afile", "");
    const auto now = toLocalDateTime(std::chrono::system_clock::now()).civil();
    const DateTime a = DateTime::fromCivil(now.year, now.month, now.day, now.hour, now.minute);
    const int aMinutes = now.second < 40 ? 1 : 2;
    const GuideRecord first = recordAt("Unwritable", a, aMinutes);
    GuideRecord second = recordAt("Following", a.plusMinutes(aMinutes), 2);
    second.channelNumber = "102";
    writeFile(schedule, recordWithFileName(first, (home / "afile" / "sub" / "A.mpg").string()) + second.text());

    Environment environment = home.environment();
    environment["DISPLAY"] = desktop.display();
    environment["QT_QPA_PLATFORM"] = "xcb";
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, environment);

    const auto began = std::chrono::steady_clock::now();
    std::string noticeOfA;
    while (noticeOfA.empty() && std::chrono::steady_clock::now() - began < 15s) {
        std::this_thread::sleep_for(250ms);
        noticeOfA = desktop.windowsNamed("Error creating file");
    }
    ASSERT_FALSE(noticeOfA.empty()) << "A's notice never appeared";

    const auto bDue = began + std::chrono::seconds(60 * aMinutes + 30);
    while (filesBelow(movies).empty() && std::chrono::steady_clock::now() < bDue)
        std::this_thread::sleep_for(250ms);
    ASSERT_FALSE(filesBelow(movies).empty()) << "B was not recorded while A's notice was open";
    EXPECT_EQ(desktop.windowsNamed("Error creating file"), noticeOfA) << "the same box, still open";
    EXPECT_TRUE(kelbo.running());

    std::this_thread::sleep_for(3s);
    ASSERT_EQ(kelbo.stop(SIGTERM, std::chrono::seconds(15)), 0);
    const auto files = filesBelow(movies);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string().rfind("Following-", 0), 0u) << files[0];
    EXPECT_GT(std::filesystem::file_size(files[0]), 0u);
    const std::string log = readFile(home.logFile());
    EXPECT_NE(log.find("Notice \"Error creating file\""), std::string::npos) << log;
}
