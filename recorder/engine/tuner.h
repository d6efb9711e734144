#pragma once

#include "recording_session.h"
#include "scheduler_tick.h"
#include "tuner_messages.h"
#include "tuner_view.h"
#include "recorder/schedule/next_programme.h"

#include <memory>

namespace kelbo {

class CaptureDevice;
class Clock;
class ScheduleDocument;
struct LiveSettings;

// What every tuner shares with the others.
struct TunerServices {
    ScheduleDocument& document;
    const LiveSettings& settings;
    const Clock& clock;
    RecorderView& view;
    MessageBoxes& messages;
    const TunerCrowd& crowd;
    std::function<int()> tunerCount;
};

// One tuner: its capture device, the programme it records next, and its
// own recording session and tick, so that a failure, a stall or a
// reconnect on one never disturbs another. Tuner 1 records the next
// programme of the schedule; the others take programmes that are due
// while it is busy.
class Tuner {
public:
    // `owned` is the device when the tuner owns it (tuners 2 on).
    Tuner(int number, const TunerServices& services, CaptureDevice& device,
          std::unique_ptr<CaptureDevice> owned = nullptr);
    Tuner(const Tuner&) = delete;
    Tuner& operator=(const Tuner&) = delete;
    ~Tuner();

    int number() const { return number_; }
    CaptureDevice& device() { return device_; }
    const CaptureDevice& device() const { return device_; }
    NextProgramme& next() { return next_; }
    const NextProgramme& next() const { return next_; }
    RecordingSession& session() { return session_; }
    const RecordingSession& session() const { return session_; }
    SchedulerTick& tick() { return tick_; }
    const SchedulerTick& tick() const { return tick_; }
    const TunerView& view() const { return view_; }

    bool recording() const;
    // Recording, starting, or holding parts not yet given their names.
    bool busy() const;
    // The programme it has taken, while it has one.
    ProgrammeId taken() const { return next_.any() ? next_.id() : 0; }

private:
    RecorderContext context();

    int number_;
    std::unique_ptr<CaptureDevice> owned_;
    CaptureDevice& device_;
    NextProgramme next_;
    TunerView view_;
    TunerMessages messages_;
    ScheduleDocument& document_;
    const LiveSettings& settings_;
    const Clock& clock_;
    RecordingSession session_;
    SchedulerTick tick_;
};

}  // namespace kelbo
