// How a recording fails: slow starts, write errors and full disks, empty
// part files, over-long names, a stop by hand and recordings that fall
// short. A fixed clock moved tick by tick and a scripted device.
#include "support/recorder_rig.h"
#include "support/unwritable_folder.h"
#include "recorder/engine/part_recovery.h"
#include "common/file_lock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);
constexpr std::uintmax_t kPlenty = 500ull * 1024 * 1024 * 1024;

class RecordingFailuresTest : public ::testing::Test {
protected:
    RecordingFailuresTest() : rig(kEight.plusMinutes(-60)) {
        rig.session.freeSpace = [this](const std::string&) { return std::optional(freeBytes); };
    }

    void load(const std::vector<GuideRecord>& records) { rig.loadProgrammes(records); }
    void startAt(DateTime start) {
        rig.clock.set(toInstant(start) + 400ms);
        rig.tick();
    }
    std::string movie(const std::string& name) const { return (rig.movies() / name).string(); }
    // The names in the movies folder, and how many of them are empty.
    std::vector<std::string> movies(int* empty = nullptr) const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(rig.movies(), ec)) {
            names.push_back(entry.path().filename().string());
            if (empty && entry.file_size() == 0) ++*empty;
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> startedFiles() const {
        std::vector<std::string> files;
        for (const auto& c : rig.device.calls)
            if (c.rfind("StartCapture ", 0) == 0) files.push_back(c.substr(13));
        return files;
    }
    std::vector<std::string> titles() const { return rig.messages.titles(); }

    std::uintmax_t freeBytes = kPlenty;
    RecorderRig rig;
};

}  // namespace

// A StartCapture that takes longer than the second a start is given (a slow
// disk, a slow device open) is still a good start.
TEST_F(RecordingFailuresTest, SlowStartCapturesAreWaitedForAfterTheyReturn) {
    std::vector<GuideRecord> programmes;
    for (int i = 0; i < 6; ++i)
        programmes.push_back(programme("P" + std::to_string(i), kEight.plusMinutes(5 * i), 2));
    load(programmes);
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Late;
    rig.device.whileStarting = [this](const std::string&) { rig.clock.advance(1500ms); };
    for (int i = 0; i < 6; ++i) {
        const std::string name = "P" + std::to_string(i);
        startAt(kEight.plusMinutes(5 * i));
        EXPECT_TRUE(rig.session.startPending()) << name;
        rig.device.beginRecording();
        rig.tick();
        EXPECT_EQ(rig.cell(i + 1, Column::Status), "Recording") << name;
        rig.run(2min + 5s);
        EXPECT_EQ(rig.cell(i + 1, Column::Status), "Recorded") << name;
        ASSERT_FALSE(movies().empty()) << name;
        EXPECT_EQ(movies().back(), name + "-" + kEight.plusMinutes(5 * i).formatTime().erase(2, 1) +
                                       "1[1.1].mpg");
        EXPECT_EQ(rig.session.StartAttempts, 0) << name;
    }
    EXPECT_EQ(startedFiles().size(), 6u);
    EXPECT_TRUE(rig.messages.shown.empty());
}

// What the recorder reports by itself never waits for an answer: the tick
// must go on while nobody is at the desk.
TEST_F(RecordingFailuresTest, FailuresAreNoticesThatDoNotWait) {
    writeFile(rig.dir / "blocker", "x");
    rig.settings.FileString = (rig.dir / "blocker" / "%programme%.mpg").string();
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    rig.run(5s);
    ASSERT_EQ(rig.messages.shown.size(), 1u) << "told once, however many ticks retry";
    EXPECT_EQ(rig.messages.shown[0].title, "Error creating file");
    EXPECT_NE(rig.messages.shown[0].text.find((rig.dir / "blocker").string() + "/: Not a directory"),
              std::string::npos)
        << "the folder and the system's reason: " << rig.messages.shown[0].text;
    EXPECT_TRUE(rig.messages.shown[0].notice);

    RecorderRig other(kEight.plusMinutes(-60));
    other.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    other.loadProgrammes({programme("Film", kEight, 30)});
    other.clock.set(toInstant(kEight) + 400ms);
    other.run(10s);
    ASSERT_EQ(other.messages.shown.size(), 1u);
    EXPECT_EQ(other.messages.shown[0].title, "No video Source Detected");
    EXPECT_EQ(other.messages.shown[0].text, "There is no video source for the Dazzle DVCII");
    EXPECT_TRUE(other.messages.shown[0].notice);
}

