#pragma once

#include "recorder/device/capture_device.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelbo::testing {

// A capture device for tests: it logs every call made on it and moves its
// state and counters only as the test's script says. Its states follow the
// GStreamer device's (the contract suite in tests/media runs both): a
// prepared or previewing source keeps running after a capture, so a
// capture ends in 63 (previewing) or 64 (stream ready), and a file that
// cannot be created fails the start with the folder and the reason, of
// the kind the system's error says (a full disk, or the folder).
class ScriptedCaptureDevice : public CaptureDevice {
public:
    // What StartCapture does.
    enum class OnStart {
        Record,  // state 65 at once, and the file appears with a few bytes
                 // (a file that cannot be created fails as Fail does, and says why)
        Fail,    // state stays as it was
        Late,    // state 65 only when the test calls beginRecording()
    };
    OnStart onStart = OnStart::Record;
    bool previewWorks = true;     // the source works: PrepareDevice gives 64, StartPreview 63
    // Runs inside StartCapture, given its file, before it returns (a slow
    // disk, a slow open, a file left behind).
    std::function<void(const std::string& file)> whileStarting;
    int stateAfterStop = Idle;    // after StopPreview

    // Every call, e.g. "StartCapture /a/b.mpg", "setCaptureLimit 5000".
    std::vector<std::string> calls;
    int state = Idle;
    std::string capturing;        // the file being written, or ""

    // Media time passes: the elapsed counter grows, and the device stops by
    // itself at its limit. Returns true if it stopped.
    bool advance(std::int64_t ms);
    // The file being written grows by `bytes`.
    void grow(std::int64_t bytes);
    void beginRecording();
    // A write fails: the device stops by itself and says why, and of what kind.
    void failWrite(const std::string& why, DeviceFault kind = DeviceFault::None);
    int count(const std::string& call) const;
    void notify();

    int ReadyState() const override { return state; }
    void StartPreview() override;
    void StopPreview() override;
    void PrepareDevice() override;
    void CommitVideoSettings() override { calls.push_back("CommitVideoSettings"); }
    void StartCapture(const std::string& file) override;
    void StopCapture() override;
    std::int64_t CaptureLimit() const override { return limit_; }
    void setCaptureLimit(std::int64_t ms) override;
    std::int64_t CaptureElapsed() const override { return elapsed_; }
    void setCaptureElapsed(std::int64_t ms) override;
    std::string RecordingTemplate() const override { return template_; }
    void setRecordingTemplate(const std::string& name) override;
    int Brightness() const override { return brightness_; }
    void setBrightness(int v) override { log("setBrightness", v); brightness_ = v; }
    int Contrast() const override { return contrast_; }
    void setContrast(int v) override { log("setContrast", v); contrast_ = v; }
    int Saturation() const override { return saturation_; }
    void setSaturation(int v) override { log("setSaturation", v); saturation_ = v; }
    int Tint() const override { return tint_; }
    void setTint(int v) override { log("setTint", v); tint_ = v; }
    int Volume() const override { return volume_; }
    void setVolume(int v) override { log("setVolume", v); volume_ = v; }
    int VideoSource() const override { return source_; }
    void setVideoSource(int v) override { log("setVideoSource", v); source_ = v; }
    int VideoStandard() const override { return standard_; }
    void setVideoStandard(int v) override { log("setVideoStandard", v); standard_ = v; }
    bool MuteAudio() const override { return mute_; }
    void setMuteAudio(bool m) override;
    bool PreviewWhileCapturing() const override { return previewWhileCapturing_; }
    void setPreviewWhileCapturing(bool on) override;
    void setMember135(bool v) override;
    void setMember116(int v) override;
    void setMember169(bool v) override;
    std::string DeviceRegistryKey() const override { return registryKey; }
    void setStateListener(std::function<void()> listener) override { listener_ = std::move(listener); }

    std::string lastError() const override { return error; }
    DeviceFault lastFault() const override { return error.empty() ? DeviceFault::None : fault; }
    bool tuneStream(const StreamRequest& request) override {
        calls.push_back("tuneStream " + request.url);
        if (!tunable) {
            if (!tuneRefusal.empty()) {
                error = tuneRefusal;
                fault = DeviceFault::Channel;
            }
            return false;
        }
        tunedUrl = request.url;
        tuned = request;
        return true;
    }
    SourceGaps sourceGaps() const override { return gaps; }
    SkippedPictures skippedPictures() const override { return skipped; }
    std::optional<StreamStatus> streamStatus() const override { return stream; }
    std::chrono::milliseconds openingLead() const override { return lead; }
    void openSource() override {
        calls.push_back("openSource");
        if (previewWorks && state == Idle) state = StreamReady;
    }
    std::chrono::milliseconds lead{0};  // what openingLead() answers

    std::optional<std::int64_t> mediaLength(const std::string& file) const override {
        const auto found = lengths.find(file);
        return found == lengths.end() ? std::nullopt : std::optional(found->second);
    }
    std::map<std::string, std::int64_t> lengths;  // what mediaLength() answers, by file

    bool tunable = true;
    std::string tuneRefusal;  // why tuneStream() refuses, when not tunable
    std::string tunedUrl;
    StreamRequest tuned;
    SourceGaps gaps;  // what sourceGaps() answers
    SkippedPictures skipped;  // what skippedPictures() answers
    std::optional<StreamStatus> stream;  // what streamStatus() answers

    std::string registryKey;
    std::string error;  // what lastError() answers
    DeviceFault fault = DeviceFault::None;  // what lastFault() answers while `error` is set

private:
    void log(const char* member, int value) { calls.push_back(member + (" " + std::to_string(value))); }
    // A capture ends: the source carries on as before it.
    void endCapture();

    std::int64_t limit_ = 0, elapsed_ = 0;
    std::string template_;
    int brightness_ = 5000, contrast_ = 5000, saturation_ = 5000, tint_ = 5000, volume_ = 5000;
    int source_ = Composite, standard_ = PAL;
    bool mute_ = false, previewWhileCapturing_ = true;
    bool previewOn_ = false;
    std::function<void()> listener_;
};

}  // namespace kelbo::testing
