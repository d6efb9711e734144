#pragma once

#include "live_preview.h"
#include "recorder_state.h"
#include "recording_session.h"
#include "scheduler_tick.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder_view.h"

namespace kelbo {

// What the program gives the recorder to work with.
struct RecorderPorts {
    RecorderView& view;
    MessageBoxes& messages;
    const Clock& clock;
    CaptureDevice& device;
};

// Everything the main window owns for the whole run, without the window:
// the live settings, the schedule, the next programme, the recording and
// its tick, and the reloads of the schedule file.
class Recorder {
    RecorderPorts ports_;  // first: the members below are built from it

public:
    explicit Recorder(RecorderPorts ports);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Load_Schedule, the programmes listed again and Find_Next_Schedule, in that order.
    void reloadSchedule();
    // The watcher: reloads when another program has changed the file.
    void Timer2_Timer();
    // "Reload Schedule": reloads whatever the file's date; false (and
    // nothing done) while recording.
    bool ReloadSchedule_Click();
    // The stop button; false when nothing was recording.
    bool stopRecording();
    RecorderState state() const;
    // Gives the part files of recordings that were cut short by a crash or
    // a power loss their final names; run after the first load of the
    // schedule, before the first tick.
    void recoverInterruptedRecordings();
    // Ends a recording in progress so its parts are complete files under
    // their final names; the program is about to end.
    void shutDown();

    bool recording() const;

    // The 400 ms tick.
    void Timer1_Timer();
    // The Live Preview menu entry, and whether it is ticked.
    void IsLivePreview_Click();
    bool livePreviewTicked() const;

    // What the windows' forms edit in place: they share these with the
    // recording, so that a change is seen by the next tick.
    LiveSettings& settings() { return settings_; }
    const LiveSettings& settings() const { return settings_; }
    ScheduleDocument& document() { return document_; }
    const ScheduleDocument& document() const { return document_; }
    NextProgramme& next() { return next_; }
    const NextProgramme& next() const { return next_; }

private:
    RecorderContext context();

    LiveSettings settings_;
    ScheduleDocument document_;
    NextProgramme next_;
    LivePreview livePreview_;
    RecordingSession session_;
    SchedulerTick tick_;
};

}  // namespace kelbo
