#pragma once

namespace kelbo {

class CaptureDevice;
class Clock;
class MessageBoxes;
class NextProgramme;
class ScheduleDocument;
class StatusBarPort;
class StatusDisplay;
class TrayPort;
class WindowPort;
struct LiveSettings;

// What the recording engine works with, all owned by the main window.
struct RecorderContext {
    ScheduleDocument& document;
    NextProgramme& next;
    StatusDisplay& status;
    StatusBarPort& statusBar;
    CaptureDevice& device;
    const LiveSettings& settings;
    const Clock& clock;
    MessageBoxes& messages;
    WindowPort& window;
    TrayPort& tray;
};

}  // namespace kelbo
