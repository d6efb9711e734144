// The real program recording a programme while the user edits the schedule
// file in a text editor: what the user changed, removed and added must be
// in the file after the recording finishes, with the recorder's mark.
// Needs a real minute or two.
#include "support/recorder_home.h"
#include "common/schedule_format.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sstream>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

std::vector<ScheduleItem> records(const std::string& text) {
    std::istringstream in(text);
    ScheduleReader reader(in);
    std::vector<ScheduleItem> items;
    while (auto r = reader.next())
        if (r->accepted) items.push_back(r->item);
    return items;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST(ProgramScheduleEdits, EditsMadeDuringARecordingAreInTheFileAfterItsFinish) {
    RecorderHome home;
    const fs::path schedule = home.schedule();
    const DateTime start = startOfThisMinute();
    GuideRecord later = recordAt("Later", start.plusMinutes(24 * 60), 30);
    later.channelNumber = "2";
    GuideRecord gone = recordAt("Gone", start.plusMinutes(26 * 60), 30);
    gone.channelNumber = "3";
    writeFile(schedule, recordAt("Now", start, 2).text() + later.text() + gone.text());

    BackgroundProgram kelbo(KELBO_PROGRAM, {}, home.environment(), home.errorFile());
    ASSERT_TRUE(home.waitForRecording(10s)) << readFile(home.errorFile());
    std::this_thread::sleep_for(1s);  // the start's own rewrite is done

    // As an editor saves: the whole file anew, one length changed, one
    // record deleted, one added by hand.
    std::string text = readFile(schedule);
    const size_t laterAt = text.find("ProgrammeName: Later");
    ASSERT_NE(laterAt, std::string::npos) << text;
    text = text.substr(0, laterAt) + replaced(text.substr(laterAt), "Duration     : 30", "Duration     : 45");
    text.erase(text.find("ProgrammeName: Gone"));
    GuideRecord added = recordAt("Добавлено", start.plusMinutes(28 * 60), 30);
    added.channelNumber = "4";
    writeFile(schedule, text + added.text());

    // The programme ends within two minutes of its start.
    const auto deadline = std::chrono::steady_clock::now() + 150s;
    while (readFile(schedule).find("Complete     : Recorded") == std::string::npos && kelbo.running() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(500ms);
    ASSERT_EQ(kelbo.stop(SIGTERM, 15s), 0);

    const auto items = records(readFile(schedule));
    ASSERT_EQ(items.size(), 3u) << readFile(schedule);
    EXPECT_EQ(items[0].ProgrammeName, "Now");
    EXPECT_EQ(items[0].Complete, "Recorded");
    EXPECT_EQ(items[1].ProgrammeName, "Later");
    EXPECT_EQ(items[1].Duration, "45");
    EXPECT_EQ(items[1].Complete, "");
    EXPECT_EQ(items[2].ProgrammeName, "Добавлено");
}
