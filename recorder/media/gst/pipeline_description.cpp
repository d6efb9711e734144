#include "pipeline_description.h"

#include "recorder/device/capture_device.h"

#include <gst/gst.h>

#include <algorithm>
#include <sstream>

namespace kelbo {

namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string rawVideoCaps(const VideoFormat& f) {
    std::ostringstream caps;
    caps << "video/x-raw,format=I420,width=" << f.width << ",height=" << f.height
         << ",framerate=" << f.fpsNum << "/" << f.fpsDen;
    return caps.str();
}

std::string rawAudioCaps() {
    return "audio/x-raw,format=S16LE,layout=interleaved,rate=" + std::to_string(kAudioRate) +
           ",channels=" + std::to_string(kAudioChannels);
}

const char* kSinkProps = " sync=false async=false enable-last-sample=false";

// The source's first picture is the recording's first, at its own time:
// left to itself videorate repeats it back to the start of the segment,
// pictures the source never gave, while the sound starts when it comes.
const char* kFirstPictureFirst = "videorate skip-to-first=true ! ";

std::string videoSource(const PipelineSpec& spec) {
    const std::string caps = rawVideoCaps(spec.format);
    switch (spec.source.kind) {
        case CaptureSource::Kind::V4l2:
            return std::string("v4l2src name=") + element::kBalance +
                   " device=" + quoted(spec.source.path) +
                   " norm=" + (spec.format.height == 480 ? "NTSC" : "PAL") +
                   " ! videoconvertscale ! " + kFirstPictureFirst + caps;
        case CaptureSource::Kind::File:
        case CaptureSource::Kind::Stream: {
            const bool convert =
                spec.source.kind == CaptureSource::Kind::Stream || !spec.picturesFitFormat;
            return std::string("appsrc name=") + element::kFileVideo +
                   " is-live=true format=time max-bytes=0 ! " +
                   (convert ? std::string("videoconvertscale ! ") + kFirstPictureFirst : std::string()) + caps +
                   " ! videobalance name=" + element::kBalance;
        }
        case CaptureSource::Kind::TestPattern: break;
    }
    // Made once and replayed by the pattern feeder (pattern_feeder.h).
    return std::string("appsrc name=") + element::kPatternVideo +
           " is-live=true format=time max-bytes=0 caps=\"" + caps + "\" ! videobalance name=" +
           element::kBalance;
}

std::string audioSource(const PipelineSpec& spec) {
    const std::string caps = rawAudioCaps();
    switch (spec.source.kind) {
        case CaptureSource::Kind::V4l2:
            if (!spec.alsaDevice.empty())
                return "alsasrc device=" + quoted(spec.alsaDevice) +
                       " ! audioconvert ! audioresample ! " + caps;
            return "audiotestsrc is-live=true wave=silence ! " + caps;
        case CaptureSource::Kind::File:
        case CaptureSource::Kind::Stream:
            return std::string("appsrc name=") + element::kFileAudio +
                   " is-live=true format=time max-bytes=0 caps=\"" + caps + "\"";
        case CaptureSource::Kind::TestPattern: break;
    }
    return std::string("appsrc name=") + element::kPatternAudio +
           " is-live=true format=time max-bytes=0 caps=\"" + caps + "\"";
}

}  // namespace

void clampPreviewSize(int& width, int& height) {
    width = std::clamp(width, 16, 1920);
    height = std::clamp(height, 16, 1080);
}

std::string previewCaps(int width, int height) {
    clampPreviewSize(width, height);
    // Qt's Format_RGB32 is 0xffRRGGBB in the machine's byte order.
    const char* layout = G_BYTE_ORDER == G_LITTLE_ENDIAN ? "BGRx" : "xRGB";
    return "video/x-raw,format=" + std::string(layout) + ",width=" + std::to_string(width) +
           ",height=" + std::to_string(height) + ",pixel-aspect-ratio=1/1";
}

std::string describePipeline(const PipelineSpec& spec) {
    std::ostringstream d;
    d << videoSource(spec) << " ! tee name=vtee"
      << " vtee. ! appsink name=" << element::kVideoSink << kSinkProps
      << " vtee. ! valve name=" << element::kPreviewValve
      << " drop=true drop-mode=forward-sticky-events"
      << " ! queue leaky=downstream max-size-buffers=2 max-size-bytes=0 max-size-time=0"
      // Half the picture rate is plenty for a preview; nearest-neighbour
      // scaling of the small picture before the colour conversion keeps
      // the branch cheap.
      << " ! videorate drop-only=true ! video/x-raw,framerate=25/2"
      << " ! videoscale method=nearest-neighbour add-borders=false"
      << " ! videoconvert dither=none"
      << " ! capsfilter name=" << element::kPreviewSize << " caps=\""
      << previewCaps(spec.previewWidth, spec.previewHeight) << "\""
      << " ! appsink name=" << element::kPreviewSink << kSinkProps << " max-buffers=2 drop=true "
      << audioSource(spec) << " ! volume name=" << element::kVolume << " ! tee name=atee"
      << " atee. ! appsink name=" << element::kAudioSink << kSinkProps;
    if (spec.audioMonitor)
        d << " atee. ! valve name=" << element::kMonitorValve
          << " drop-mode=forward-sticky-events ! queue leaky=downstream"
             " ! audioconvert ! autoaudiosink sync=false";
    return d.str();
}

}  // namespace kelbo
