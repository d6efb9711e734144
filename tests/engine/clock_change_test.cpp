// Recordings across changes of the clocks and steps of the system clock,
// driven tick by tick through the real scheduler with a fixed clock.
#include "support/recorder_rig.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono;
using namespace std::chrono_literals;

namespace {

Instant utc(int year, unsigned month, unsigned day, int hour, int minute = 0) {
    return sys_days{std::chrono::year{year} / month / day} + hours(hour) + minutes(minute);
}

std::vector<std::string> startedFiles(const ScriptedCaptureDevice& device) {
    std::vector<std::string> files;
    for (const auto& c : device.calls)
        if (c.rfind("StartCapture ", 0) == 0) files.push_back(c.substr(13));
    return files;
}

bool called(const ScriptedCaptureDevice& device, const std::string& call) {
    return std::find(device.calls.begin(), device.calls.end(), call) != device.calls.end();
}

// Runs the rig tick by tick until the clock reads `until`.
void runUntil(RecorderRig& rig, Instant until) {
    rig.run(duration_cast<milliseconds>(until - rig.clock.now()));
}

class ClockChangeTest : public ::testing::Test {
protected:
    const ScopedTimeZone london{"Europe/London"};
};

}  // namespace

// 28-03-2027: at 01:00 GMT the clocks go forward to 02:00 BST.
TEST_F(ClockChangeTest, SpringNightRecordsTheFullRealLength) {
    RecorderRig rig(toLocalDateTime(utc(2027, 3, 28, 0, 0)));
    rig.loadSchedule(programme("Night", DateTime::fromCivil(2027, 3, 28, 0, 30), 120).text());
    EXPECT_EQ(rig.next.bufferedEnd(), utc(2027, 3, 28, 2, 30)) << "03:30 BST";

    runUntil(rig, utc(2027, 3, 28, 0, 30) + 400ms);
    EXPECT_TRUE(called(rig.device, "setCaptureLimit 7199600"));
    runUntil(rig, utc(2027, 3, 28, 1, 45));  // 02:45 on the clock: past the old, false end
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    runUntil(rig, utc(2027, 3, 28, 2, 31));
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    EXPECT_EQ(startedFiles(rig.device).size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(rig.movies() / "Night-00301[1.1].mpg"));
}

// 31-10-2027: at 02:00 BST the clocks go back to 01:00 GMT.
TEST_F(ClockChangeTest, AutumnNightEndsOnTimeAndTheNextProgrammeStarts) {
    RecorderRig rig(toLocalDateTime(utc(2027, 10, 30, 23, 0)));
    rig.loadSchedule(programme("Night", DateTime::fromCivil(2027, 10, 31, 0, 30), 120, "1").text() +
                     programme("Early", DateTime::fromCivil(2027, 10, 31, 2, 0), 30, "2").text());
    EXPECT_EQ(rig.next.bufferedStart(), utc(2027, 10, 30, 23, 30)) << "00:30 BST";
    EXPECT_EQ(rig.next.bufferedEnd(), utc(2027, 10, 31, 1, 30)) << "01:30 GMT, the second 01:30";
    EXPECT_EQ(rig.listing.list().tag(2), "Clash with: ") << "Night ends before Early starts";

    runUntil(rig, utc(2027, 10, 30, 23, 30) + 400ms);
    EXPECT_TRUE(called(rig.device, "setCaptureLimit 7199600"));
    runUntil(rig, utc(2027, 10, 31, 1, 31));
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    EXPECT_EQ(rig.listing.NextRow(), 2);
    runUntil(rig, utc(2027, 10, 31, 2, 0) + 800ms);
    ASSERT_EQ(startedFiles(rig.device).size(), 2u);
    EXPECT_EQ(rig.cell(2, Column::Status), "Recording");
}