TEST_F(RecordingFailuresTest, AWriteErrorEndsTheRecordingAndNothingStartsWhileTheDiskIsFull) {
    load({programme("Film", kEight, 3), programme("Later", kEight.plusMinutes(10), 5, "2")});
    startAt(kEight);
    rig.run(10s);
    freeBytes = 4096;
    rig.device.failWrite("No space left on device", DeviceFault::DiskFull);
    rig.run(1min);

    EXPECT_EQ(startedFiles().size(), 1u) << "no restart onto a full disk";
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Recording stopped");
    EXPECT_TRUE(rig.messages.shown[0].notice);
    EXPECT_NE(rig.messages.shown[0].text.find(rig.movies().string()), std::string::npos);
    EXPECT_NE(rig.messages.shown[0].text.find("No space left on device"), std::string::npos);
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed\r\n"), std::string::npos);
    EXPECT_FALSE(rig.window.stopEnabled);
    EXPECT_EQ(movies(), std::vector<std::string>{"Film-20001[1.1].mpg"}) << "the part with content is named";

    rig.run(2min);
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed") << "a recording with a gap is no recording";
    EXPECT_EQ(rig.listing.NextRow(), 2);
    EXPECT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(movies(), std::vector<std::string>{"Film-20001[1.1].mpg"});
}

// Without the device's own word for it, a capture that stops early onto a
// disk with no room left is a write error too.
TEST_F(RecordingFailuresTest, AnEarlyStopOntoAFullDiskIsAWriteError) {
    load({programme("Film", kEight, 3)});
    startAt(kEight);
    rig.run(10s);
    freeBytes = 0;
    rig.device.failWrite("");
    rig.run(5s);
    EXPECT_EQ(startedFiles().size(), 1u);
    ASSERT_EQ(titles(), std::vector<std::string>{"Recording stopped"});

    // Room again: the programme records on under a new file number.
    freeBytes = kPlenty;
    rig.run(1s);
    ASSERT_EQ(startedFiles().size(), 2u);
    EXPECT_EQ(startedFiles()[1], movie("Film-20002[1.].mpg"));
}

TEST_F(RecordingFailuresTest, AFullDiskBeforeTheStartIsToldOnceAndNothingIsStarted) {
    freeBytes = 1000;
    load({programme("Film", kEight, 30)});
    startAt(kEight);
    rig.run(10s);
    EXPECT_TRUE(startedFiles().empty());
    ASSERT_EQ(titles(), std::vector<std::string>{"Disk full"});
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_TRUE(movies().empty());
}

TEST_F(RecordingFailuresTest, AFolderThatCannotHoldTheProgrammeIsWarnedOfBeforeItStarts) {
    // An hour at the default template's 6000 + 224 kbit/s is about 2.8 GB.
    freeBytes = 100 * 1024 * 1024;
    load({programme("Film", kEight, 60), programme("Short", kEight.plusMinutes(70), 1, "2")});
    startAt(kEight);
    ASSERT_EQ(titles(), std::vector<std::string>{"Low disk space"});
    EXPECT_TRUE(rig.messages.shown[0].notice);
    EXPECT_NE(rig.messages.shown[0].text.find(rig.movies().string()), std::string::npos);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording") << "a warning, the recording goes on";

    // A minute fits.
    rig.run(61min);
    rig.messages.shown.clear();
    startAt(kEight.plusMinutes(70));
    EXPECT_EQ(rig.cell(2, Column::Status), "Recording");
    EXPECT_TRUE(rig.messages.shown.empty());
}

