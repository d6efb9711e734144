// Whole recording scenarios: a fixed clock moved on tick by tick, and a
// scripted device whose media time moves with it.
#include "common/schedule_format.h"
#include "recorder/engine/status_texts.h"
#include "support/recorder_rig.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

class RecordingEngineTest : public ::testing::Test {
protected:
    RecordingEngineTest() : rig(kEight.plusMinutes(-60)) {}

    void load(const std::vector<GuideRecord>& records) {
        std::string text;
        for (const auto& r : records) text += r.text();
        rig.loadSchedule(text);
    }
    // Just after the buffered start: the next tick starts the recording.
    void startAt(DateTime start) {
        rig.clock.set(toInstant(start) + 400ms);
        rig.tick();
    }
    std::string movie(const std::string& name) const { return (rig.movies() / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(rig.movies() / name); }
    std::vector<std::string> startedFiles() const {
        std::vector<std::string> files;
        for (const auto& c : rig.device.calls)
            if (c.rfind("StartCapture ", 0) == 0) files.push_back(c.substr(13));
        return files;
    }

    RecorderRig rig;
};

}  // namespace

TEST(StatusTexts, CountersCountDownsAndSizes) {
    EXPECT_EQ(hoursMinutesSeconds(600000), "00:10:00");
    EXPECT_EQ(hoursMinutesSeconds(3600000), "01:00:00");
    EXPECT_EQ(hoursMinutesSeconds(360000000 + 61000), "100:01:01");
    EXPECT_EQ(countDown(48h + 3h + 4min + 5s), "002:03:04:05");
    EXPECT_EQ(countDown(3h), "000:03:00:00");
    EXPECT_EQ(countDown(123 * 24h + 59600ms), "123:00:00:60") << "rounded seconds may show 60";
    EXPECT_EQ(countDown(2500ms), "000:00:00:02") << "halves go to the even second";
    EXPECT_EQ(countDown(3500ms), "000:00:00:04");
    EXPECT_EQ(countDown(3h - 1ms), "000:02:59:60");
    EXPECT_EQ(Format_Byte_Size(512), "512 bytes");
    EXPECT_EQ(Format_Byte_Size(123996), "121 KB");
    EXPECT_EQ(Format_Byte_Size(10 * 1024 * 1024 + 300000), "10.2 MB");
    EXPECT_EQ(Format_Byte_Size(-5), "0 bytes");
}

TEST_F(RecordingEngineTest, WaitingShowsTheCountDownAndLeavesTheDeviceAlone) {
    load({programme("Film", kEight, 30)});
    rig.setNow(DateTime(kEight.days() - (2 + 3 / 24.0 + 4 / 1440.0 + 5 / 86400.0)));
    rig.tick();
    EXPECT_EQ(rig.panel(panel::kProgramme), "Film on Channel101 starts in 002:03:04:05");
    EXPECT_TRUE(rig.device.calls.empty());
    EXPECT_EQ(rig.status.Status(), "Idle");
    EXPECT_TRUE(rig.tray.images.empty()) << "a window that is not minimised leaves the tray alone";
}

TEST_F(RecordingEngineTest, ADueProgrammeStartsWithItsTemplateAndLimit) {
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    const std::vector<std::string> expected = {
        "PrepareDevice", "setRecordingTemplate DVD", "setMember135 1", "setPreviewWhileCapturing 0",
        "setCaptureLimit 0", "setCaptureElapsed 0", "setCaptureLimit 1799600", "setMember116 32",
        "setMember169 0", "StartCapture " + movie("Film-20001[1.].mpg"), "setMuteAudio 1"};
    EXPECT_EQ(rig.device.calls, expected);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed\r\n"), std::string::npos);
    EXPECT_TRUE(rig.window.stopEnabled);
    EXPECT_FALSE(rig.window.livePreviewEnabled);
    EXPECT_TRUE(rig.statusBar.panelVisible(panel::kCounter));
    EXPECT_TRUE(rig.statusBar.panelVisible(panel::kSplit));
    EXPECT_EQ(rig.session.StartAttempts, 0);

    rig.tick();
    EXPECT_EQ(rig.status.Status(), "Recording");
    EXPECT_FALSE(rig.window.reloadEnabled);
}

