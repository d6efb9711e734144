// The real program, offscreen on the test pattern, with several tuners:
// three programmes of the same minute recorded at once and each whole in
// its own file with three tuners; with two, the third is blue and not
// recorded. Both recorders run side by side. Needs a real minute.
#include "support/recorder_home.h"
#include "media/media_probe.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;
using SystemClock = std::chrono::system_clock;

namespace {

const std::vector<std::string> kTitles = {"Новости", "大河ドラマ", "نشرة الأخبار"};

// A recorder with `tuners` tuners and the three programmes of the next
// minute, each on a channel of its own.
struct TunerHome {
    TunerHome(int tuners, DateTime minute) {
        std::ofstream(home.settingsFile(), std::ios::app) << "Tuners=" << tuners << "\n";
        std::string text;
        for (std::size_t i = 0; i < kTitles.size(); ++i) {
            GuideRecord record = recordAt(kTitles[i], minute, 1);
            record.channelNumber = std::to_string(1 + i);
            record.channelName = i == 0 ? "Первый канал" : i == 1 ? "NHK総合" : "الجزيرة";
            text += record.text();
        }
        writeFile(home.schedule(), text);
    }
    std::vector<fs::path> working() const {
        std::vector<fs::path> files;
        for (const auto& file : filesBelow(home.movies()))
            if (file.filename().string().find("[1.].mpg") != std::string::npos) files.push_back(file);
        return files;
    }

    RecorderHome home;
};

std::string hhmm(DateTime minute) {
    const std::string time = minute.formatTime();
    return time.substr(0, 2) + time.substr(3, 2);
}

}  // namespace

TEST(ProgramTuners, ThreeTunersRecordThreeProgrammesWholeAndTwoLeaveTheThirdBlue) {
    const auto start = std::chrono::floor<std::chrono::minutes>(SystemClock::now()) + 1min;
    const DateTime minute = toLocalDateTime(start);
    TunerHome three(3, minute), two(2, minute);

    // The guide's view of the schedule: with two tuners the third is blue.
    const ProgramRun listed = runProgram(KELBO_SCHEDULE_TOOL, {"list", "--json", two.home.schedule().string()},
                                         two.home.environment());
    ASSERT_EQ(listed.status, 0) << listed.err;
    const auto rows = nlohmann::json::parse(listed.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2]["colour"], 16711680) << rows.dump();
    EXPECT_NE(rows[1]["colour"], 16711680);

    BackgroundProgram withThree(KELBO_PROGRAM, {}, three.home.environment(), three.home.errorFile());
    BackgroundProgram withTwo(KELBO_PROGRAM, {}, two.home.environment(), two.home.errorFile());

    // Half way through, every tuner writes its programme.
    std::this_thread::sleep_until(start + 30s);
    EXPECT_EQ(three.working().size(), 3u) << readFile(three.home.errorFile());
    EXPECT_EQ(two.working().size(), 2u) << readFile(two.home.errorFile());

    std::this_thread::sleep_until(start + 1min + 5s);
    ASSERT_EQ(withThree.stop(SIGTERM, 15s), 0);
    ASSERT_EQ(withTwo.stop(SIGTERM, 15s), 0);

    for (const std::string& title : kTitles) {
        const fs::path file = three.home.movies() / (title + "-" + hhmm(minute) + "1[1.1].mpg");
        const MediaProbe probe = probeMedia(file);
        ASSERT_TRUE(probe.ok) << file;
        EXPECT_NEAR(probe.duration, 60.0, 1.5) << file << " holds the whole minute";
    }
    EXPECT_EQ(filesBelow(three.home.movies()).size(), 3u);

    const auto recorded = filesBelow(two.home.movies());
    EXPECT_EQ(recorded.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_TRUE(fs::exists(two.home.movies() / (kTitles[i] + "-" + hhmm(minute) + "1[1.1].mpg"))) << kTitles[i];
    EXPECT_EQ(readFile(three.home.errorFile()), "");
    EXPECT_EQ(readFile(two.home.errorFile()), "");
}