// A start given up leaves its file to the device, which may still be
// writing it (a start that comes through after all): the retry never takes
// that name, it writes the next part of the same file number, and the
// parts are named together once the capture is over, the empty ones removed.
TEST_F(RecordingFailuresTest, AFailedStartsFileIsLeftToTheDeviceAndTheRetryKeepsItsNumber) {
    load({programme("Film", kEight, 30)});
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    rig.device.whileStarting = [](const std::string& file) { std::ofstream{file}; };
    startAt(kEight);
    rig.run(4s);
    const auto files = startedFiles();
    ASSERT_GE(files.size(), 3u);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(files[i], movie("Film-20001[" + std::to_string(i + 1) + ".].mpg")) << "never a name twice";

    rig.device.onStart = ScriptedCaptureDevice::OnStart::Record;
    rig.device.whileStarting = nullptr;
    rig.run(2s);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_EQ(rig.session.FileNumber, 1);
    rig.run(31min);
    int empty = 0;
    EXPECT_EQ(movies(&empty), std::vector<std::string>{"Film-20001[1.1].mpg"});
    EXPECT_EQ(empty, 0);

    // A device that never records leaves nothing behind at the end.
    RecorderRig other(kEight.plusMinutes(-60));
    other.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    other.device.whileStarting = [](const std::string& file) { std::ofstream{file}; };
    other.loadProgrammes({programme("Film", kEight, 2)});
    other.clock.set(toInstant(kEight) + 400ms);
    other.run(2min);
    EXPECT_EQ(other.cell(1, Column::Status), "Failed");
    EXPECT_TRUE(std::filesystem::is_empty(other.movies()));

    // A start that came through after all keeps what it wrote: the retry
    // is its next part, and both are named as the programme's parts.
    RecorderRig late(kEight.plusMinutes(-60));
    late.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    late.device.whileStarting = [](const std::string& file) { std::ofstream{file} << "MPEG"; };
    late.loadProgrammes({programme("Late", kEight, 2)});
    late.clock.set(toInstant(kEight) + 400ms);
    late.run(1600ms);
    late.device.onStart = ScriptedCaptureDevice::OnStart::Record;
    late.device.whileStarting = nullptr;
    late.run(3min);
    EXPECT_EQ(late.cell(1, Column::Status), "Recorded");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(late.movies()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names.front(), "Late-20001[1." + std::to_string(names.size()) + "].mpg");
}

TEST_F(RecordingFailuresTest, EmptyPartsAreRemovedAndTheRestCounted) {
    rig.settings.splitType = SplitType::Size;
    rig.settings.SplitValue = "1";
    load({programme("Film", kEight, 30), programme("Next", kEight.plusMinutes(40), 30, "2")});
    startAt(kEight);
    rig.device.grow(1100000);
    rig.run(1s);
    ASSERT_EQ(rig.session.PartNumber, 2);
    std::ofstream(movie("Film-20001[2.].mpg"), std::ios::trunc);  // nothing reached the disk
    rig.session.Stop_Recording();
    int empty = 0;
    EXPECT_EQ(movies(&empty), std::vector<std::string>{"Film-20001[1.1].mpg"});
    EXPECT_EQ(empty, 0);

    // And at a finish.
    startAt(kEight.plusMinutes(40));
    rig.device.grow(1100000);
    rig.run(1s);
    std::ofstream(movie("Next-20401[2.].mpg"), std::ios::trunc);
    rig.run(31min);
    EXPECT_EQ(movies(&empty), (std::vector<std::string>{"Film-20001[1.1].mpg", "Next-20401[1.1].mpg"}));
    EXPECT_EQ(empty, 0);
}

// A programme name long enough to make a file name the file system refuses.
TEST_F(RecordingFailuresTest, AVeryLongProgrammeNameStillRecordsUnderItsFinalName) {
    for (const size_t length : {241u, 242u, 300u}) {
        RecorderRig each(kEight.plusMinutes(-60));
        const std::string name(length, 'N');
        each.loadProgrammes({programme(name, kEight, 2)});
        each.clock.set(toInstant(kEight) + 400ms);
        each.tick();
        ASSERT_EQ(each.cell(1, Column::Status), "Recording") << length;
        each.run(2min + 2s);
        EXPECT_EQ(each.cell(1, Column::Status), "Recorded") << length;
        EXPECT_TRUE(each.messages.shown.empty()) << length;
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(each.movies()))
            names.push_back(entry.path().filename().string());
        ASSERT_EQ(names.size(), 1u) << length;
        EXPECT_NE(names[0].find("1[1.1].mpg"), std::string::npos) << names[0];
        EXPECT_LE(names[0].size() - std::string("1[1.1].mpg").size() + std::string("32766[99.99].mpg").size(),
                  255u);
    }
}

