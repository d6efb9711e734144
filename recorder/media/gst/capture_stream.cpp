#include "capture_stream.h"

#include "capture_pipeline.h"
#include "file_feeder.h"
#include "pattern_feeder.h"
#include "pipeline_description.h"
#include "preview_relay.h"
#include "recorder/device/capture_device.h"
#include "stream_feeder.h"
#include "stream_packet_tap.h"
#include "v4l2_devices.h"

namespace kelbo {

CaptureStream::CaptureStream(CaptureSource source, DeviceOptions options, PartEvents& events,
                             std::shared_ptr<PreviewRelay> preview, ErrorHandler onError)
    : source_(std::move(source)),
      options_(std::move(options)),
      events_(events),
      preview_(std::move(preview)),
      onError_(std::move(onError)),
      gaps_(std::make_shared<StreamGapTally>()),
      tap_(std::make_shared<StreamPacketTap>()),
      opened_(std::make_shared<OpenOutcome>()) {}

CaptureStream::~CaptureStream() { stop(); }

bool CaptureStream::build(const VideoFormat& format, int videoSource, std::string* error) {
    stop();
    pattern_.reset();
    pipeline_.reset();
    PipelineSpec spec;
    spec.source = source_;
    spec.format = format;
    spec.videoSource = videoSource;
    spec.previewWidth = options_.previewWidth;
    spec.previewHeight = options_.previewHeight;
    spec.audioMonitor = options_.audioMonitor;
    feeder_.reset();
    if (source_.kind == CaptureSource::Kind::File) {
        // Opened now to learn whether its pictures need converting; a file
        // that cannot be read says so when the stream starts.
        feeder_ = FileFeeder::open(source_.path, nullptr);
        spec.picturesFitFormat = feeder_ && feeder_->fits(format);
    }
    if (source_.kind == CaptureSource::Kind::V4l2) {
        // Sound from the card's own ALSA device when GStreamer can read ALSA.
        if (GstRef<GstElementFactory>(gst_element_factory_find("alsasrc")))
            spec.alsaDevice = alsaDeviceFor(source_.path);
    }
    auto pipeline =
        CapturePipeline::create(options_.pipelineDescription.value_or(describePipeline(spec)), error);
    if (!pipeline) return false;
    // The test pattern is made here, so that starting the stream stays quick.
    if (pipeline->element(element::kPatternVideo)) {
        pattern_ = PatternFeeder::create(format, videoSource == CaptureDevice::SVideo, error);
        if (!pattern_) return false;
    }
    format_ = format;
    videoSource_ = videoSource;
    router_ = std::make_unique<PartRouter>(format, events_);
    PartRouter* router = router_.get();
    pipeline->setHandlers({
        [router](VideoFramePtr frame) { router->onVideo(std::move(frame)); },
        [router](AudioChunkPtr chunk) { router->onAudio(std::move(chunk)); },
        [preview = preview_](GstSample* sample) { preview->push(sample); },
        onError_,
    });
    pipeline_ = std::move(pipeline);
    return true;
}

bool CaptureStream::builtFor(const VideoFormat& format, int videoSource) const {
    return pipeline_ && format_ == format && videoSource_ == videoSource;
}

void CaptureStream::setSource(CaptureSource source) {
    if (source == source_) return;
    stop();
    pipeline_.reset();
    feeder_.reset();
    source_ = std::move(source);
    setOpenFailure({});
}

void CaptureStream::setOpenFailure(const std::string& why) {
    std::lock_guard lock(opened_->mutex);
    opened_->failure = why;
}

std::string CaptureStream::openFailure() const {
    std::lock_guard lock(opened_->mutex);
    return opened_->failure;
}

void CaptureStream::setDecoding(StreamInput::Decoding decoding) {
    decoding_ = decoding;
    if (streamFeeder_) streamFeeder_->setDecoding(decoding);
}

bool CaptureStream::prepare(std::string* error) {
    if (!pipeline_) return false;
    if (running()) return true;
    // The input choice stays with the device, for the pipeline to find.
    if (source_.kind == CaptureSource::Kind::V4l2) selectV4l2Input(source_.path, videoSource_);
    if (pipeline_->prepare()) return true;
    if (error) *error = "the capture source cannot be opened";
    pipeline_->stop();
    return false;
}

bool CaptureStream::start(std::string* error) {
    if (running()) return true;
    if (!prepare(error)) return false;
    const GstElementRef fileVideo = pipeline_->element(element::kFileVideo);
    const GstElementRef fileAudio = pipeline_->element(element::kFileAudio);
    bool ok = true;
    if (fileVideo && fileAudio && source_.kind == CaptureSource::Kind::Stream) {
        streamFeeder_ = std::make_unique<StreamFeeder>(StreamRequest{source_.path, source_.http}, format_,
                                                       gaps_, StreamFeeder::Timing{}, tap_);
        streamFeeder_->setDecoding(decoding_);
        setOpenFailure({});  // opening afresh
        streamFeeder_->setOpenFailureListener([opened = opened_](const std::string& why) {
            std::lock_guard lock(opened->mutex);
            opened->failure = why;
        });
        streamFeeder_->start(pipeline_->pipeline(), fileVideo.get(), fileAudio.get(), onError_);
    } else if (fileVideo && fileAudio) {
        if (!feeder_) feeder_ = FileFeeder::open(source_.path, error);
        ok = feeder_ != nullptr;
        if (ok) feeder_->start(pipeline_->pipeline(), fileVideo.get(), fileAudio.get(), onError_);
    }
    const GstElementRef patternVideo = pipeline_->element(element::kPatternVideo);
    const GstElementRef patternAudio = pipeline_->element(element::kPatternAudio);
    if (ok && pattern_ && patternVideo && patternAudio)
        pattern_->start(pipeline_->pipeline(), patternVideo.get(), patternAudio.get(), onError_);
    if (ok && !pipeline_->start()) {
        if (error) *error = "the capture source does not start";
        ok = false;
    }
    if (!ok) stop();
    return ok;
}

void CaptureStream::stop() {
    if (feeder_) feeder_->stop();
    if (pattern_) pattern_->stop();
    if (streamFeeder_) streamFeeder_->stop();
    streamFeeder_.reset();
    tap_->end();  // copying parts close with what they have
    if (pipeline_) pipeline_->stop();
    // Every streaming thread has ended: close what the parts have.
    if (router_) router_->flush();
}

void CaptureStream::setPreviewSize(int width, int height) {
    clampPreviewSize(width, height);
    if (width == options_.previewWidth && height == options_.previewHeight) return;
    options_.previewWidth = width;
    options_.previewHeight = height;
    if (pipeline_) pipeline_->setPreviewSize(width, height);
}

bool CaptureStream::running() const { return pipeline_ && pipeline_->running(); }

}  // namespace kelbo
