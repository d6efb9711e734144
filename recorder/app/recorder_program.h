#pragma once

#include "common/default_folders.h"
#include "recorder/forms/main_window_port.h"
#include "recorder/forms/options_form.h"
#include "recorder/forms/status_panels.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelbo {
class CaptureDevice;
class Clock;
class DetailPane;
class MessageBoxes;
class Recorder;
class ScheduleCommands;
class ScheduleListing;
class SettingsStore;
}  // namespace kelbo

namespace kelbo::app {

// What the program gives the recorder for the whole run.
struct ProgramServices {
    SettingsStore& store;
    MessageBoxes& messages;
    const Clock& clock;
    DefaultFolders defaultFolders;
    // What the Options dialog offers as capture sources.
    std::vector<CaptureSourceChoice> captureSources;
};

// Opens the capture device once the preview window exists; nothing when
// there is no device (the opener has told the user).
using DeviceOpener = std::function<std::unique_ptr<CaptureDevice>()>;
// Opens the device of tuner `number` (2 to 8); nothing when there is none.
using TunerOpener = std::function<std::unique_ptr<CaptureDevice>(int number)>;

// The recorder program without its windows: it owns the device, the
// recorder and the forms for the whole run, and runs the start-up in its
// order (device, settings, column layout, schedule, next programme, window
// placement, timers, tray) and the shutdown. The main window it is given
// must outlive it.
class RecorderProgram : public OptionsHost {
public:
    explicit RecorderProgram(ProgramServices services);
    ~RecorderProgram() override;
    RecorderProgram(const RecorderProgram&) = delete;
    RecorderProgram& operator=(const RecorderProgram&) = delete;

    // False when the program has to end (no device, no templates).
    // Tuners beyond the first are opened with `openTuner` as the settings ask.
    bool startUp(MainWindowPort& window, const DeviceOpener& openDevice, TunerOpener openTuner = {});
    // Stops the timers and any recording and saves the window's layout;
    // once, and only after a complete start-up. Closing the window runs it.
    void shutDown();

    Recorder& recorder() { return *recorder_; }
    StatusPanels& panels() { return *panels_; }
    ScheduleListing& listing() { return *listing_; }
    CaptureDevice& device() { return *device_; }
    OptionsForm& options() { return *options_; }

    // OptionsHost
    void reloadSchedule() override;
    std::string exampleFileName() override;

private:
    bool openRecorder(const DeviceOpener& openDevice);
    void saveWindowLayout();

    ProgramServices services_;
    MainWindowPort* window_ = nullptr;
    // In this order, so that each goes before what it refers to.
    std::unique_ptr<CaptureDevice> device_;
    std::unique_ptr<StatusPanels> panels_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<ScheduleListing> listing_;
    std::unique_ptr<OptionsForm> options_;
    std::unique_ptr<DetailPane> pane_;
    std::unique_ptr<ScheduleCommands> commands_;
    bool started_ = false;
    bool shutDown_ = false;
};

}  // namespace kelbo::app
