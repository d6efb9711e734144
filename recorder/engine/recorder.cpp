#include "recorder.h"

#include "capture_device.h"

#include <filesystem>

namespace kelbo {

Recorder::Recorder(RecorderPorts ports)
    : ports_(ports),
      document(settings, ports.messages, ports.clock),
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
}

void Recorder::Timer2_Timer() {
    if (recording() || !settings.AutoLoadSchedule) return;
    const std::filesystem::path file = document.scheduleFilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    if (stampOf(file) != document.ScheduleFileDate()) reloadSchedule();
}

void Recorder::ReloadSchedule_Click() {
    if (!recording()) reloadSchedule();
}

void Recorder::shutDown() {
    session.Stop_Recording();
    ports_.device.setStateListener(nullptr);
}

}  // namespace kelbo
