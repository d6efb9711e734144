// What the recorder does when the device reports a change of its state.
#include "recorder_under_test.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {
const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);
}  // namespace

// Back to back: the device stops itself at the first programme's end, and
// its notice finishes that programme and starts the next one at once,
// without waiting for the next tick.
TEST(RecorderDeviceEvents, TheDeviceEndingARecordingFinishesItAndStartsTheNextAtOnce) {
    RecorderUnderTest r(kEight.plusMinutes(-1), "movies/%programme%.mpg");
    r.append(programme("First", kEight, 1));
    r.append(programme("Second", kEight.plusMinutes(1), 1, "2"));
    r.recorder.reloadSchedule();
    r.tickAt(kEight);
    r.clock.advance(400ms);
    r.recorder.Timer1_Timer();
    ASSERT_EQ(r.device.ReadyState(), CaptureDevice::Recording);

    // Media time reaches the limit a few milliseconds after the clock passed
    // the programme's end; no tick runs in between.
    r.clock.advance(60s - 400ms + 20ms);
    ASSERT_TRUE(r.device.advance(r.device.CaptureLimit()));
    r.device.notify();

    EXPECT_EQ(r.listing.list().cell(1, Column::Status), "Recorded");
    EXPECT_EQ(r.device.ReadyState(), CaptureDevice::Recording);
    EXPECT_EQ(r.currentStatus().currentFile, (r.dir / "movies" / "Second1[1.].mpg").string());
}
