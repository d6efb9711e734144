// The desktop notifications of a recording: started, finished with its
// length and size, failed with the reason; never a box that waits.
#include "recorder/engine/recording_notices.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

class RecordingNoticesTest : public ::testing::Test {
protected:
    RecordingNoticesTest() : rig(kEight.plusMinutes(-60)) {}

    void startFilmAtEight() {
        rig.loadSchedule(programme("Film", kEight, 30).text());
        rig.clock.set(toInstant(kEight) + 400ms);
        rig.tick();
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> t;
        for (const auto& a : rig.messages.announced) t.push_back(a.title);
        return t;
    }

    RecorderRig rig;
};

}  // namespace

TEST(RecordingNoticeTexts, SayWhatHappenedToWhichProgramme) {
    const RecordingNotice started = recordingStartedNotice("\"News\" on BBC1", "/home/u/Videos/News-20001[1.].mpg");
    EXPECT_EQ(started.title, "Recording started");
    EXPECT_EQ(started.text, "Recording \"News\" on BBC1 into News-20001[1.].mpg");

    const RecordingNotice finished = recordingFinishedNotice("\"News\" on BBC1", {30 * 60000 + 5000, 1536u * 1024 * 1024, 0, {}});
    EXPECT_EQ(finished.title, "Recording finished");
    EXPECT_EQ(finished.text, "Recorded \"News\" on BBC1: 00:30:05, 1.5 GB");

    EXPECT_EQ(recordingFailedNotice("\"News\" on BBC1", "No space left on device").text,
              "\"News\" on BBC1 was not recorded: No space left on device");
    EXPECT_EQ(recordingFailedNotice("\"News\" on BBC1", "").text,
              "\"News\" on BBC1 was not recorded: the device recorded nothing");
    EXPECT_TRUE(recordingFailedNotice("\"News\" on BBC1", "").recordingLost);
    EXPECT_FALSE(finished.recordingLost);
    EXPECT_FALSE(started.recordingLost);
}

TEST(RecordingNoticeTexts, NameTheChannelOnlyWhenThereIsOne) {
    EXPECT_EQ(noticeProgrammeText("News", "BBC1"), "\"News\" on BBC1");
    EXPECT_EQ(noticeProgrammeText("Home video", "-NA-"), "\"Home video\"");
    EXPECT_EQ(noticeProgrammeText("Home video", ""), "\"Home video\"");
    EXPECT_EQ(noticeProgrammeText("Tom & Jerry <Live>", "  "), "\"Tom & Jerry <Live>\"");
}

TEST_F(RecordingNoticesTest, ARecordingAnnouncesItsStartAndItsFinishWithLengthAndSize) {
    startFilmAtEight();
    ASSERT_EQ(titles(), (std::vector<std::string>{"Recording started"}));
    EXPECT_EQ(rig.messages.announced[0].text, "Recording \"Film\" on Channel101 into Film-20001[1.].mpg");
    rig.device.grow(3 * 1024 * 1024);
    rig.run(31min);
    ASSERT_EQ(titles(), (std::vector<std::string>{"Recording started", "Recording finished"}));
    const std::string text = rig.messages.announced[1].text;
    // Started 400 ms into the programme, so a little short of 30 minutes.
    EXPECT_EQ(text, "Recorded \"Film\" on Channel101: 00:29:59, 3.0 MB");
    ASSERT_EQ(rig.messages.announced[1].files.size(), 1u) << "what Play and Show in Folder open";
    EXPECT_EQ(std::filesystem::path(rig.messages.announced[1].files[0]).filename(), "Film-20001[1.1].mpg");
    EXPECT_TRUE(std::filesystem::exists(rig.messages.announced[1].files[0]));
    EXPECT_FALSE(rig.messages.announced[1].recordingLost);
    EXPECT_TRUE(rig.messages.shown.empty()) << "no box for news: " << rig.messages.shown[0].title;
}

TEST_F(RecordingNoticesTest, ARecordingOfNothingAnnouncesItsFailure) {
    startFilmAtEight();
    ASSERT_FALSE(rig.device.capturing.empty());
    std::filesystem::resize_file(rig.device.capturing, 0);
    rig.run(31min);
    ASSERT_EQ(titles(), (std::vector<std::string>{"Recording started", "Recording failed"}));
    EXPECT_EQ(rig.messages.announced[1].text, "\"Film\" on Channel101 was not recorded: the device recorded nothing");
    EXPECT_TRUE(rig.messages.announced[1].recordingLost) << "the one notice kept until seen";
    EXPECT_TRUE(rig.messages.shown.empty()) << "and no box besides";
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
}

TEST_F(RecordingNoticesTest, AFailedWriteIsReportedOnceWithItsReason) {
    startFilmAtEight();
    rig.device.failWrite("No space left on device", DeviceFault::DiskFull);
    rig.run(31min);
    // The notice (which also reaches the desktop) carries the reason; no
    // second "failed" follows it.
    ASSERT_FALSE(rig.messages.shown.empty());
    EXPECT_EQ(rig.messages.shown[0].title, "Recording stopped");
    EXPECT_NE(rig.messages.shown[0].text.find("No space left on device"), std::string::npos);
    const auto t = titles();
    EXPECT_EQ(std::count(t.begin(), t.end(), "Recording failed"), 0) << ::testing::PrintToString(t);
}
