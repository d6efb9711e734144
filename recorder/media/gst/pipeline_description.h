#pragma once

#include "capture_format.h"
#include "capture_source.h"

#include <string>

namespace kelbo {

// Names of the pipeline's elements that the device drives. A replacement
// description (tests, tools) must name its elements the same way.
namespace element {
inline constexpr const char* kBalance = "balance";  // GstColorBalance
inline constexpr const char* kVolume = "volume";
inline constexpr const char* kPreviewValve = "preview_valve";
inline constexpr const char* kPreviewSink = "preview_sink";
inline constexpr const char* kPreviewSize = "preview_size";  // capsfilter: the preview's size
inline constexpr const char* kVideoSink = "video_sink";
inline constexpr const char* kAudioSink = "audio_sink";
inline constexpr const char* kMonitorValve = "monitor_valve";  // optional
inline constexpr const char* kFileVideo = "file_video";        // file and stream sources
inline constexpr const char* kFileAudio = "file_audio";
inline constexpr const char* kPatternVideo = "pattern_video";  // the test pattern only
inline constexpr const char* kPatternAudio = "pattern_audio";
}  // namespace element

struct PipelineSpec {
    CaptureSource source;
    VideoFormat format;
    int videoSource = 20;  // 20 composite, 21 S-Video
    int previewWidth = 320;
    int previewHeight = 240;
    bool audioMonitor = false;  // a loudspeaker branch for hearing the sound
    // File sources: the pictures already come one per frame at the
    // format's size and layout, so no converter is put before the tee.
    bool picturesFitFormat = false;
    std::string alsaDevice;     // V4L2 sources: their sound card; empty: silence
};

// The gst-launch description of the whole pipeline: the source, the colour
// balance, a tee to the recording branch (appsink, raw I420 at the
// standard's size and rate) and the preview branch (behind a valve, at
// most 12.5 pictures a second at the preview's size in the 32-bit layout
// the window paints as it is), and the sound with its volume to its own
// appsink.
std::string describePipeline(const PipelineSpec& spec);

// Caps of the preview pictures at the given size.
std::string previewCaps(int width, int height);
// The size a preview of `width` x `height` is made at: within 16..1920 x 16..1080.
void clampPreviewSize(int& width, int& height);

}  // namespace kelbo
