#pragma once

#include "recorder_context.h"
#include "recorder_state.h"
#include "common/clock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kelbo {

class RecordingSession;

// The 400 ms tick. It keeps no state of its own: from the next programme,
// the clock and the device's state it starts, splits and finishes
// recordings, and tells the view what it left.
class SchedulerTick {
public:
    SchedulerTick(RecorderContext context, RecordingSession& session);

    void Timer1_Timer();
    // The view catches up with a recording the moment it begins, so that
    // nothing asking in between hears the state from before it.
    void showRecordingBegun();
    // What the recorder is doing now.
    RecorderState state() const;

private:
    RecorderState::Split splitRule() const;
    RecorderState::Device deviceState() const;
    void splitIfDue();
    std::string programmeOnChannel() const;
    bool worthStarting() const;
    void keepToTheClock();
    void startIfDue();
    void finish(bool ranToItsEnd);

    RecorderContext c_;
    RecordingSession& session_;
};

}  // namespace kelbo
