#include "recorder.h"

#include "recorder/device/capture_device.h"
#include "recorder/ports/log.h"
#include "part_recovery.h"

#include <filesystem>

namespace kelbo {

Recorder::Recorder(RecorderPorts ports)
    : ports_(ports),
      document(settings, ports.messages),
      next(document.list(), ports.statusBar, ports.clock),
      status(ports.statusBar),
      livePreview(ports.device, ports.messages),
      session(context()),
      tick(context(), session) {
    ports_.device.setStateListener([this] { session.resolvePendingStart(); });
}

RecorderContext Recorder::context() {
    return RecorderContext{document,        next,          status,          ports_.statusBar,
                           ports_.device,   settings,      ports_.clock,    ports_.messages,
                           ports_.window,   ports_.tray};
}

bool Recorder::recording() const { return ports_.device.ReadyState() == CaptureDevice::Recording; }

void Recorder::reloadSchedule() {
    document.Load_Schedule();
    document.Display_Schedule(next.NextRow());
    next.Find_Next_Schedule();
    log::info("Schedule loaded from " + document.scheduleFilePath().string() + ": " +
              std::to_string(document.list().rowCount()) + " programmes listed");
}

void Recorder::Timer2_Timer() {
    if (recording() || !settings.AutoLoadSchedule) return;
    const std::filesystem::path file = document.scheduleFilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    if (stampOf(file) == document.ScheduleFileDate()) return;
    log::info("Schedule file changed by another program; reloading");
    reloadSchedule();
}

bool Recorder::ReloadSchedule_Click() {
    if (recording()) {
        log::info("Reload Schedule refused: a recording is in progress");
        return false;
    }
    log::info("Reload Schedule");
    reloadSchedule();
    return true;
}

bool Recorder::stopRecording() {
    if (!recording()) return false;
    session.Stop_Recording();
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
    s.progress = status.Progress();
    s.recording = recording();
    if (s.recording) s.currentFile = session.CurrentFile;
    return s;
}

void Recorder::recoverInterruptedRecordings() { recoverLeftoverParts(document.list()); }

void Recorder::shutDown() {
    session.shutDown();
    ports_.device.setStateListener(nullptr);
}

}  // namespace kelbo
