#pragma once

#include "capture_format.h"
#include "capture_source.h"
#include "part_router.h"
#include "device_failure.h"
#include "device_options.h"
#include "ui_thread_role.h"
#include "recorder/device/preview_frame.h"
#include "recorder/device/capture_device.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kelbo {

class CaptureStream;
class EncodeWorker;
class PreviewRelay;
class StreamCopyWriter;
class UiDispatcher;

// A part file once it is closed.
struct FileResult {
    std::string path;
    std::int64_t elapsedMs = 0;  // media time in the file
    bool ok = false;             // written and closed without error
    double startLatencyMs = 0;   // StartCapture to its first picture written
    std::string error;           // why it failed, when not ok
    DeviceFault fault = DeviceFault::None;  // ... and the error's kind
};

// The capture device on GStreamer and FFmpeg. ReadyState: 67 while the
// pipeline is stopped; 64 while it runs (or is opened by PrepareDevice)
// without preview; 63 while it previews; 65 from the first picture a capture
// accepts (for a stream copy, the first packet) until it stops. Picture
// values run from 0 to 10000 (5000 neutral),
// Volume from 0 to 10000 (full). MuteAudio silences only what is heard,
// never the recording.
// Every public member runs on the thread that built the device (the
// user-interface thread); debug builds abort on any other.
class GstCaptureDevice : public CaptureDevice {
public:
    // Nothing, with `error` set, when GStreamer or one of the pipeline's
    // elements is missing.
    static std::unique_ptr<GstCaptureDevice> create(const CaptureSource& source,
                                                    UiDispatcher& dispatcher,
                                                    DeviceOptions options, std::string* error);
    ~GstCaptureDevice() override;

    int ReadyState() const override { uiThread_.check(); return state_.load(); }
    void StartPreview() override;
    void StopPreview() override;
    void PrepareDevice() override;
    std::chrono::milliseconds openingLead() const override { return kOpeningLead; }
    void openSource() override {
        uiThread_.check();
        if (!currentPart_ && startStream()) setState(idleState());
    }
    void CommitVideoSettings() override;
    void StartCapture(const std::string& file) override;
    void StopCapture() override;

    std::int64_t CaptureLimit() const override { uiThread_.check(); return limitMs_; }
    void setCaptureLimit(std::int64_t ms) override;
    std::int64_t CaptureElapsed() const override;
    void setCaptureElapsed(std::int64_t ms) override;

    std::string RecordingTemplate() const override { uiThread_.check(); return template_; }
    void setRecordingTemplate(const std::string& name) override { uiThread_.check(); template_ = name; }

    int Brightness() const override { uiThread_.check(); return brightness_; }
    void setBrightness(int value) override;
    int Contrast() const override { uiThread_.check(); return contrast_; }
    void setContrast(int value) override;
    int Saturation() const override { uiThread_.check(); return saturation_; }
    void setSaturation(int value) override;
    int Tint() const override { uiThread_.check(); return tint_; }
    void setTint(int value) override;
    int Volume() const override { uiThread_.check(); return volume_; }
    void setVolume(int value) override;

    int VideoSource() const override { uiThread_.check(); return videoSource_; }
    void setVideoSource(int value) override { uiThread_.check(); videoSource_ = value; }
    int VideoStandard() const override { uiThread_.check(); return videoStandard_; }
    void setVideoStandard(int value) override { uiThread_.check(); videoStandard_ = value; }

    bool MuteAudio() const override { uiThread_.check(); return mute_; }
    void setMuteAudio(bool mute) override;
    bool PreviewWhileCapturing() const override { uiThread_.check(); return previewWhileCapturing_; }
    void setPreviewWhileCapturing(bool on) override;

    void setMember135(bool value) override { uiThread_.check(); member135_ = value; }
    void setMember116(int value) override { uiThread_.check(); member116_ = value; }
    void setMember169(bool value) override { uiThread_.check(); member169_ = value; }

    std::string DeviceRegistryKey() const override { uiThread_.check(); return registryKey_; }
    void setStateListener(std::function<void()> listener) override;

