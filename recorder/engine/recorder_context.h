#pragma once

namespace kelbo {

class CaptureDevice;
class Clock;
class MessageBoxes;
class NextProgramme;
class RecorderView;
class ScheduleDocument;
struct LiveSettings;

// What the recording engine works with, all owned by the program for the run.
struct RecorderContext {
    ScheduleDocument& document;
    NextProgramme& next;
    RecorderView& view;
    CaptureDevice& device;
    const LiveSettings& settings;
    const Clock& clock;
    MessageBoxes& messages;
};

}  // namespace kelbo
