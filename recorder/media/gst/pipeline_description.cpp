#include "pipeline_description.h"

#include "recorder/device/capture_device.h"

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

std::string videoSource(const PipelineSpec& spec) {
    const std::string caps = rawVideoCaps(spec.format);
    switch (spec.source.kind) {
        case CaptureSource::Kind::V4l2:
            return std::string("v4l2src name=") + element::kBalance +
                   " device=" + quoted(spec.source.path) +
                   " norm=" + (spec.format.height == 480 ? "NTSC" : "PAL") +
                   " ! videoconvertscale ! videorate ! " + caps;
        case CaptureSource::Kind::File:
        case CaptureSource::Kind::Stream:
            return std::string("appsrc name=") + element::kFileVideo +
                   " is-live=true format=time max-bytes=0 ! videoconvertscale ! videorate ! " +
                   caps + " ! videobalance name=" + element::kBalance;
        case CaptureSource::Kind::TestPattern: break;
    }
    // Two inputs, two pictures: scrolling colour bars or a bouncing ball,
    // both with the date and time burnt in.
    const bool svideo = spec.videoSource == CaptureDevice::SVideo;
    return std::string("videotestsrc is-live=true ") +
           (svideo ? "pattern=ball" : "pattern=smpte horizontal-speed=4") + " ! " + caps +
           " ! clockoverlay halignment=left valignment=bottom shaded-background=true"
           " font-desc=\"Sans Bold 20\" time-format=\"%d-%m-%Y %H:%M:%S\""
           " ! videobalance name=" +
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
    return "audiotestsrc is-live=true wave=sine freq=1000 volume=0.25 ! " + caps;
}

}  // namespace

std::string describePipeline(const PipelineSpec& spec) {
    std::ostringstream d;
    d << videoSource(spec) << " ! tee name=vtee"
      << " vtee. ! appsink name=" << element::kVideoSink << kSinkProps
      << " vtee. ! valve name=" << element::kPreviewValve
      << " drop=true drop-mode=forward-sticky-events"
      << " ! queue leaky=downstream max-size-buffers=2 max-size-bytes=0 max-size-time=0"
      << " ! videoscale ! video/x-raw,width=" << spec.previewWidth
      << ",height=" << spec.previewHeight << " ! videoconvert ! video/x-raw,format=RGB"
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
