// What the recorder reports and does for commands sent to it (status,
// stop, reload), the log of its reloads, and which of its messages are
// notices that never wait for the user.
#include "recorder/engine/live_preview.h"
#include "recorder_under_test.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kNoon = DateTime::fromCivil(2026, 12, 7, 12, 0);

// A film on channel One at ten past noon, loaded as start-up loads it.
struct FilmAtTenPast : RecorderUnderTest {
    FilmAtTenPast() : RecorderUnderTest(kNoon, "movies/%programme%.mpg") {
        GuideRecord film = programme("Film", kNoon.plusMinutes(10), 30);
        film.channelName = "One";
        writeFile(dir / "KelboSchedule.txt", film.text());
        recorder.reloadSchedule();
    }
};

}  // namespace

TEST(RecorderCommands, StatusIsWhatTheStatusBarShowsAndStopActsAsTheStopButton) {
    FilmAtTenPast r;
    r.tickAt(kNoon);
    RecorderStatus waiting = r.currentStatus();
    EXPECT_EQ(waiting.state, "Idle");
    EXPECT_EQ(waiting.programme, "Film on One starts in 000:00:10:00");
    EXPECT_FALSE(waiting.recording);
    EXPECT_EQ(waiting.currentFile, "");

    r.tickAt(kNoon.plusMinutes(11));
    r.device.advance(60000);
    r.tickAt(kNoon.plusMinutes(12));
    const RecorderStatus recording = r.currentStatus();
    EXPECT_EQ(recording.state, "Recording");
    EXPECT_TRUE(recording.recording);
    EXPECT_EQ(recording.currentFile, (r.dir / "movies" / "Film1[1.].mpg").string());
    EXPECT_EQ(recording.counter, r.statusBar.panelText(panel::kCounter));
    EXPECT_NE(recording.counter.find("00:01:00  /  "), std::string::npos) << recording.counter;
    EXPECT_NE(recording.programme.find("Film on One ends in "), std::string::npos) << recording.programme;
    ASSERT_FALSE(r.statusBar.bar.values.empty());
    EXPECT_EQ(recording.progress, r.statusBar.bar.values.back());

    EXPECT_FALSE(r.recorder.ReloadSchedule_Click()) << "never while recording";
    EXPECT_TRUE(r.recorder.stopRecording());
    EXPECT_TRUE(std::filesystem::exists(r.dir / "movies" / "Film1[1.1].mpg"));
    EXPECT_EQ(r.listing.list().cell(1, Column::Status), "Stopped");
    const RecorderStatus stopped = r.currentStatus();
    EXPECT_FALSE(stopped.recording);
    EXPECT_EQ(stopped.currentFile, "");
    EXPECT_FALSE(r.recorder.stopRecording()) << "nothing left to stop";
    EXPECT_TRUE(r.recorder.ReloadSchedule_Click());
}

// A device that comes up between two ticks is reported as recording at
// once: asking in between must not hear "Idle" for a running recording.
TEST(RecorderCommands, StatusFollowsARecordingThatBeginsBetweenTicks) {
    FilmAtTenPast r;
    r.device.onStart = ScriptedCaptureDevice::OnStart::Late;
    r.tickAt(kNoon);
    r.tickAt(kNoon.plusMinutes(11));
    ASSERT_EQ(r.device.count("StartCapture"), 1);
    EXPECT_EQ(r.currentStatus().state, "Idle");

    r.device.beginRecording();
    r.device.notify();
    const RecorderStatus begun = r.currentStatus();
    EXPECT_TRUE(begun.recording);
    EXPECT_EQ(begun.state, "Recording");
    EXPECT_NE(begun.programme.find("Film on One ends in "), std::string::npos) << begun.programme;
}