TEST_F(RecordingEngineTest, CountersProgressAndTheEndText) {
    load({programme("Film", kEight, 60)});
    startAt(kEight);
    rig.device.setCaptureLimit(3600000);
    rig.device.setCaptureElapsed(600000);
    rig.tick();
    EXPECT_EQ(rig.panel(panel::kCounter), "00:10:00  /  01:00:00");
    EXPECT_EQ(rig.panel(panel::kProgramme), "Film on Channel101 ends in 00:50:00");
    EXPECT_EQ(rig.status.Progress(), 16);
    EXPECT_TRUE(rig.statusBar.panelVisible(panel::kProgress));
}

TEST_F(RecordingEngineTest, AtTheEndTheItemIsRecordedAndTheNextChosen) {
    load({programme("Film", kEight, 30), programme("Later", kEight.plusMinutes(90), 30, "2")});
    startAt(kEight);
    rig.run(31min);
    EXPECT_TRUE(exists("Film-20001[1.1].mpg"));
    EXPECT_FALSE(exists("Film-20001[1.].mpg"));
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    const std::string text = rig.scheduleText();
    EXPECT_NE(text.find("Complete     : Recorded\r\n"), std::string::npos);
    EXPECT_EQ(rig.listing.NextRow(), 2);
    EXPECT_FALSE(rig.window.stopEnabled);
    EXPECT_TRUE(rig.window.livePreviewEnabled);
    EXPECT_FALSE(rig.statusBar.panelVisible(panel::kProgress));
    EXPECT_EQ(rig.panel(panel::kProgramme).find("Later on Channel2 starts in"), 0u);
    EXPECT_EQ(startedFiles().size(), 1u);
}

// While a programme records the file is not reloaded; what the user edits
// in it meanwhile must be there after the finish, with the recorder's mark.
TEST_F(RecordingEngineTest, EditsMadeToTheFileDuringARecordingSurviveItsFinish) {
    load({programme("Film", kEight, 30), programme("Later", kEight.plusMinutes(90), 30, "2"),
          programme("Dropped", kEight.plusMinutes(180), 30, "3")});
    startAt(kEight);
    ASSERT_EQ(rig.cell(1, Column::Status), "Recording");
    rig.run(5min);
    std::string text = rig.scheduleText();
    const size_t later = text.find("ProgrammeName: Later");
    text.replace(text.find("Duration     : 30", later), 17, "Duration     : 45");
    text.erase(text.find("ProgrammeName: Dropped"));
    // The recording's own record gets a description.
    text.insert(text.find("Duration     : 30\r\n") + 19, "Description  : Director's cut\r\n");
    text += programme("Added", kEight.plusMinutes(300), 30, "4").text();
    writeFile(rig.dir / "KelboSchedule.txt", text);

    rig.run(27min);
    EXPECT_EQ(startedFiles().size(), 1u) << "the recording kept its own times";
    const auto items = [&] {
        std::istringstream in(rig.scheduleText());
        ScheduleReader reader(in);
        std::vector<ScheduleItem> all;
        while (auto r = reader.next())
            if (r->accepted) all.push_back(r->item);
        return all;
    }();
    ASSERT_EQ(items.size(), 3u) << rig.scheduleText();
    EXPECT_EQ(items[0].ProgrammeName, "Film");
    EXPECT_EQ(items[0].Complete, "Recorded");
    EXPECT_EQ(items[0].Description, "Director's cut");
    EXPECT_EQ(items[1].ProgrammeName, "Later");
    EXPECT_EQ(items[1].Duration, "45");
    EXPECT_EQ(items[2].ProgrammeName, "Added");
    ASSERT_EQ(rig.listing.list().rowCount(), 3);
    EXPECT_EQ(rig.cell(1, Column::Description), "Director's cut") << "applied once the recording ended";
    EXPECT_EQ(rig.cell(2, Column::Duration), "45");
    EXPECT_EQ(rig.listing.NextRow(), 2);
}