    // Preview pictures, on the user-interface thread; only the newest one
    // is delivered when that thread falls behind.
    void setPreviewSink(std::function<void(const PreviewFrame&)> sink);
    // The size the preview pictures are made at (the window's, so it paints
    // them unscaled); DeviceOptions gives the first one.
    void setPreviewSize(int width, int height);
    // Every part file once it is closed, on the user-interface thread.
    void setFileListener(std::function<void(const FileResult&)> listener);
    // Part files still being written or finished.
    int openFiles() const { uiThread_.check(); return openFiles_; }
    const CaptureSource& source() const { uiThread_.check(); return source_; }
    std::string lastError() const override { uiThread_.check(); return last_.text; }
    DeviceFault lastFault() const override { uiThread_.check(); return last_.failed() ? last_.fault : DeviceFault::None; }
    bool tuneStream(const StreamRequest& stream) override;
    std::optional<StreamStatus> streamStatus() const override;
    SourceGaps sourceGaps() const override;
    SkippedPictures skippedPictures() const override;
    std::optional<std::int64_t> mediaLength(const std::string& file) const override;

    // A network stream connects, is probed and decodes from its next key
    // picture (IPTV streams send one every 1 to 5 s, a few every 10 s).
    static constexpr std::chrono::milliseconds kOpeningLead{12000};

private:
    class Events;
    struct Shared;

    GstCaptureDevice(const CaptureSource& source, UiDispatcher& dispatcher, DeviceOptions options);
    bool startStream();
    // Builds the pipeline when the format or input changed, and opens it.
    bool prepareStream(const VideoFormat& format);
    // The source failed, as `last_` says: of the network stream, or the card's.
    bool sourceFailed();
    // A part file that encodes the pictures and sound with `encoding`.
    std::shared_ptr<PartOutput> encodingOutput(const std::string& file, const EncodingTemplate& encoding,
                                               const VideoFormat& format,
                                               std::chrono::steady_clock::time_point requested);
    // A part that copies the stream's packets, carrying on from the copy
    // part stopped just before, if any; false when the file cannot be made.
    bool startCopy(const std::string& file, int id);
    void finishStoppedCopy();
    void stopStream();
    void applySettings();
    void updateValves();
    void setState(int state);
    void notify();
    void onPartStarted(int id);
    void onPartEnded(int id, const DeviceFailure& failure);
    void onFileClosed(const FileResult& result);
    void onStreamError(const std::string& message);
    int idleState() const;
    // Whether the preview's pictures are made at all (DeviceOptions).
    bool previewWanted() const { return options_.previewWithoutSink || hasPreviewSink_; }

    UiThreadRole uiThread_;  // the thread that built the device
    CaptureSource source_;
    UiDispatcher& dispatcher_;
    DeviceOptions options_;
    std::string registryKey_;
    std::shared_ptr<Shared> shared_;  // what posted tasks and streaming threads reach
    std::shared_ptr<PreviewRelay> preview_;
    std::unique_ptr<EncodeWorker> worker_;
    std::unique_ptr<Events> events_;
    std::unique_ptr<CaptureStream> stream_;

    std::atomic<int> state_{Idle};
    std::function<void()> listener_;
    std::function<void(const FileResult&)> fileListener_;
    bool previewOn_ = false;
    bool hasPreviewSink_ = false;
    int currentPart_ = 0;
    int nextPartId_ = 0;
    int openFiles_ = 0;
    DeviceFailure last_;  // why the last start, stream or write failed
    // The part being recorded when it copies the stream, and the copy part
    // stopped last, until it is known whether the next part carries on.
    std::shared_ptr<StreamCopyWriter> copyPart_;
    std::shared_ptr<StreamCopyWriter> stoppedCopy_;

    std::int64_t limitMs_ = 0;
    std::string template_;
    int brightness_ = 5000, contrast_ = 5000, saturation_ = 5000, tint_ = 5000;
    int volume_ = 10000;
    int videoSource_ = Composite;
    int videoStandard_ = PAL;
    bool mute_ = false;
    bool previewWhileCapturing_ = true;
    bool member135_ = false, member169_ = false;
    int member116_ = 0;
};

}  // namespace kelbo
