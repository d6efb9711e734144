// The schedule file watcher and "Reload Schedule".
#include "recorder_under_test.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kNow = DateTime::fromCivil(2026, 12, 7, 12, 0);

}  // namespace

TEST(ScheduleWatcher, TakesUpAnAppendedRecordOnlyWhenAutoLoadIsOn) {
    RecorderUnderTest r(kNow);
    r.append(programme("First", kNow.plusMinutes(60), 30));
    r.recorder.reloadSchedule();
    ASSERT_EQ(r.rows(), 1);

    r.append(programme("Second", kNow.plusMinutes(120), 30));
    r.recorder.settings().AutoLoadSchedule = false;
    r.recorder.Timer2_Timer();
    EXPECT_EQ(r.rows(), 1) << "the box is read at the moment of the tick";

    r.recorder.settings().AutoLoadSchedule = true;
    r.recorder.Timer2_Timer();
    EXPECT_EQ(r.rows(), 2);
    EXPECT_EQ(r.listing.NextRow(), 1);
}

TEST(ScheduleWatcher, WaitsWhileRecordingAndCatchesUpAfterwards) {
    RecorderUnderTest r(kNow);
    r.append(programme("First", kNow.plusMinutes(60), 30));
    r.recorder.reloadSchedule();
    r.device.state = CaptureDevice::Recording;
    r.append(programme("Second", kNow.plusMinutes(120), 30));

    r.recorder.Timer2_Timer();
    r.recorder.ReloadSchedule_Click();
    EXPECT_EQ(r.rows(), 1);

    r.device.state = CaptureDevice::Idle;
    r.recorder.Timer2_Timer();
    EXPECT_EQ(r.rows(), 2) << "the file's date still differs after the recording";
}

TEST(ScheduleWatcher, IgnoresTheRecordersOwnRewriteAndAVanishedFile) {
    RecorderUnderTest r(kNow);
    r.append(programme("First", kNow.plusMinutes(60), 30));
    r.recorder.reloadSchedule();
    // A change only the list knows of is lost by a reload; the watcher must
    // not reload after the recorder's own write.
    ASSERT_TRUE(r.recorder.document().Write_Schedule());
    r.listing.list().setCell(1, Column::Status, "marker");
    r.recorder.Timer2_Timer();
    EXPECT_EQ(r.listing.list().cell(1, Column::Status), "marker");

    std::filesystem::remove(r.dir / "KelboSchedule.txt");
    r.recorder.Timer2_Timer();
    EXPECT_EQ(r.rows(), 1) << "the list keeps what was last loaded";
}

TEST(ReloadScheduleCommand, ReloadsWhateverTheDateAndEmptiesForAMissingFile) {
    RecorderUnderTest r(kNow);
    r.append(programme("First", kNow.plusMinutes(60), 30));
    r.recorder.reloadSchedule();
    r.listing.list().setCell(1, Column::Status, "marker");
    r.recorder.ReloadSchedule_Click();
    EXPECT_EQ(r.listing.list().cell(1, Column::Status), "");

    std::filesystem::remove(r.dir / "KelboSchedule.txt");
    r.recorder.ReloadSchedule_Click();
    EXPECT_EQ(r.rows(), 0);
    EXPECT_EQ(r.listing.NextRow(), 0);
}