TEST_F(RecordingFailuresTest, AStoppedProgrammeIsNotChosenAgain) {
    load({programme("Film", kEight, 60), programme("Added", kEight.plusMinutes(30), 30, "2")});
    startAt(kEight);
    rig.run(10min);
    rig.session.Stop_Recording();
    EXPECT_NE(rig.scheduleText().find("Complete     : Stopped\r\n"), std::string::npos);

    // A reload (or a restart) while the stopped programme is still on air.
    rig.document.Load_Schedule();
    rig.listing.Display_Schedule();
    rig.next.Find_Next_Schedule();
    EXPECT_EQ(rig.cell(rig.listing.NextRow(), Column::Programme), "Added");
    rig.run(5min);
    EXPECT_EQ(startedFiles().size(), 1u) << "the stopped programme is not recorded again";
    startAt(kEight.plusMinutes(30));
    EXPECT_EQ(startedFiles().back(), movie("Added-20301[1.].mpg"));
}

// The program ends during a recording: the parts are complete files under
// their final names, and the item is still to be recorded after a restart.
TEST_F(RecordingFailuresTest, EndingTheProgramKeepsTheItemForARestart) {
    load({programme("Film", kEight, 60)});
    startAt(kEight);
    rig.run(1min);
    rig.session.shutDown();
    EXPECT_EQ(movies(), std::vector<std::string>{"Film-20001[1.1].mpg"});
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed\r\n"), std::string::npos);
    rig.document.Load_Schedule();
    rig.listing.Display_Schedule();
    rig.next.Find_Next_Schedule();
    EXPECT_EQ(rig.listing.NextRow(), 1);
}

TEST_F(RecordingFailuresTest, RecordedNeedsASecondOfMedia) {
    load({programme("Film", kEight, 2)});
    startAt(kEight);
    rig.device.advance(500);  // then the source stalls
    rig.clock.set(toInstant(kEight.plusMinutes(4)) + 500ms);
    rig.tick();
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_EQ(rig.scheduleText().find("Recorded"), std::string::npos);
}

TEST_F(RecordingFailuresTest, ARecordingFarShortOfItsWindowIsReportedWithTheFigures) {
    load({programme("Film", kEight, 60), programme("Full", kEight.plusMinutes(70), 10, "2")});
    // The recorder came up 18:50 into the programme.
    rig.clock.set(toInstant(kEight) + 18min + 50s);
    rig.tick();
    rig.run(42min);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    // One notification, no box: a short recording is news, not a failure.
    EXPECT_TRUE(rig.messages.shown.empty());
    ASSERT_EQ(rig.messages.announced.size(), 2u);
    const Announcement& incomplete = rig.messages.announced[1];
    EXPECT_EQ(incomplete.title, "Recording incomplete");
    EXPECT_NE(incomplete.text.find("recorded 41:10 of 60:00"), std::string::npos) << incomplete.text;
    EXPECT_FALSE(incomplete.recordingLost);
    EXPECT_EQ(incomplete.files.size(), 1u) << "Play and Show in Folder act on it";

    // 9 of 10 minutes is enough.
    rig.clock.set(toInstant(kEight.plusMinutes(71)));
    rig.tick();
    rig.run(10min);
    EXPECT_EQ(rig.cell(2, Column::Status), "Recorded");
    EXPECT_TRUE(rig.messages.shown.empty());
    ASSERT_EQ(rig.messages.announced.size(), 4u);
    EXPECT_EQ(rig.messages.announced[3].title, "Recording finished");
}

// The next part of a split may take a moment to record; that moment is
// neither the end of the recording nor a reason to start another.
TEST_F(RecordingFailuresTest, APartThatRecordsLateAfterASplitContinuesTheRecording) {
    rig.settings.splitType = SplitType::Size;
    rig.settings.SplitValue = "1";
    load({programme("Film", kEight, 10)});
    startAt(kEight);
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Late;
    rig.device.grow(1100000);
    rig.tick();
    ASSERT_EQ(startedFiles().size(), 2u);
    rig.clock.advance(400ms);
    rig.tick();
    EXPECT_EQ(startedFiles().size(), 2u) << "no new recording while the part comes up";
    rig.device.beginRecording();
    rig.run(10min);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    EXPECT_EQ(movies(), (std::vector<std::string>{"Film-20001[1.2].mpg", "Film-20001[2.2].mpg"}));

    // A part that never comes up ends the recording as a write error would.
    load({programme("Late", kEight.plusMinutes(20), 10)});
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Record;
    startAt(kEight.plusMinutes(20));
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    rig.device.error = "cannot open the file";
    rig.device.grow(1100000);
    rig.tick();
    rig.run(2s);
    EXPECT_EQ(titles(), std::vector<std::string>{"Recording stopped"});
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
}