TEST(RecorderCommands, ReloadsAreLoggedWithTheirCause) {
    FilmAtTenPast r;
    r.recorder.ReloadSchedule_Click();
    r.append(programme("Later", kNoon.plusMinutes(90), 30));
    r.recorder.Timer2_Timer();
    r.device.state = CaptureDevice::Recording;
    r.recorder.ReloadSchedule_Click();

    const std::string log = r.state.logText();
    const std::string file = r.recorder.settings().ScheduleFile;
    EXPECT_NE(log.find("[info] Schedule loaded from " + file + ": 1 programmes listed"), std::string::npos) << log;
    EXPECT_NE(log.find("[info] Reload Schedule\n"), std::string::npos) << log;
    EXPECT_NE(log.find("[info] Schedule file changed by another program; reloading"), std::string::npos) << log;
    EXPECT_NE(log.find("[info] Schedule loaded from " + file + ": 2 programmes listed"), std::string::npos) << log;
    EXPECT_NE(log.find("[info] Reload Schedule refused: a recording is in progress"), std::string::npos) << log;
}

TEST(Notices, TheRecordersOwnFailuresNeverWaitButTheUsersPreviewCommandDoes) {
    // From the tick: a device that never records, and a folder that cannot
    // be made (below a plain file).
    RecorderRig rig(kNoon);
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    rig.loadProgrammes({programme("Film", kNoon.plusMinutes(1), 30)});
    rig.setNow(kNoon.plusMinutes(2));
    rig.run(20s);
    writeFile(rig.dir / "afile", "");
    rig.settings.FileString = (rig.dir / "afile" / "sub" / "%programme%.mpg").string();
    rig.listing.Display_Schedule(rig.listing.NextRow());
    rig.run(2s);

    std::set<std::string> titles;
    for (const auto& shown : rig.messages.shown) {
        titles.insert(shown.title);
        EXPECT_TRUE(shown.notice) << shown.title;
    }
    EXPECT_EQ(titles, (std::set<std::string>{"No video Source Detected", "Error creating file"}));

    // The "Live Preview" command answers the user with a box that waits.
    ScriptedCaptureDevice device;
    device.previewWorks = false;
    RecordingMessageBoxes boxes;
    LivePreview preview(device, boxes);
    preview.IsLivePreview_Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "No video Source Detected");
    EXPECT_FALSE(boxes.shown[0].notice);
}

TEST(RecorderCommands, TheStateNamesTheNextProgrammeAndTheRecordingInValues) {
    FilmAtTenPast r;
    r.tickAt(kNoon);
    const ProgrammeId film = r.listing.idOfRow(1);
    ASSERT_NE(film, 0u);
    const RecorderState waiting = r.recorder.state();
    EXPECT_EQ(waiting.device, RecorderState::Device::Idle);
    ASSERT_TRUE(waiting.next);
    EXPECT_EQ(waiting.next->id, film);
    EXPECT_EQ(waiting.next->name, "Film");
    EXPECT_EQ(waiting.next->channel, "One");
    EXPECT_EQ(waiting.next->bufferedStart, toInstant(kNoon.plusMinutes(10)));
    EXPECT_EQ(waiting.next->bufferedEnd, toInstant(kNoon.plusMinutes(40)));
    EXPECT_EQ(waiting.next->toGo, 600s);
    EXPECT_FALSE(waiting.recording);

    r.tickAt(kNoon.plusMinutes(11));
    r.device.advance(60000);
    r.tickAt(kNoon.plusMinutes(12));
    const RecorderState recording = r.recorder.state();
    EXPECT_EQ(recording.device, RecorderState::Device::Recording);
    ASSERT_TRUE(recording.next);
    EXPECT_EQ(recording.next->toGo, 0s) << "its start has come";
    ASSERT_TRUE(recording.recording);
    EXPECT_EQ(recording.recording->id, film);
    EXPECT_EQ(recording.recording->name, "Film");
    EXPECT_EQ(recording.recording->file, (r.dir / "movies" / "Film1[1.].mpg").string());
    EXPECT_EQ(recording.recording->elapsedMs, 60000);
    EXPECT_EQ(recording.recording->limitMs, r.device.CaptureLimit());
    EXPECT_EQ(recording.recording->progress, r.currentStatus().progress);
    EXPECT_EQ(r.recorder.document().schedule().statusOf(film), ProgrammeStatus::Recording);

    ASSERT_TRUE(r.recorder.stopRecording());
    const RecorderState stopped = r.recorder.state();
    EXPECT_FALSE(stopped.recording);
    EXPECT_FALSE(stopped.next) << "nothing after the stopped film";
    EXPECT_EQ(r.recorder.document().schedule().statusOf(film), ProgrammeStatus::Stopped);
}
