#pragma once

#include "column_layout_store.h"
#include "recorder/ports/timer_port.h"
#include "recorder/ports/ui_ports.h"

#include <functional>
#include <vector>

namespace kelbo {

class CaptureDevice;
class DetailPane;
class OptionsForm;
class Recorder;
class ScheduleCommands;
class ScheduleListing;

// What the main window shows and forwards to for the whole run. The
// program's start-up builds them and keeps them until after the window's
// widgets are gone.
struct RecorderParts {
    Recorder& recorder;
    ScheduleListing& listing;
    CaptureDevice& device;
    OptionsForm& options;
    DetailPane& pane;
    ScheduleCommands& commands;
};

// The main window as the program's start-up and shutdown use it. The Qt
// window implements it; tests use a recording fake.
class MainWindowPort : public WindowPort {
public:
    // The ports the recorder reports through.
    virtual StatusBarPort& statusBarPort() = 0;
    virtual TrayPort& trayPort() = 0;
    virtual TimerPort& timerPort() = 0;

    // The preview window the capture device draws into: made before the
    // device is opened.
    virtual void createPreview() = 0;
    // The Options dialog, the schedule list, the detail pane and the
    // buttons, over the recorder's parts.
    virtual void buildFrames(const RecorderParts& parts) = 0;
    // Placed at `rect` within the screen's limits, laid out and shown, with
    // the preview beside the detail frame.
    virtual void showAt(const WindowRect& rect) = 0;
    virtual void showMinimised() = 0;
    // What closing the window runs.
    virtual void setCloseHandler(std::function<void()> handler) = 0;

    // What the shutdown saves: the list's columns, and the window's
    // normal-state rectangle, so that a window closed minimised or
    // maximised comes back usable.
    virtual std::vector<ColumnState> columnStates() const = 0;
    virtual WindowRect normalRect() const = 0;
    // The end of the shutdown: the preview, the Options dialog and the tray
    // icon go.
    virtual void closeChildWindows() = 0;
    // The widgets that show the recorder's parts go before those parts do.
    virtual void releaseFrames() = 0;
};

}  // namespace kelbo
