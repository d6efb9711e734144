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
    // Tuner 1's tick leads: it retries the schedule's pending rewrite and
    // chooses again after changes made outside. Another tuner's tick looks,
    // while the tuner is free, for a due programme no tuner has taken.
    enum class Role { Leads, TakesDue };
    SchedulerTick(RecorderContext context, RecordingSession& session, Role role = Role::Leads);

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
    void openAheadIfDueSoon();
    void startIfDue();
    void finish(bool ranToItsEnd);
    void chooseAgainIfFree();

    RecorderContext c_;
    RecordingSession& session_;
    Role role_;
};

}  // namespace kelbo
