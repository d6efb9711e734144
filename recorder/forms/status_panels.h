#pragma once

#include "status_display.h"
#include "recorder/engine/recorder_view.h"
#include "recorder/ports/ui_ports.h"

#include <string>

namespace kelbo {

// What the status bar shows, for the commands sent to the running recorder.
struct RecorderStatus {
    std::string state;      // "Recording", "Idle", ...
    std::string programme;  // the programme panel: count-down or time left
    std::string counter;    // elapsed and limit; empty when not shown
    std::string split;      // time or bytes to the next split; empty when not shown
    std::string recorded;   // all of the programme recorded so far; empty when nothing
    int progress = 0;
    bool recording = false;
    std::string currentFile;  // the part file being written, while recording
};

// One line for each recording in progress (name on channel, tuner, time
// left), in the user's language; empty unless more than one records.
std::string recordingsTip(const RecorderState& state);

// The main window's status bar, tray icon and the buttons that follow the
// recording, drawn from what the recorder tells. Every text is drawn from
// the recorder's state; the panels keep English texts to be read back and
// show them in the user's language.
class StatusPanels : public RecorderView {
public:
    StatusPanels(StatusBarPort& bar, WindowPort& window, TrayPort& tray);

    // The main window's Status and Progress properties.
    const std::string& Status() const { return status_.Status(); }
    int Progress() const { return status_.Progress(); }

    // The texts of the status bar for `state`, as `kelbo --status` gives them.
    RecorderStatus report(const RecorderState& state) const;

    void nothingChosen() override;
    void tickBegan(RecorderState::Device device) override;
    void ticked(const RecorderState& state) override;
    void recordingBegun(const RecorderState& state) override;
    void captureBegan() override;
    void captureEnded() override;
    bool livePreviewWanted() const override;

private:
    void showDeviceState(RecorderState::Device device);
    void showProgramme(const RecorderState& state);
    void showRecording(const RecorderState::Recording& recording, bool minimised);

    StatusBarPort& bar_;
    WindowPort& window_;
    TrayPort& tray_;
    StatusDisplay status_;
    bool severalTuners_ = false;  // as the last state drawn says
};

}  // namespace kelbo
