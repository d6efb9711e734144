#pragma once

namespace kelbo {

// The run's two timers, driven by the window's event loop: the recording
// tick (every 400 ms, Recorder::Timer1_Timer) and the schedule-file watcher
// (every 30 s, Recorder::Timer2_Timer). The start-up and the shutdown say
// when they run.
class TimerPort {
public:
    virtual ~TimerPort() = default;
    virtual void startTick() = 0;
    virtual void startWatcher() = 0;
    // Both stop; neither fires again.
    virtual void stopTimers() = 0;
};

}  // namespace kelbo