TEST_F(ClockChangeTest, StartsThatTheClocksSkipOrRepeat) {
    RecorderRig rig(toLocalDateTime(utc(2027, 3, 27, 12)));
    // 01:30 does not exist on the spring night: the programme starts when
    // the clocks jump, and still lasts its 60 real minutes.
    rig.loadSchedule(programme("Gap", DateTime::fromCivil(2027, 3, 28, 1, 30), 60).text());
    EXPECT_EQ(rig.next.bufferedStart(), utc(2027, 3, 28, 1, 0));
    EXPECT_EQ(rig.next.bufferedEnd(), utc(2027, 3, 28, 2, 0));
    // 01:30 comes twice on the autumn night: the first is meant.
    rig.setNow(toLocalDateTime(utc(2027, 10, 30, 12)));
    rig.loadSchedule(programme("Twice", DateTime::fromCivil(2027, 10, 31, 1, 30), 60).text());
    EXPECT_EQ(rig.next.bufferedStart(), utc(2027, 10, 31, 0, 30));
}

TEST_F(ClockChangeTest, CountDownsShowTheTrueWait) {
    RecorderRig rig(toLocalDateTime(utc(2027, 3, 28, 0, 0)));  // 00:00 GMT
    rig.loadSchedule(programme("Three", DateTime::fromCivil(2027, 3, 28, 3, 0), 30).text());
    rig.tick();
    EXPECT_EQ(rig.panel(panel::kProgramme), "Three on Channel101 starts in 000:02:00:00");

    rig.setNow(toLocalDateTime(utc(2027, 10, 30, 23, 0)));  // 00:00 BST
    rig.loadSchedule(programme("Three", DateTime::fromCivil(2027, 10, 31, 3, 0), 30).text());
    rig.tick();
    EXPECT_EQ(rig.panel(panel::kProgramme), "Three on Channel101 starts in 000:04:00:00");
}

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

class ClockStepTest : public ::testing::Test {
protected:
    ClockStepTest() : rig(kEight.plusMinutes(-5)) {
        rig.loadSchedule(programme("Film", kEight, 60, "1").text() +
                         programme("Later", kEight.plusMinutes(60), 30, "2").text());
        runUntil(rig, toInstant(kEight) + 400ms);
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(rig.movies() / name); }

    RecorderRig rig;
};

}  // namespace

// The device stops at the programme's real end, but the clock, set back ten
// minutes during the recording, says the programme is still on.
TEST_F(ClockStepTest, AStepBackDoesNotRecordTheSameProgrammeTwice) {
    rig.run(30min);
    rig.clock.step(-10min);
    rig.run(30min);
    EXPECT_EQ(rig.device.state, CaptureDevice::Idle) << "the device reached its limit";
    rig.run(2s);
    EXPECT_EQ(startedFiles(rig.device).size(), 1u);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    EXPECT_TRUE(exists("Film-20001[1.1].mpg"));
    EXPECT_FALSE(exists("Film-20002[1.].mpg"));
    EXPECT_EQ(rig.listing.NextRow(), 2);
    EXPECT_EQ(rig.panel(panel::kProgramme).find("Later on Channel2 starts in 000:00:09:"), 0u)
        << rig.panel(panel::kProgramme);

    // A reload while the clock still reads inside the programme keeps it done.
    rig.next.Find_Next_Schedule();
    EXPECT_EQ(rig.listing.NextRow(), 2);
    rig.run(10min);
    ASSERT_EQ(startedFiles(rig.device).size(), 2u);
    EXPECT_EQ(startedFiles(rig.device)[1], (rig.movies() / "Later-21001[1.].mpg").string());
}

// A device that really stops short is still started again: the programme's
// time has not run out.
TEST_F(ClockStepTest, AnEarlyStopWithoutAStepStillRecordsOn) {
    rig.run(10min);
    rig.device.setCaptureLimit(rig.device.CaptureElapsed() + 1000);
    rig.run(2s);
    EXPECT_EQ(startedFiles(rig.device).size(), 2u);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
}

// Set forward ten minutes, the clock reaches the programme's end before the
// device's limit does: the recording ends on the clock and the next
// programme starts on time rather than minutes late.
TEST_F(ClockStepTest, AStepForwardEndsWithTheProgrammeOnTheClock) {
    rig.run(30min);
    rig.clock.step(10min);
    runUntil(rig, toInstant(kEight.plusMinutes(60)) + 800ms);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    ASSERT_EQ(startedFiles(rig.device).size(), 2u);
    EXPECT_EQ(rig.cell(2, Column::Status), "Recording");
    EXPECT_TRUE(exists("Film-20001[1.1].mpg"));
}
