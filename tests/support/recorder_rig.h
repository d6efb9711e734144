#pragma once

#include "fake_window.h"
#include "recording_message_boxes.h"
#include "schedule_text.h"
#include "scripted_capture_device.h"
#include "temp_dir.h"
#include "common/clock.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder/forms/status_panels.h"
#include "recorder/engine/recording_session.h"
#include "recorder/engine/scheduler_tick.h"

#include <chrono>
#include <string>
#include <vector>

namespace kelbo::testing {

// The recorder's logic wired as the main window wires it, with a fixed
// clock, a scripted device and recording fakes for the window.
struct RecorderRig {
    explicit RecorderRig(DateTime now);

    // Writes the schedule file and loads it as start-up does.
    void loadSchedule(const std::string& text);
    void loadProgrammes(const std::vector<GuideRecord>& records);
    // Gives table slot `slot` buffers of its own and shows the list again.
    void setBuffers(int slot, const std::string& start, const std::string& end);
    void setNow(DateTime now) { clock.set(toInstant(now)); }
    DateTime now() const { return clock.localNow(); }
    // Moves the clock and the device's media time on together, one tick at
    // a time, as the running program would.
    void run(std::chrono::milliseconds span, std::chrono::milliseconds step = std::chrono::milliseconds(400));
    void tick() { tick_.Timer1_Timer(); }

    std::string cell(int row, Column column) const { return listing.list().cell(row, column); }
    std::string panel(const std::string& key) const { return statusBar.panelText(key); }
    std::string scheduleText() const;
    std::filesystem::path movies() const { return dir / "movies"; }

    TempDir dir;
    LiveSettings settings;
    RecordingMessageBoxes messages;
    FixedClock clock;
    ScheduleDocument document;
    FakeStatusBar statusBar;
    NextProgramme next;
    ScheduleListing listing;
    ScriptedCaptureDevice device;
    FakeWindow window;
    FakeTray tray;
    // The main window's status bar and tray, drawn from what the engine tells.
    StatusPanels status;
    RecordingSession session;
    SchedulerTick tick_;
};

GuideRecord programme(const std::string& name, DateTime start, int minutes,
                      const std::string& channelNumber = "101");

}  // namespace kelbo::testing
