#include "recorder.h"

#include "recorder/device/capture_device.h"
#include "recorder/ports/log.h"
#include "part_recovery.h"

#include <algorithm>
#include <filesystem>

namespace kelbo {

Recorder::Recorder(RecorderPorts ports)
    : ports_(ports),
      document_(settings_, ports.messages, ports.clock),
      next_(document_, ports.clock),
      livePreview_(ports.device, ports.messages),
      session_(context()),
      tick_(context(), session_) {
    next_.setChoosingListener([this] { ports_.view.nothingChosen(); });
    ports_.device.setStateListener([this] {
        session_.resolvePendingStart();
        // A recording the device has just ended by itself is finished at
        // once, and a programme due back to back starts now, rather than
        // at the next tick up to 400 ms on.
        if (!recording() && !session_.startPending()) tick_.Timer1_Timer();
        if (recording()) tick_.showRecordingBegun();
    });
}

RecorderContext Recorder::context() {
    return RecorderContext{document_, next_, ports_.view, ports_.device, settings_, ports_.clock, ports_.messages};
}

void Recorder::Timer1_Timer() { tick_.Timer1_Timer(); }

void Recorder::IsLivePreview_Click() { livePreview_.IsLivePreview_Click(); }

bool Recorder::livePreviewTicked() const { return livePreview_.isTicked(); }

bool Recorder::recording() const { return ports_.device.ReadyState() == CaptureDevice::Recording; }

void Recorder::reloadSchedule() {
    document_.Load_Schedule();
    document_.schedule().listAll();
    next_.Find_Next_Schedule();
    log::info(log::Area::Schedule, "Schedule loaded from " + document_.scheduleFilePath().string() + ": " +
              std::to_string(document_.schedule().listedCount()) + " programmes listed");
}

void Recorder::Timer2_Timer() {
    // A change not yet written waits for the lock; a reload would lose it,
    // and the rewrite takes in whatever changed in the file meanwhile.
    if (document_.writePending()) {
        document_.retryPendingWrite(true);
        return;
    }
    if (recording() || !settings_.AutoLoadSchedule) return;
    const std::filesystem::path file = document_.scheduleFilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    if (stampOf(file) == document_.ScheduleFileDate()) return;
    log::info(log::Area::Schedule, "Schedule file changed by another program; reloading");
    reloadSchedule();
}

bool Recorder::ReloadSchedule_Click() {
    if (recording()) {
        log::info(log::Area::Schedule, "Reload Schedule refused: a recording is in progress");
        return false;
    }
    log::info(log::Area::Schedule, "Reload Schedule");
    reloadSchedule();
    return true;
}

bool Recorder::stopRecording() {
    if (!recording()) return false;
    session_.Stop_Recording();
    return true;
}

std::string_view deviceStateName(RecorderState::Device device) {
    switch (device) {
    case RecorderState::Device::Idle: return "idle";
    case RecorderState::Device::Previewing: return "previewing";
    case RecorderState::Device::StreamReady: return "streamReady";
    case RecorderState::Device::Recording: return "recording";
    case RecorderState::Device::Other: break;
    }
    return "other";
}

RecorderState Recorder::state() const { return tick_.state(); }

void Recorder::recoverInterruptedRecordings() { recoverLeftoverParts(document_); }

void Recorder::shutDown() {
    session_.shutDown();
    ports_.device.setStateListener(nullptr);
}

}  // namespace kelbo
