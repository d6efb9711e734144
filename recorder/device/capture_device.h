#pragma once

#include "common/stream_url.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kelbo {

// Why the last start, stream or file write of a device failed, as a kind
// the recorder can act on.
enum class DeviceFault {
    None,      // nothing failed, or the device cannot tell why
    DiskFull,  // a part could not be written: no room, or the user's quota used up
    Folder,    // a part file or its folder could not be made or written
    Source,    // the capture source (card, file, pipeline) failed
    Channel,   // the device could not tune to the channel
    Stream,    // the network stream could not be opened, or was lost
};

// The one capture device of the recorder. Every member the recorder uses is
// here under the recorder's names; implementations never throw into the
// recorder: a failure shows only in ReadyState.
// Every member is called on the user-interface thread (the thread that built
// the device), and the device calls its listeners there too; its own threads
// never reach the recorder. The GStreamer device checks this: in debug
// builds each of its members aborts when called on another thread.
class CaptureDevice {
public:
    enum State : int {
        Previewing = 63,
        StreamReady = 64,
        Recording = 65,
        Idle = 67,
    };

    enum VideoSourceValue : int { Composite = 20, SVideo = 21 };
    enum VideoStandardValue : int { NTSC = 53, PAL = 54 };

    virtual ~CaptureDevice() = default;

    // Cheap to call; always answered from the user-interface thread's copy.
    virtual int ReadyState() const = 0;

    virtual void StartPreview() = 0;
    virtual void StopPreview() = 0;
    virtual void PrepareDevice() = 0;
    virtual void CommitVideoSettings() = 0;
    virtual void StartCapture(const std::string& file) = 0;
    virtual void StopCapture() = 0;

    // Opening the source before a capture. A network stream takes a second
    // or so to connect and be probed, then up to a group of pictures (often
    // 5 s) until its first picture decodes; a capture started on a stream
    // that already runs takes its next picture. How long before a buffered
    // start the recorder tunes the device and calls openSource(); zero for
    // a device whose captures start at once anyway.
    virtual std::chrono::milliseconds openingLead() const { return std::chrono::milliseconds(0); }
    // Runs the source without preview (ReadyState 64; a preview goes on);
    // StopPreview stops it.
    virtual void openSource() {}

    // Milliseconds. The device stops by itself once CaptureElapsed reaches
    // a non-zero CaptureLimit.
    virtual std::int64_t CaptureLimit() const = 0;
    virtual void setCaptureLimit(std::int64_t ms) = 0;
    virtual std::int64_t CaptureElapsed() const = 0;
    virtual void setCaptureElapsed(std::int64_t ms) = 0;

    virtual std::string RecordingTemplate() const = 0;
    virtual void setRecordingTemplate(const std::string& name) = 0;

    virtual int Brightness() const = 0;
    virtual void setBrightness(int value) = 0;
    virtual int Contrast() const = 0;
    virtual void setContrast(int value) = 0;
    virtual int Saturation() const = 0;
    virtual void setSaturation(int value) = 0;
    virtual int Tint() const = 0;
    virtual void setTint(int value) = 0;
    virtual int Volume() const = 0;
    virtual void setVolume(int value) = 0;

    virtual int VideoSource() const = 0;
    virtual void setVideoSource(int value) = 0;
    virtual int VideoStandard() const = 0;
    virtual void setVideoStandard(int value) = 0;

    virtual bool MuteAudio() const = 0;
    virtual void setMuteAudio(bool mute) = 0;
    virtual bool PreviewWhileCapturing() const = 0;
    virtual void setPreviewWhileCapturing(bool on) = 0;

    // Members the recorder writes with fixed values (135 true, 116 32,
    // 169 false); their meaning belongs to the device.
    virtual void setMember135(bool value) = 0;
    virtual void setMember116(int value) = 0;
    virtual void setMember169(bool value) = 0;

    // Why the last start, stream or file write failed, in words for the
    // user and the log ("" when nothing failed).
    virtual std::string lastError() const = 0;
    // The same failure's kind, set together with lastError (None when it is "").
    virtual DeviceFault lastFault() const = 0;

    // Folder holding the device's recording templates (see templates.h).
    virtual std::string DeviceRegistryKey() const = 0;

    // Called on the user-interface thread after ReadyState (or the
    // elapsed counter at the end of a file) has changed.
    virtual void setStateListener(std::function<void()> listener) = 0;

    // Network streams. Tunes the device to a stream, whose every request
    // (reconnections, an HLS playlist's segments) carries its HTTP options;
    // false when the device cannot read streams. A running preview goes on
    // with it.
    virtual bool tuneStream(const StreamRequest& stream) {
        (void)stream;
        return false;
    }
    // The network stream the device reads, and why it could not be opened
    // the last time it tried ("" while it opens or once it has opened).
    // `opening`: a capture waits for the stream's first picture (it is still
    // connecting, being probed or waiting for a key picture). `soundOnly`:
    // as it runs, it brings sound alone (radio). Nothing when the source is
    // not a network stream.
    struct StreamStatus {
        std::string url;
        std::string openFailure;
        bool opening = false;
        bool soundOnly = false;
    };
    virtual std::optional<StreamStatus> streamStatus() const { return std::nullopt; }
    // Interruptions of the stream so far, over the device's life: how many,
    // and how long in all. A device without streams has none.
    struct SourceGaps {
        int count = 0;
        std::int64_t ms = 0;
    };
    virtual SourceGaps sourceGaps() const { return {}; }
    // Pictures the device took but could not write (its encoder fell
    // behind a machine that stalled), over its life: how many, and how long
    // they would have shown.
    struct SkippedPictures {
        std::int64_t count = 0;
        std::int64_t ms = 0;
    };
    virtual SkippedPictures skippedPictures() const { return {}; }

    // How long the recording in a file the device wrote plays, in
    // milliseconds; nothing when the device cannot tell.
    virtual std::optional<std::int64_t> mediaLength(const std::string& file) const {
        (void)file;
        return std::nullopt;
    }
};

}  // namespace kelbo
