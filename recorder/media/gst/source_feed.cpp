#include "source_feed.h"

#include "capture_pipeline.h"
#include "file_feeder.h"
#include "pattern_feeder.h"
#include "recorder/device/capture_device.h"
#include "stream_feeder.h"
#include "v4l2_devices.h"

namespace kelbo {

namespace {

// A pipeline described by hand may have elements its source does not feed.
std::unique_ptr<Feeder> nothingToFeed(std::string* error) {
    if (error) *error = "the pipeline waits for pictures this source does not give";
    return nullptr;
}

// The embedded test pattern, made with its pipeline so that starting stays quick.
class PatternFeed : public SourceFeed {
public:
    bool built(const CapturePipeline& pipeline, const VideoFormat& format, int videoSource,
               std::string* error) override {
        feeder_.reset();
        if (!pipeline.element(element::kPatternVideo)) return true;
        feeder_ = PatternFeeder::create(format, videoSource == CaptureDevice::SVideo, error);
        return feeder_ != nullptr;
    }

protected:
    // Made when the pipeline is built.
    std::unique_ptr<Feeder> makeFeeder(const VideoFormat&, std::string* error) override {
        return nothingToFeed(error);
    }
    const char* videoElement() const override { return element::kPatternVideo; }
    const char* audioElement() const override { return element::kPatternAudio; }
};

class FileFeed : public SourceFeed {
public:
    explicit FileFeed(std::string path) : path_(std::move(path)) {}

    // Opened now to learn whether its pictures need converting; a file that
    // cannot be read says so when the stream starts.
    void describe(PipelineSpec& spec) override {
        auto file = FileFeeder::open(path_, nullptr);
        spec.picturesFitFormat = file && file->fits(spec.format);
        feeder_ = std::move(file);
    }

protected:
    std::unique_ptr<Feeder> makeFeeder(const VideoFormat&, std::string* error) override {
        return FileFeeder::open(path_, error);
    }

private:
    std::string path_;
};

// A capture card: its pictures come from the pipeline's own source element.
class V4l2Feed : public SourceFeed {
public:
    explicit V4l2Feed(std::string device) : device_(std::move(device)) {}

    // Sound from the card's own ALSA device when GStreamer can read ALSA.
    void describe(PipelineSpec& spec) override {
        if (GstRef<GstElementFactory>(gst_element_factory_find("alsasrc")))
            spec.alsaDevice = alsaDeviceFor(device_);
    }
    // The input choice stays with the device, for the pipeline to find.
    void beforeOpen(int videoSource) override { selectV4l2Input(device_, videoSource); }

protected:
    std::unique_ptr<Feeder> makeFeeder(const VideoFormat&, std::string* error) override {
        return nothingToFeed(error);
    }

private:
    std::string device_;
};

// A network stream: opened afresh at every start.
class NetworkFeed : public SourceFeed {
public:
    NetworkFeed(StreamRequest request, StreamShared shared)
        : request_(std::move(request)), shared_(std::move(shared)) {}

protected:
    std::unique_ptr<Feeder> makeFeeder(const VideoFormat& format, std::string*) override {
        shared_.openFailed({});
        auto stream = std::make_unique<StreamFeeder>(request_, format, shared_.gaps,
                                                     StreamFeeder::Timing{}, shared_.tap);
        stream->setOpenFailureListener(shared_.openFailed);
        stream->setRequestBudget(shared_.requests);
        return stream;
    }
    bool keepsFeeder() const override { return false; }

private:
    StreamRequest request_;
    StreamShared shared_;
};

}  // namespace

std::unique_ptr<SourceFeed> SourceFeed::forSource(const CaptureSource& source, StreamShared shared) {
    switch (source.kind) {
        case CaptureSource::Kind::File: return std::make_unique<FileFeed>(source.path);
        case CaptureSource::Kind::V4l2: return std::make_unique<V4l2Feed>(source.path);
        case CaptureSource::Kind::Stream:
            return std::make_unique<NetworkFeed>(StreamRequest{source.path, source.http}, std::move(shared));
        case CaptureSource::Kind::TestPattern: break;
    }
    return std::make_unique<PatternFeed>();
}

SourceFeed::~SourceFeed() = default;

const char* SourceFeed::videoElement() const { return element::kFileVideo; }
const char* SourceFeed::audioElement() const { return element::kFileAudio; }

bool SourceFeed::start(const CapturePipeline& pipeline, const VideoFormat& format,
                       Feeder::FailureHandler failed, std::string* error) {
    const GstElementRef video = pipeline.element(videoElement());
    const GstElementRef audio = pipeline.element(audioElement());
    if (!video || !audio) return true;
    if (!feeder_) feeder_ = makeFeeder(format, error);
    if (!feeder_) return false;
    feeder_->setDecoding(decoding_);
    feeder_->start(pipeline.pipeline(), video.get(), audio.get(), std::move(failed));
    return true;
}

void SourceFeed::stop() {
    if (feeder_) feeder_->stop();
    if (!keepsFeeder()) feeder_.reset();
}

void SourceFeed::setDecoding(StreamInput::Decoding decoding) {
    decoding_ = decoding;
    if (feeder_) feeder_->setDecoding(decoding);
}

}  // namespace kelbo