TEST_F(RecordingEngineTest, BackToBackTheNextProgrammeStartsInTheTickThatEndsTheFirst) {
    load({programme("First", kEight, 30), programme("Second", kEight.plusMinutes(30), 30, "2")});
    startAt(kEight);
    // The device stops itself at the first programme's end; the tick that
    // sees it finishes the first and starts the second at once.
    rig.run(30min - 500ms, 500ms);  // 20:29:59.9, 100 ms left on the device
    ASSERT_EQ(startedFiles().size(), 1u);
    rig.clock.advance(500ms);
    rig.device.advance(500);
    rig.tick();
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    ASSERT_EQ(startedFiles().size(), 2u);
    EXPECT_NE(startedFiles()[1].find("Second-2030"), std::string::npos) << startedFiles()[1];
    EXPECT_EQ(rig.device.ReadyState(), CaptureDevice::Recording);
}

TEST_F(RecordingEngineTest, SplittingByTimeGivesPartsOfOneFileNumber) {
    rig.settings.splitType = SplitType::Time;
    rig.settings.SplitValue = "30";
    load({programme("Long", kEight, 95)});
    startAt(kEight);
    rig.run(2min);
    EXPECT_EQ(rig.panel(panel::kSplit), "Split in 28:00");
    rig.run(94min);
    for (int part = 1; part <= 4; ++part)
        EXPECT_TRUE(exists("Long-20001[" + std::to_string(part) + ".4].mpg")) << part;
    EXPECT_EQ(startedFiles().size(), 4u);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    // Each new part gets what was left of the programme.
    const auto& calls = rig.device.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "setCaptureLimit 3899600"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "setCaptureLimit 299600"), calls.end());
}

TEST_F(RecordingEngineTest, SplittingBySizeHappensAtTheFirstTickOverTheLimit) {
    rig.settings.splitType = SplitType::Size;
    rig.settings.SplitValue = "1";  // 1,024,000 bytes
    load({programme("Big", kEight, 30)});
    startAt(kEight);
    for (int i = 0; i < 3; ++i) {
        rig.device.grow(300000);
        rig.tick();
    }
    EXPECT_EQ(startedFiles().size(), 1u);
    EXPECT_EQ(rig.panel(panel::kSplit), "Split in 121 KB");
    rig.device.grow(300000);
    rig.clock.advance(1min);
    rig.device.advance(60000);
    rig.tick();
    ASSERT_EQ(startedFiles().size(), 2u);
    EXPECT_EQ(startedFiles()[1], movie("Big-20001[2.].mpg"));
    EXPECT_EQ(rig.session.PartNumber, 2);
    EXPECT_EQ(rig.panel(panel::kCounter).substr(0, 8), "00:00:00") << "the new file's counters";
}

// The device stops itself at its limit on its own thread; a split due at
// that moment must not start an extra part with no time left, which would
// record without a limit for ever.
TEST_F(RecordingEngineTest, ASplitDueAsTheDeviceReachesItsLimitStartsNoFurtherPart) {
    for (const SplitType type : {SplitType::Size, SplitType::Time}) {
        RecorderRig each(kEight.plusMinutes(-60));
        each.settings.splitType = type;
        each.settings.SplitValue = "1";
        each.loadSchedule(programme("Short", kEight, 2).text());
        each.clock.set(toInstant(kEight) + 400ms);
        each.tick();
        ASSERT_EQ(each.device.state, CaptureDevice::Recording);
        // Past the limit, but the device still says it records.
        each.clock.set(toInstant(kEight.plusMinutes(2)) - 300ms);
        each.device.setCaptureElapsed(each.device.CaptureLimit() + 40);
        each.device.grow(1100000);
        each.tick();
        EXPECT_EQ(each.device.count("StartCapture"), 1) << static_cast<int>(type);
        EXPECT_NE(each.device.state, CaptureDevice::Recording);
        each.clock.set(toInstant(kEight.plusMinutes(2)) + 400ms);
        each.tick();
        EXPECT_EQ(each.cell(1, Column::Status), "Recorded") << static_cast<int>(type);
        EXPECT_TRUE(std::filesystem::exists(each.movies() / "Short-20001[1.1].mpg")) << static_cast<int>(type);
    }
}

