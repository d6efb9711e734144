#pragma once

#include "recorder_context.h"
#include "common/clock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kelbo {

class RecordingSession;

// The 400 ms tick. It keeps no state of its own: from the next programme,
// the clock and the device's state it counts down, starts, splits and
// finishes recordings, and keeps the status bar and tray icon current.
class SchedulerTick {
public:
    SchedulerTick(RecorderContext context, RecordingSession& session);

    void Timer1_Timer();
    // The status bar catches up with a recording the moment it begins, so
    // that nothing asking in between hears the state from before it.
    void showRecordingBegun();

private:
    struct SplitRule;
    SplitRule splitRule() const;
    void showDeviceState();
    void whileRecording(bool minimised);
    void showFailing(Instant now);
    std::string programmeOnChannel() const;
    // The same in the user's language, for the status bar to show.
    std::string shownProgrammeOnChannel() const;
    bool worthStarting() const;
    void keepToTheClock();
    void startIfDue();
    void finish(bool ranToItsEnd);

    RecorderContext c_;
    RecordingSession& session_;
};

}  // namespace kelbo
