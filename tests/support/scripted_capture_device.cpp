#include "scripted_capture_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace kelbo::testing {

void ScriptedCaptureDevice::notify() {
    if (listener_) listener_();
}

void ScriptedCaptureDevice::PrepareDevice() {
    calls.push_back("PrepareDevice");
    if (previewWorks && state == Idle) state = StreamReady;
}

void ScriptedCaptureDevice::StartPreview() {
    calls.push_back("StartPreview");
    if (!previewWorks) return;
    previewOn_ = true;
    if (state != Recording) state = Previewing;
}

void ScriptedCaptureDevice::StopPreview() {
    calls.push_back("StopPreview");
    previewOn_ = false;
    if (state == Previewing || state == StreamReady) state = stateAfterStop;
}

void ScriptedCaptureDevice::StartCapture(const std::string& file) {
    calls.push_back("StartCapture " + file);
    if (whileStarting) whileStarting(file);
    // A failing start keeps the reason the script gave in `error`.
    if (onStart == OnStart::Fail) return;
    error.clear();
    fault = DeviceFault::None;
    if (onStart == OnStart::Record && !std::ofstream(file, std::ios::binary | std::ios::app)) {
        const int systemError = errno;
        const std::string folder = std::filesystem::path(file).parent_path().string();
        error = "Cannot write " + (folder.empty() ? file : folder) + ": " + std::strerror(systemError);
        fault = systemError == ENOSPC || systemError == EDQUOT ? DeviceFault::DiskFull : DeviceFault::Folder;
        return;
    }
    capturing = file;
    if (state == Idle) state = StreamReady;  // the source starts with the capture
    if (onStart == OnStart::Record) beginRecording();
}

void ScriptedCaptureDevice::beginRecording() {
    state = Recording;
    std::ofstream(capturing, std::ios::binary | std::ios::app) << "MPEG";
}

void ScriptedCaptureDevice::endCapture() {
    capturing.clear();
    if (state == Recording) state = previewOn_ ? Previewing : StreamReady;
}

void ScriptedCaptureDevice::failWrite(const std::string& why, DeviceFault kind) {
    error = why;
    fault = kind;
    endCapture();
}

void ScriptedCaptureDevice::StopCapture() {
    calls.push_back("StopCapture");
    endCapture();
}

bool ScriptedCaptureDevice::advance(std::int64_t ms) {
    if (state != Recording) return false;
    elapsed_ += ms;
    if (limit_ > 0 && elapsed_ >= limit_) {
        elapsed_ = limit_;
        endCapture();
        return true;
    }
    return false;
}

void ScriptedCaptureDevice::grow(std::int64_t bytes) {
    std::ofstream(capturing, std::ios::binary | std::ios::app) << std::string(static_cast<size_t>(bytes), 'x');
}

int ScriptedCaptureDevice::count(const std::string& call) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
        return c == call || c.rfind(call + " ", 0) == 0;
    }));
}

void ScriptedCaptureDevice::setCaptureLimit(std::int64_t ms) {
    calls.push_back("setCaptureLimit " + std::to_string(ms));
    limit_ = ms;
}

void ScriptedCaptureDevice::setCaptureElapsed(std::int64_t ms) {
    calls.push_back("setCaptureElapsed " + std::to_string(ms));
    elapsed_ = ms;
}

void ScriptedCaptureDevice::setRecordingTemplate(const std::string& name) {
    calls.push_back("setRecordingTemplate " + name);
    template_ = name;
}

void ScriptedCaptureDevice::setMuteAudio(bool m) {
    calls.push_back(std::string("setMuteAudio ") + (m ? "1" : "0"));
    mute_ = m;
}

void ScriptedCaptureDevice::setPreviewWhileCapturing(bool on) {
    calls.push_back(std::string("setPreviewWhileCapturing ") + (on ? "1" : "0"));
    previewWhileCapturing_ = on;
}

void ScriptedCaptureDevice::setMember135(bool v) {
    calls.push_back(std::string("setMember135 ") + (v ? "1" : "0"));
}

void ScriptedCaptureDevice::setMember116(int v) { calls.push_back("setMember116 " + std::to_string(v)); }

void ScriptedCaptureDevice::setMember169(bool v) {
    calls.push_back(std::string("setMember169 ") + (v ? "1" : "0"));
}

}  // namespace kelbo::testing