TEST_F(RecordingEngineTest, ARecordingWhoseSourceStalledIsStoppedWellPastTheEnd) {
    load({programme("Stalled", kEight, 2)});
    startAt(kEight);
    // The device's media time never moves, so it never reaches its limit.
    rig.clock.set(toInstant(kEight.plusMinutes(4)));
    rig.tick();
    EXPECT_EQ(rig.device.count("StopCapture"), 0) << "a late device is given time";
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    rig.clock.set(toInstant(kEight.plusMinutes(4)) + 400ms);
    rig.tick();
    EXPECT_EQ(rig.device.count("StopCapture"), 1);
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed") << "a file without media is no recording";
    EXPECT_TRUE(exists("Stalled-20001[1.1].mpg"));
}

TEST_F(RecordingEngineTest, SplitValuesOutOfRangeNeverSplit) {
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    const std::pair<SplitType, const char*> cases[] = {
        {SplitType::Size, "2098"}, {SplitType::Size, "abc"}, {SplitType::Size, "0"},
        {SplitType::Time, "32768"}, {SplitType::Time, ""}, {SplitType::Time, "-5"}};
    for (const auto& [type, value] : cases) {
        rig.settings.splitType = type;
        rig.settings.SplitValue = value;
        rig.device.grow(100);
        rig.run(2s);
        EXPECT_EQ(rig.panel(panel::kSplit), "") << value;
    }
    EXPECT_EQ(startedFiles().size(), 1u);

    // A file the device has not created yet counts as empty.
    rig.settings.splitType = SplitType::Size;
    rig.settings.SplitValue = "1";
    std::filesystem::remove(movie("Film-20001[1.].mpg"));
    rig.tick();
    EXPECT_EQ(rig.panel(panel::kSplit), "Split in 1000 KB");
}

TEST_F(RecordingEngineTest, StoppingByHandMovesOnToTheNextRow) {
    load({programme("Film", kEight, 60), programme("Short", kEight.plusMinutes(10), 20, "2"),
          programme("Late", kEight.plusMinutes(120), 30, "3")});
    startAt(kEight);
    rig.run(30min);
    rig.session.Stop_Recording();
    EXPECT_TRUE(exists("Film-20001[1.1].mpg"));
    EXPECT_EQ(rig.cell(1, Column::Status), "Stopped");
    EXPECT_EQ(rig.listing.list().rowColour(1), colour::kBlack);
    EXPECT_EQ(rig.listing.list().rowColour(2), colour::kRed);
    EXPECT_EQ(rig.listing.NextRow(), 2);
    EXPECT_NEAR(rig.next.NextEnd().days(), kEight.plusMinutes(30).days(), 1e-9);
    EXPECT_NE(rig.scheduleText().find("Complete     : Stopped\r\n"), std::string::npos)
        << "the file keeps that the user stopped it";
    EXPECT_FALSE(rig.window.stopEnabled);

    // "Short" ended already: the next tick finishes it without recording it,
    // and as nothing was captured for it, it is marked as failed. The
    // stopped programme, though still running, is not taken up again.
    rig.tick();
    EXPECT_EQ(rig.cell(2, Column::Status), "Failed");
    EXPECT_EQ(rig.listing.NextRow(), 3);
    rig.run(2s);
    EXPECT_EQ(startedFiles().size(), 1u);
}

TEST_F(RecordingEngineTest, StoppingTheLastRowLeavesNothingToRecord) {
    load({programme("Only", kEight, 60)});
    rig.session.Stop_Recording();
    EXPECT_TRUE(rig.device.calls.empty()) << "stop while idle changes nothing";
    startAt(kEight);
    rig.run(1min);
    rig.session.Stop_Recording();
    EXPECT_EQ(rig.listing.NextRow(), 0);
    EXPECT_TRUE(rig.next.NextStart().isZero());
    EXPECT_EQ(rig.panel(panel::kProgramme), "NO PROGRAMS TO RECORD");
    EXPECT_FALSE(rig.statusBar.panelVisible(panel::kCounter));
    EXPECT_FALSE(rig.statusBar.panelVisible(panel::kSplit));
    EXPECT_EQ(rig.cell(1, Column::Status), "Stopped");
}

