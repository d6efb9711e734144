#pragma once

#include "live_preview.h"
#include "recording_session.h"
#include "scheduler_tick.h"
#include "recorder/core/live_settings.h"
#include "recorder/core/next_programme.h"
#include "recorder/core/schedule_document.h"
#include "recorder/core/status_display.h"

namespace kelbo {

// What the window gives the recorder to work with.
struct RecorderPorts {
    StatusBarPort& statusBar;
    WindowPort& window;
    TrayPort& tray;
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

    // Load_Schedule, Display_Schedule and Find_Next_Schedule, in that order.
    void reloadSchedule();
    // The watcher: reloads when another program has changed the file.
    void Timer2_Timer();
    // "Reload Schedule": reloads whatever the file's date.
    void ReloadSchedule_Click();
    // Gives the part files of recordings that were cut short by a crash or
    // a power loss their final names; run after the first load of the
    // schedule, before the first tick.
    void recoverInterruptedRecordings();
    // Ends a recording in progress so its parts are complete files under
    // their final names; the program is about to end.
    void shutDown();

    bool recording() const;

    LiveSettings settings;
    ScheduleDocument document;
    NextProgramme next;
    StatusDisplay status;
    LivePreview livePreview;
    RecordingSession session;
    SchedulerTick tick;

private:
    RecorderContext context();
};

}  // namespace kelbo