// A process of the user's that holds the schedule's lock (a stuck guide,
// an editor plug-in) must not delay a start or stop the tick.
TEST_F(RecordingFailuresTest, AHeldScheduleLockNeitherDelaysAStartNorLosesItsMark) {
    load({programme("Film", kEight, 30)});
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const std::string lockFile = FileLock::lockPathFor((rig.dir / "KelboSchedule.txt").string());
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::flock(::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600), LOCK_EX);
        char c = 1;
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);

    const auto before = std::chrono::steady_clock::now();
    startAt(kEight);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
    EXPECT_EQ(startedFiles(), std::vector<std::string>{movie("Film-20001[1.].mpg")});
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_EQ(rig.scheduleText().find("Complete"), std::string::npos) << "not written while the lock is held";

    (void)!::write(release[1], &c, 1);
    ::waitpid(holder, nullptr, 0);
    rig.run(800ms);
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed\r\n"), std::string::npos)
        << "written at the next tick once the lock is free";
}

// A folder that exists but takes no new file: the first notice names the
// folder and the system's reason, the retries add no notice and rewrite
// nothing, and while the programme is due the status says it is failing
// and why. Once the folder takes files again, the programme records.
TEST_F(RecordingFailuresTest, AnUnwritableFolderIsToldOnceWithItsReasonWhileTheStatusSaysFailing) {
    load({programme("Film", kEight, 30)});
    UnwritableFolder folder(rig.movies());
    if (!folder.applied()) GTEST_SKIP() << "no unwritable folder here: " << folder.why();
    startAt(kEight);
    rig.run(5s);
    const auto written = std::filesystem::last_write_time(rig.dir / "KelboSchedule.txt");
    rig.run(2min);

    ASSERT_EQ(titles(), std::vector<std::string>{"Error creating file"});
    const std::string& text = rig.messages.shown[0].text;
    EXPECT_NE(text.find(rig.movies().string()), std::string::npos) << text;
    EXPECT_NE(text.find(folder.reason()), std::string::npos) << text;
    EXPECT_EQ(std::filesystem::last_write_time(rig.dir / "KelboSchedule.txt"), written)
        << "a retry of the same failure rewrites nothing";
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed"), std::string::npos);
    EXPECT_EQ(rig.status.Status(), "Failing: cannot write in " + (rig.movies() / "").string() + ": " +
                                       folder.reason());
    EXPECT_EQ(rig.panel(panel::kProgramme).rfind("Film on Channel101 is not recording; it ends in 00:2", 0), 0u)
        << rig.panel(panel::kProgramme);
    EXPECT_TRUE(startedFiles().empty()) << "the device is not troubled with a file it cannot write";

    folder.release();
    rig.run(2s);
    EXPECT_EQ(rig.status.Status(), "Recording");
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_EQ(titles().size(), 1u);
}

// A device that gives no picture is still told as such, but the retries do
// not rewrite a schedule that has not changed, and the status says why the
// due programme is not recording.
TEST_F(RecordingFailuresTest, ADeviceWithoutPictureFailsVisiblyWithoutRewritingTheSchedule) {
    load({programme("Film", kEight, 30)});
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    startAt(kEight);
    rig.run(10s);
    ASSERT_EQ(titles(), std::vector<std::string>{"No video Source Detected"});
    const auto written = std::filesystem::last_write_time(rig.dir / "KelboSchedule.txt");
    rig.run(1min);
    EXPECT_GT(titles().size(), 1u) << "a device without picture is told again and again";
    EXPECT_EQ(std::filesystem::last_write_time(rig.dir / "KelboSchedule.txt"), written);
    EXPECT_EQ(rig.status.Status(), "Failing: no picture from the video source");
    rig.device.error = "v4l2src0: Device is busy";
    rig.run(5s);
    EXPECT_EQ(rig.status.Status(), "Failing: v4l2src0: Device is busy");
    EXPECT_NE(rig.panel(panel::kProgramme).find("Film on Channel101 is not recording"), std::string::npos);
}

