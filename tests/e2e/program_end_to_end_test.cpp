// The real program, started offscreen as a user would start it, with a
// prepared settings store and a programme that is due now.
#include "support/command_output.h"
#include "support/recorder_home.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <set>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

TEST(ProgramEndToEnd, RecordsADueProgrammeAndEndsInOrderOnSigterm) {
    RecorderHome home;
    const auto schedule = home.schedule();
    const auto movies = home.movies();
    // Started this minute and running for two: due now whatever the second.
    const DateTime start = startOfThisMinute();
    writeFile(schedule, recordAt("Pattern", start, 2).text());

    BackgroundProgram kelbo(KELBO_PROGRAM, {}, home.environment());
    home.waitForRecording(10s);
    ASSERT_FALSE(filesBelow(movies).empty()) << "no recording started";

    const ProgramRun second = runProgram(KELBO_PROGRAM, {}, home.environment());
    EXPECT_EQ(second.status, 0) << "a second instance ends at once";
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);

    const std::string hhmm = start.formatTime().substr(0, 2) + start.formatTime().substr(3, 2);
    const auto files = filesBelow(movies);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string(), "Pattern-" + hhmm + "1[1.1].mpg");
    const auto info = nlohmann::json::parse(
        commandOutput("ffprobe -v error -show_entries format=format_name,duration:stream=codec_name -of json '" +
            files[0].string() + "'"));
    EXPECT_NE(info["format"]["format_name"].get<std::string>().find("mpeg"), std::string::npos);
    EXPECT_GE(std::stod(info["format"]["duration"].get<std::string>()), 2.0);
    std::set<std::string> codecs;
    for (const auto& stream : info["streams"]) codecs.insert(stream["codec_name"].get<std::string>());
    EXPECT_TRUE(codecs.count("mpeg2video") && codecs.count("mp2"));

    // The schedule was rewritten by the recorder (CR LF, its key order) and
    // the window's layout saved at the end.
    const std::string text = readFile(schedule);
    EXPECT_NE(text.find("ProgrammeName: Pattern\r\n"), std::string::npos);
    EXPECT_NE(text.find("Complete     : "), std::string::npos);
    const std::string settings = readFile(home.settingsFile());
    EXPECT_NE(settings.find("i_IndexString="), std::string::npos);
    EXPECT_NE(settings.find("Position_Width="), std::string::npos);
}
