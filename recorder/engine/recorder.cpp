#include "recorder.h"

#include "status_texts.h"

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
      status_(ports.statusBar),
      livePreview_(ports.device, ports.messages),
      session_(context()),
      tick_(context(), session_) {
    next_.setChoosingListener([this] { status_.showNothingToRecord(); });
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
    return RecorderContext{document_,      next_,     status_,       ports_.statusBar,
                           ports_.device,  settings_, ports_.clock,  ports_.messages,
                           ports_.window,  ports_.tray};
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

RecorderStatus Recorder::currentStatus() const {
    const StatusBarPort& bar = ports_.statusBar;
    const auto shown = [&bar](const std::string& key) {
        return bar.panelVisible(key) ? bar.panelText(key) : std::string();
    };
    RecorderStatus s;
    s.state = bar.panelText(panel::kStatus);
    s.programme = bar.panelText(panel::kProgramme);
    s.counter = shown(panel::kCounter);
    s.split = shown(panel::kSplit);
    if (const std::int64_t recorded = session_.recordedMs(); recorded > 0)
        s.recorded = hoursMinutesSeconds(recorded);
    s.progress = status_.Progress();
    s.recording = recording();
    if (s.recording) s.currentFile = session_.CurrentFile;
    return s;
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

RecorderState Recorder::state() const {
    RecorderState s;
    switch (ports_.device.ReadyState()) {
    case CaptureDevice::Idle: s.device = RecorderState::Device::Idle; break;
    case CaptureDevice::Previewing: s.device = RecorderState::Device::Previewing; break;
    case CaptureDevice::StreamReady: s.device = RecorderState::Device::StreamReady; break;
    case CaptureDevice::Recording: s.device = RecorderState::Device::Recording; break;
    default: s.device = RecorderState::Device::Other; break;
    }
    const ScheduleItem* item = document_.schedule().stored(next_.id());
    if (next_.any() && item) {
        const auto toGo = std::chrono::ceil<std::chrono::seconds>(next_.bufferedStart() - ports_.clock.now());
        s.next = RecorderState::Next{next_.id(), item->ProgrammeName, item->ChannelName, next_.bufferedStart(),
                                     next_.bufferedEnd(), std::max(toGo, std::chrono::seconds(0))};
    }
    if (recording() && item) {
        s.recording = RecorderState::Recording{next_.id(),
                                               item->ProgrammeName,
                                               session_.CurrentFile,
                                               ports_.device.CaptureElapsed(),
                                               ports_.device.CaptureLimit(),
                                               status_.Progress()};
    }
    return s;
}

void Recorder::recoverInterruptedRecordings() { recoverLeftoverParts(document_); }

void Recorder::shutDown() {
    session_.shutDown();
    ports_.device.setStateListener(nullptr);
}

}  // namespace kelbo
