// The real program, started offscreen as a user would start it, with a
// prepared settings store and a programme that is due now.
#include "program_process.h"
#include "support/command_output.h"
#include "support/schedule_text.h"
#include "support/temp_dir.h"
#include "common/date_time.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(ProgramEndToEnd, RecordsADueProgrammeAndEndsInOrderOnSigterm) {
    TempDir home;
    const auto schedule = home / "KelboSchedule.txt";
    const auto movies = home / "movies";
    std::filesystem::create_directories(home / "config" / "kelbo");
    writeFile(home / "config" / "kelbo" / "registry.ini",
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n"
              "Template=DVD Full Quality\nStartBuffer=0\nEndBuffer=0\n"
              "ScheduleFile=" + schedule.string() + "\n"
              "FileString=" + (movies / "%programme%-%starttime%.mpg").string() + "\n"
              "CaptureSource=test\n");
    // Started this minute and running for two: due now whatever the second.
    const auto now = toLocalDateTime(std::chrono::system_clock::now()).civil();
    const DateTime start = DateTime::fromCivil(now.year, now.month, now.day, now.hour, now.minute);
    GuideRecord record;
    record.name = "Pattern";
    record.date = start.formatDate();
    record.time = start.formatTime();
    record.duration = "2";
    writeFile(schedule, record.text());

    Program kelbo(home.path());
    kelbo.start();
    const auto began = std::chrono::steady_clock::now();
    while (filesIn(movies).empty() && std::chrono::steady_clock::now() - began < 10s)
        std::this_thread::sleep_for(100ms);
    ASSERT_FALSE(filesIn(movies).empty()) << "no recording started";

    EXPECT_EQ(kelbo.runAgain(), 0) << "a second instance ends at once";
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);

    const std::string hhmm = start.formatTime().substr(0, 2) + start.formatTime().substr(3, 2);
    const auto files = filesIn(movies);
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
    const std::string settings = readFile(home / "config" / "kelbo" / "registry.ini");
    EXPECT_NE(settings.find("i_IndexString="), std::string::npos);
    EXPECT_NE(settings.find("Position_Width="), std::string::npos);
}