TEST_F(RecordingEngineTest, ADeviceThatNeverRecordsIsReportedEveryFourthAttempt) {
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    int failures = 0;
    std::vector<int> messageAt;
    for (int t = 0; t < 200 && failures < 13; ++t) {
        const int before = rig.session.StartAttempts;
        const size_t shown = rig.messages.shown.size();
        rig.run(400ms);
        if (rig.session.StartAttempts != before || rig.messages.shown.size() != shown) ++failures;
        if (rig.messages.shown.size() != shown) {
            messageAt.push_back(failures);
            EXPECT_EQ(rig.session.StartAttempts, 1);
        }
    }
    EXPECT_EQ(messageAt, (std::vector<int>{5, 9, 13}));
    EXPECT_EQ(rig.messages.shown[0].title, "No video Source Detected");
    EXPECT_EQ(rig.messages.shown[0].text, "There is no video source for the Dazzle DVCII");
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    // Never two starts at once: each waits for its outcome (the tick that
    // judges a failure starts the next attempt).
    EXPECT_EQ(static_cast<int>(startedFiles().size()), failures + 1);

    rig.run(31min);
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed") << "nothing captured is never Recorded";
    EXPECT_EQ(rig.scheduleText().find("Recorded"), std::string::npos);
}

TEST_F(RecordingEngineTest, ASlowStartIsWaitedForWithoutBlocking) {
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Late;
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    EXPECT_TRUE(rig.session.startPending());
    rig.run(400ms);
    EXPECT_EQ(startedFiles().size(), 1u) << "no second start while the first is judged";
    rig.device.beginRecording();
    rig.session.resolvePendingStart();  // as the device's state report does
    EXPECT_FALSE(rig.session.startPending());
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_EQ(rig.session.StartAttempts, 0);
}

TEST_F(RecordingEngineTest, FileNumbersFollowEarlierRecordings) {
    std::filesystem::create_directories(rig.movies());
    for (const char* name : {"Film-20001[1.1].mpg", "Film-20003[1.2].mpg", "Film-2000[1.1].mpg",
                             "Film-2000x[1.1].mpg", "Film-200099999[1.1].mpg", "Other-20007[1.1].mpg"})
        writeFile(rig.movies() / name, "x");
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    EXPECT_EQ(rig.session.FileNumber, 4);
    EXPECT_EQ(startedFiles().at(0), movie("Film-20004[1.].mpg"));
}

TEST_F(RecordingEngineTest, AnEarlyStopOfTheDeviceStartsAgainUnderANewNumber) {
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    rig.device.setCaptureLimit(60000);  // the device runs short
    rig.run(2min);
    ASSERT_EQ(startedFiles().size(), 2u);
    EXPECT_EQ(startedFiles()[1], movie("Film-20002[1.].mpg"));
    EXPECT_TRUE(exists("Film-20001[1.1].mpg")) << "the earlier file remains, under its final name";
}

// A copy of a stream begins at the key picture before its start, so its
// media reaches the limit it was given a few seconds before the programme's
// end on the clock: the recording is whole, and no file is started for the
// seconds left.
TEST_F(RecordingEngineTest, ADeviceThatReachesItsLimitEarlyIsNotStartedAgain) {
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    rig.device.advance(6000);  // six seconds of media from before the start
    rig.run(30min - 5s);
    EXPECT_NE(rig.device.ReadyState(), CaptureDevice::Recording) << "the device has stopped at its limit";
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording") << "the programme is still on";
    rig.run(10s);
    EXPECT_EQ(startedFiles().size(), 1u);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    EXPECT_TRUE(exists("Film-20001[1.1].mpg"));
    EXPECT_FALSE(exists("Film-20002[1.].mpg"));
}

TEST_F(RecordingEngineTest, AFolderThatCannotBeMadeFailsTheItem) {
    writeFile(rig.dir / "blocker", "x");
    rig.settings.FileString = (rig.dir / "blocker" / "%programme%.mpg").string();
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Error creating file");
    EXPECT_EQ(rig.messages.shown[0].text, "Error checking/creating file path for : " +
                                              (rig.dir / "blocker" / "Film[1.].mpg").string() +
                                              " (cannot create " + (rig.dir / "blocker" / "").string() +
                                              ": Not a directory)");
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed"), std::string::npos);
    EXPECT_TRUE(startedFiles().empty());
    EXPECT_EQ(rig.session.StartAttempts, 0);
}

