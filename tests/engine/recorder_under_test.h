#pragma once

// A whole Recorder wired to a fixed clock, a scripted device and recording
// fakes for the window, with its schedule file in a fresh folder and its
// log in a state folder of its own.
#include "recorder/engine/recorder.h"
#include "recorder/forms/status_panels.h"
#include "recorder/forms/schedule_listing.h"
#include "support/fake_window.h"
#include "support/recorder_rig.h"
#include "support/recording_message_boxes.h"
#include "support/scoped_state_home.h"

#include <fstream>
#include <string>

namespace kelbo::testing {

struct RecorderUnderTest {
    // Recordings are named by `fileString` below the folder.
    explicit RecorderUnderTest(DateTime now, const std::string& fileString = "%programme%.mpg")
        : clock(toInstant(now)),
          recorder(RecorderPorts{panels, messages, clock, device}),
          listing(recorder.document(), recorder.next()) {
        recorder.settings().ScheduleFile = (dir / "KelboSchedule.txt").string();
        recorder.settings().FileString = (dir / fileString).string();
        recorder.settings().Template = "DVD";
    }

    void tickAt(DateTime now) {
        clock.set(toInstant(now));
        recorder.Timer1_Timer();
    }
    void append(const GuideRecord& record) {
        std::ofstream(dir / "KelboSchedule.txt", std::ios::binary | std::ios::app) << record.text();
    }
    int rows() const { return listing.list().rowCount(); }
    // What kelbo --status tells.
    RecorderStatus currentStatus() const { return panels.report(recorder.state()); }

    ScopedStateHome state;
    TempDir dir;
    FixedClock clock;
    FakeStatusBar statusBar;
    FakeWindow window;
    FakeTray tray;
    StatusPanels panels{statusBar, window, tray};
    RecordingMessageBoxes messages;
    ScriptedCaptureDevice device;
    Recorder recorder;
    // What the windows show of it.
    ScheduleListing listing;
};

}  // namespace kelbo::testing