// A recorder killed during a programme and started again records the rest
// under the next file number: the finish counts both, and what the folder
// held before the programme began stays out of its figures.
TEST_F(RecordingFailuresTest, TheFiguresAddUpThePartsOfEveryFileNumberWrittenDuringTheProgramme) {
    load({programme("Film", kEight, 2)});
    std::filesystem::create_directories(rig.movies());
    const auto writtenAt = [](DateTime at) {
        return std::chrono::file_clock::from_sys(
            std::chrono::time_point_cast<std::chrono::file_clock::duration>(toInstant(at)));
    };
    const std::string lastWeek = movie("Film-20001[1.1].mpg");
    writeFile(lastWeek, std::string(300000, 'w'));
    std::filesystem::last_write_time(lastWeek, writtenAt(kEight.plusMinutes(-7 * 24 * 60)));
    rig.device.lengths[lastWeek] = 120000;
    // The run that was killed 50 s in; start-up named its part.
    const std::string killed = movie("Film-20002[1.1].mpg");
    writeFile(killed, std::string(100000, 'k'));
    std::filesystem::last_write_time(killed, writtenAt(kEight.plusMinutes(50.0 / 60)));
    rig.device.lengths[killed] = 50000;

    startAt(kEight.plusMinutes(1));
    ASSERT_EQ(startedFiles(), std::vector<std::string>{movie("Film-20003[1.].mpg")});
    rig.run(10s);
    EXPECT_GE(rig.session.recordedMs(), 60000) << "the figure while recording counts the killed run";
    rig.run(60s);

    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    EXPECT_TRUE(titles().empty()) << "1:49 of 2:00 is no short recording: " << rig.messages.shown[0].text;
    ASSERT_EQ(rig.messages.announced.size(), 2u);
    const std::string& finished = rig.messages.announced[1].text;
    EXPECT_NE(finished.find(": 00:01:49"), std::string::npos) << finished;
    EXPECT_NE(finished.find("97.6 KB"), std::string::npos) << "the bytes of both runs: " << finished;
}

// The folder stops taking new names during the recording: the part keeps
// its working name, yet its bytes count, the finish names it, and the next
// start-up, with the folder writable again, gives it its final name.
TEST_F(RecordingFailuresTest, APartLeftUnderItsWorkingNameIsCountedToldAndNamedAtTheNextStart) {
    load({programme("Film", kEight, 2)});
    startAt(kEight);
    rig.run(30s);
    rig.device.grow(200000);
    UnwritableFolder folder(rig.movies());
    if (!folder.applied()) GTEST_SKIP() << "no unwritable folder here: " << folder.why();
    rig.run(95s);

    const std::string working = "Film-20001[1.].mpg";
    EXPECT_EQ(movies(), std::vector<std::string>{working});
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    ASSERT_EQ(rig.messages.announced.size(), 2u);
    const std::string& finished = rig.messages.announced[1].text;
    EXPECT_NE(finished.find(": 00:01:59, 195 KB"), std::string::npos) << finished;
    EXPECT_NE(finished.find(movie(working) + " could not be given its final name"), std::string::npos)
        << finished;

    folder.release();
    EXPECT_EQ(recoverLeftoverParts(rig.document), 1);
    EXPECT_EQ(movies(), std::vector<std::string>{"Film-20001[1.1].mpg"});
}

// Pictures the device took but could not write (a machine that stalled)
// are told at the finish and count against the recording's length; those
// skipped before the programme began are not its own.
TEST_F(RecordingFailuresTest, SkippedPicturesAreToldAtTheFinishAndCountAgainstTheLength) {
    load({programme("Film", kEight, 2), programme("Late", kEight.plusMinutes(5), 2, "2")});
    rig.device.skipped = {40, 1600};
    startAt(kEight);
    rig.run(60s);
    rig.device.skipped = {40 + 182, 1600 + 7280};
    rig.run(65s);
    ASSERT_EQ(rig.cell(1, Column::Status), "Recorded");
    ASSERT_EQ(rig.messages.announced.size(), 2u);
    EXPECT_NE(rig.messages.announced[1].text.find(", 182 pictures skipped"), std::string::npos)
        << rig.messages.announced[1].text;
    EXPECT_TRUE(titles().empty()) << "1:52 of 2:00 written is no short recording";

    startAt(kEight.plusMinutes(5));
    rig.run(30s);
    rig.device.skipped = {222 + 500, 8880 + 20000};
    rig.run(95s);
    ASSERT_EQ(rig.cell(2, Column::Status), "Recorded");
    EXPECT_TRUE(titles().empty()) << "a short recording is news, not a box";
    const Announcement& incomplete = rig.messages.announced.back();
    EXPECT_EQ(incomplete.title, "Recording incomplete");
    EXPECT_NE(incomplete.text.find("recorded 1:39 of 2:00, 500 pictures skipped"), std::string::npos)
        << incomplete.text;
}