TEST_F(RecordingEngineTest, ThePreviewComesBackAsTheUserHadIt) {
    rig.window.livePreviewTicked = true;
    rig.device.StartPreview();
    rig.device.setRecordingTemplate("DVD");
    rig.device.calls.clear();
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    // The preview runs with the item's template already: nothing to prepare.
    EXPECT_EQ(rig.device.count("StopPreview"), 0);
    EXPECT_EQ(rig.device.count("PrepareDevice"), 0);
    rig.run(31min);
    EXPECT_EQ(rig.device.state, CaptureDevice::Previewing);
    EXPECT_EQ(rig.device.calls.back(), "StartPreview");

    // Another template while previewing: stop, prepare, switch.
    rig.document.table()[0].Template = "Half";
    rig.document.table()[0].Complete.clear();
    rig.device.calls.clear();
    load({programme("Film", kEight.plusMinutes(60), 30)});
    rig.document.table()[0].Template = "Half";
    rig.listing.Display_Schedule();
    rig.next.Find_Next_Schedule();
    startAt(kEight.plusMinutes(60));
    const std::vector<std::string> first(rig.device.calls.begin(), rig.device.calls.begin() + 3);
    EXPECT_EQ(first, (std::vector<std::string>{"StopPreview", "PrepareDevice", "setRecordingTemplate Half"}));

    // Without the tick a finished recording leaves the preview off.
    rig.window.livePreviewTicked = false;
    rig.run(31min);
    EXPECT_NE(rig.device.state, CaptureDevice::Previewing);
}

TEST_F(RecordingEngineTest, StopReportsAPreviewThatDoesNotComeBack) {
    rig.window.livePreviewTicked = true;
    rig.device.previewWorks = false;
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    rig.device.calls.clear();
    rig.session.Stop_Recording();
    EXPECT_EQ(rig.device.count("StartPreview"), 4);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "No video Source Detected");
}

TEST_F(RecordingEngineTest, StatusFollowsTheDeviceState) {
    load({});
    const std::pair<int, const char*> states[] = {
        {CaptureDevice::Previewing, "Previewing"}, {CaptureDevice::StreamReady, "StreamReadyForCapture"},
        {CaptureDevice::Idle, "Idle"}, {CaptureDevice::Recording, "Recording"}, {99, "Recording"}};
    for (const auto& [state, text] : states) {
        rig.device.state = state;
        rig.tick();
        EXPECT_EQ(rig.status.Status(), text) << state;
        EXPECT_EQ(rig.window.reloadEnabled, state != CaptureDevice::Recording) << state;
    }
}

TEST_F(RecordingEngineTest, AMinimisedWindowKeepsTheTrayCurrent) {
    rig.window.minimised = true;
    load({});
    rig.tick();
    EXPECT_EQ(rig.tray.images, std::vector<TrayImage>{TrayImage::Stopped});
    EXPECT_EQ(rig.tray.tip, "NO PROGRAMS TO RECORD");

    load({programme("Film", kEight, 30)});
    rig.tray.images.clear();
    rig.tick();
    EXPECT_EQ(rig.tray.images, (std::vector<TrayImage>{TrayImage::Stopped, TrayImage::Paused}));
    EXPECT_EQ(rig.tray.tip.find("Film on Channel101 starts in"), 0u);
    startAt(kEight);
    EXPECT_EQ(rig.tray.images.back(), TrayImage::Recording);
    EXPECT_EQ(rig.tray.updates, 3);
}

// A programme across the spring change of the clocks records for its true
// length: 120 minutes from 00:30 on that night end at 03:30 on the clock.
TEST(RecordingEngineClock, CaptureLimitIsARealDuration) {
    const ScopedTimeZone london("Europe/London");
    const DateTime start = DateTime::fromCivil(2026, 3, 29, 0, 30);
    RecorderRig rig(start.plusMinutes(-5));
    rig.loadSchedule(programme("Night", start, 120).text());
    rig.clock.set(toInstant(start) + 400ms);
    rig.tick();
    const auto& calls = rig.device.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "setCaptureLimit 7199600"), calls.end());
}
