#include "capture_stream.h"

#include "capture_pipeline.h"
#include "pipeline_description.h"
#include "preview_relay.h"
#include "source_feed.h"
#include "stream_feeder.h"
#include "stream_packet_tap.h"

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
      requests_(std::make_shared<RequestBudget>()),
      opened_(std::make_shared<OpenOutcome>()),
      feed_(makeFeed()) {}

CaptureStream::~CaptureStream() { stop(); }

std::unique_ptr<SourceFeed> CaptureStream::makeFeed() const {
    auto feed = SourceFeed::forSource(source_, {gaps_, tap_, [opened = opened_](const std::string& why) {
                                                   std::lock_guard lock(opened->mutex);
                                                   opened->failure = why;
                                               },
                                               requests_});
    feed->setDecoding(decoding_);
    return feed;
}

bool CaptureStream::build(const VideoFormat& format, int videoSource, std::string* error) {
    stop();
    pipeline_.reset();
    PipelineSpec spec;
    spec.source = source_;
    spec.format = format;
    spec.videoSource = videoSource;
    spec.previewWidth = options_.previewWidth;
    spec.previewHeight = options_.previewHeight;
    spec.audioMonitor = options_.audioMonitor;
    feed_->describe(spec);
    auto pipeline =
        CapturePipeline::create(options_.pipelineDescription.value_or(describePipeline(spec)), error);
    if (!pipeline || !feed_->built(*pipeline, format, videoSource, error)) return false;
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
    source_ = std::move(source);
    feed_ = makeFeed();
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
    feed_->setDecoding(decoding);
}

bool CaptureStream::prepare(std::string* error) {
    if (!pipeline_) return false;
    if (running()) return true;
    feed_->beforeOpen(videoSource_);
    if (pipeline_->prepare()) return true;
    if (error) *error = "the capture source cannot be opened";
    pipeline_->stop();
    return false;
}

bool CaptureStream::start(std::string* error) {
    if (running()) return true;
    if (!prepare(error)) return false;
    bool ok = feed_->start(*pipeline_, format_, onError_, error);
    if (ok && !pipeline_->start()) {
        if (error) *error = "the capture source does not start";
        ok = false;
    }
    if (!ok) stop();
    return ok;
}

void CaptureStream::stop() {
    feed_->stop();
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
