#include "gst_capture_device.h"

#include "capture_pipeline.h"
#include "capture_stream.h"
#include "encode_worker.h"
#include "ffmpeg_log.h"
#include "gst_ref.h"
#include "media_length.h"
#include "preview_relay.h"
#include "stream_copy_writer.h"
#include "stream_feeder.h"
#include "stream_packet_tap.h"
#include "recorder/ports/log.h"
#include "recorder/ports/ui_dispatcher.h"
#include "recorder/device/templates.h"
#include "template_install.h"

namespace kelbo {

namespace {

// The elapsed counter carries the id of the part it belongs to, so a late
// count from a part that has already stopped cannot overwrite the next one.
constexpr std::uint64_t kMsMask = (std::uint64_t{1} << 48) - 1;
// A stream whose last packet is no older than this is delivering.
constexpr std::int64_t kFlowingNs = 1'000'000'000;

std::uint64_t pack(int id, std::int64_t ms) {
    return (std::uint64_t{static_cast<std::uint16_t>(id)} << 48) |
           (static_cast<std::uint64_t>(ms) & kMsMask);
}

}  // namespace

// What streaming threads, the encoder thread and posted tasks reach.
struct GstCaptureDevice::Shared {
    GstCaptureDevice* device = nullptr;
    bool alive = true;  // read and cleared on the user-interface thread only
    std::atomic<std::uint64_t> elapsed{0};

    void publish(int id, std::int64_t ms) {
        std::uint64_t seen = elapsed.load();
        while (static_cast<std::uint16_t>(seen >> 48) == static_cast<std::uint16_t>(id) &&
               !elapsed.compare_exchange_weak(seen, pack(id, ms))) {
        }
    }
};

class GstCaptureDevice::Events : public PartEvents {
public:
    Events(std::shared_ptr<Shared> shared, UiDispatcher& dispatcher)
        : shared_(std::move(shared)), dispatcher_(dispatcher) {}

    void partStarted(int id) override {
        dispatcher_.post([s = shared_, id] {
            if (s->alive) s->device->onPartStarted(id);
        });
    }
    void partProgress(int id, std::int64_t elapsedMs) override { shared_->publish(id, elapsedMs); }
    void partEnded(int id, std::int64_t elapsedMs, PartEnd,
                   const DeviceFailure& failure) override {
        shared_->publish(id, elapsedMs);
        dispatcher_.post([s = shared_, id, failure] {
            if (s->alive) s->device->onPartEnded(id, failure);
        });
    }

private:
    std::shared_ptr<Shared> shared_;
    UiDispatcher& dispatcher_;
};

std::unique_ptr<GstCaptureDevice> GstCaptureDevice::create(const CaptureSource& source,
                                                           UiDispatcher& dispatcher,
                                                           DeviceOptions options,
                                                           std::string* error) {
    GError* initError = nullptr;
    const bool started = gst_init_check(nullptr, nullptr, &initError);
    const GErrorPtr initFailure(initError);
    if (!started) {
        if (error) *error = initError ? initError->message : "GStreamer cannot start";
        return nullptr;
    }
    routeFfmpegErrorsToLog();
    std::unique_ptr<GstCaptureDevice> device(
        new GstCaptureDevice(source, dispatcher, std::move(options)));
    if (!device->stream_->build(videoFormatFor(device->videoStandard_), device->videoSource_, error))
        return nullptr;
    return device;
}

GstCaptureDevice::GstCaptureDevice(const CaptureSource& source, UiDispatcher& dispatcher,
                                   DeviceOptions options)
    : source_(source),
      dispatcher_(dispatcher),
      options_(std::move(options)),
      registryKey_(options_.registryKey.empty() ? defaultDeviceRegistryKey()
                                                : options_.registryKey),
      shared_(std::make_shared<Shared>()),
      preview_(std::make_shared<PreviewRelay>(dispatcher)),
      worker_(std::make_unique<EncodeWorker>()),
      events_(std::make_unique<Events>(shared_, dispatcher)) {
    shared_->device = this;
    stream_ = std::make_unique<CaptureStream>(
        source, options_, *events_, preview_,
        [s = shared_, &dispatcher](const std::string& message) {
            dispatcher.post([s, message] {
                if (s->alive) s->device->onStreamError(message);
            });
        });
    installPrecannedTemplates(registryKey_);
    template_ = findTemplateFile(templateKeyFor(registryKey_), {}).stem().string();
}

GstCaptureDevice::~GstCaptureDevice() {
    uiThread_.check();
    shared_->alive = false;
    preview_->setSink(nullptr);
    stream_.reset();  // stops the pipeline and ends every part
    worker_.reset();  // finishes every file still open
}

bool GstCaptureDevice::startStream() {
    if (stream_->running()) return true;
    if (!prepareStream(videoFormatFor(videoStandard_))) return false;
    applySettings();  // a V4L2 device shows its controls once open
    return stream_->start(&last_.text) || sourceFailed();
}

bool GstCaptureDevice::prepareStream(const VideoFormat& format) {
    if (!stream_->builtFor(format, videoSource_) && !stream_->build(format, videoSource_, &last_.text))
        return sourceFailed();
    return stream_->prepare(&last_.text) || sourceFailed();
}

bool GstCaptureDevice::sourceFailed() {
    last_.fault = source_.kind == CaptureSource::Kind::Stream ? DeviceFault::Stream : DeviceFault::Source;
    return false;
}

void GstCaptureDevice::stopStream() {
    stream_->stop();
    currentPart_ = 0;
    copyPart_.reset();
    stoppedCopy_.reset();
}

void GstCaptureDevice::updateValves() {
    CapturePipeline* pipeline = stream_->pipeline();
    if (!pipeline) return;
    pipeline->setPreview(previewWanted() && (currentPart_ ? previewWhileCapturing_ : previewOn_));
    StreamInput::Decoding decoding;
    if (currentPart_ && copyPart_) {
        // A copy needs nothing decoded: the preview gets the key pictures,
        // and the loudspeaker the sound, only when they are wanted.
        decoding.pictures = previewWhileCapturing_ && previewWanted();
        decoding.keyPicturesOnly = true;
        decoding.sound = !mute_ && options_.audioMonitor;
    }
    stream_->setDecoding(decoding);
    pipeline->setMonitor(!mute_);
}

int GstCaptureDevice::idleState() const {
    if (!stream_->running()) return Idle;
    return previewOn_ ? Previewing : StreamReady;
}

void GstCaptureDevice::setState(int state) {
    if (state_.exchange(state) != state) notify();
}

void GstCaptureDevice::notify() {
    dispatcher_.post([s = shared_] {
        if (s->alive && s->device->listener_) s->device->listener_();
    });
}

void GstCaptureDevice::PrepareDevice() {
    uiThread_.check();
    if (state_ != Idle) return;
    if (prepareStream(videoFormatFor(videoStandard_))) {
        applySettings();
        setState(StreamReady);
    }
}

void GstCaptureDevice::StartPreview() {
    uiThread_.check();
    previewOn_ = true;
    if (!currentPart_) {
        if (!startStream()) {
            previewOn_ = false;
            setState(Idle);
            return;
        }
        setState(Previewing);
    }
    updateValves();
}

void GstCaptureDevice::StopPreview() {
    uiThread_.check();
    previewOn_ = false;
    if (!currentPart_) {
        stopStream();
        setState(Idle);
    }
    updateValves();
}

void GstCaptureDevice::CommitVideoSettings() {
    uiThread_.check();
    // While recording, the change waits for the stream's next start.
    if (stream_->builtFor(videoFormatFor(videoStandard_), videoSource_) || currentPart_ ||
        !stream_->running())
        return;
    stopStream();
    setState(startStream() ? idleState() : Idle);
}

void GstCaptureDevice::StartCapture(const std::string& file) {
    uiThread_.check();
    const auto requested = std::chrono::steady_clock::now();
    last_ = {};
    const bool wasRunning = stream_->running();
    if (!startStream()) {
        log::error(log::Area::Recording, "Cannot record " + file + ": " + last_.text);
        return;
    }
    const auto templateFile = findTemplateFile(templateKeyFor(registryKey_), template_);
    const VideoFormat format = stream_->format();
    const EncodingTemplate encoding = readEncodingTemplate(templateFile);
    const bool copy = encoding.streamCopy && stream_->source().kind == CaptureSource::Kind::Stream;
    std::shared_ptr<PartOutput> output;
    if (!copy) {
        finishStoppedCopy();
        output = encodingOutput(file, encoding, format, requested);
    }
    const int id = nextPartId_ % 0xffff + 1;
    if (copy ? !startCopy(file, id) : !output) {
        log::error(log::Area::Recording, "Cannot record " + file + ": " + last_.text);
        if (!wasRunning) {
            stopStream();
            setState(idleState());
        }
        return;
    }
    nextPartId_ = id;
    shared_->elapsed = pack(id, CaptureElapsed());
    ++openFiles_;
    currentPart_ = id;
    if (copy) {
        // Judged by the stream delivering packets: when they are coming, the
        // part records at once.
        if (stream_->packetTap()->flowing(kFlowingNs))
            setState(Recording);
        else if (state_ == Idle)
            setState(StreamReady);
    } else if (stream_->router().startPart(id, std::move(output), limitMs_)) {
        // A part that carries on from the one just stopped records at once.
        setState(Recording);
    } else if (state_ == Idle) {
        setState(StreamReady);
    }
    updateValves();
}

bool GstCaptureDevice::startCopy(const std::string& file, int id) {
    StreamCopyWriter::Start start;
    if (stoppedCopy_) start = stoppedCopy_->carryOn();
    stoppedCopy_.reset();
    auto writer = StreamCopyWriter::create(
        file, id, *events_, limitMs_, start,
        [s = shared_, &dispatcher = dispatcher_](const StreamCopyWriter::Result& r) {
            const FileResult result{r.path, r.elapsedMs, r.ok, 0.0, r.error, r.fault};
            dispatcher.post([s, result] {
                if (s->alive) s->device->onFileClosed(result);
            });
        },
        &last_);
    if (!writer) return false;
    copyPart_ = writer;
    stream_->packetTap()->attach(std::move(writer));
    return true;
}

void GstCaptureDevice::finishStoppedCopy() {
    if (!stoppedCopy_) return;
    stoppedCopy_->finishAtStop(stream_->packetTap()->flowing(kFlowingNs));
    stoppedCopy_.reset();
}

std::shared_ptr<PartOutput> GstCaptureDevice::encodingOutput(
    const std::string& file, const EncodingTemplate& encoding, const VideoFormat& format,
    std::chrono::steady_clock::time_point requested) {
    auto writer = MpegPartWriter::open(
        {file, encoding, format, [tap = stream_->packetTap()] { return tap->soundOnly(); }}, &last_);
    if (!writer) return nullptr;
    return std::make_shared<WorkerPartOutput>(
        std::move(writer), *worker_,
        [s = shared_, &dispatcher = dispatcher_, format, requested](const MpegPartWriter& w,
                                                                    bool ok) {
            using std::chrono::duration_cast;
            using std::chrono::microseconds;
            const auto latency = w.framesWritten() ? w.firstFrameAt() - requested
                                                   : std::chrono::steady_clock::duration{};
            FileResult result{w.path(), format.framesToMs(w.framesWritten()), ok,
                              static_cast<double>(duration_cast<microseconds>(latency).count()) / 1000.0,
                              ok ? std::string() : w.failure().text, ok ? DeviceFault::None : w.failure().fault};
            dispatcher.post([s, result] {
                if (s->alive) s->device->onFileClosed(result);
            });
        });
}

void GstCaptureDevice::StopCapture() {
    uiThread_.check();
    if (!currentPart_) return;
    if (copyPart_) {
        finishStoppedCopy();
        copyPart_->stop();
        stoppedCopy_ = std::move(copyPart_);
        // A split starts the next part in this same turn, which then carries
        // on from this one; otherwise this part ends where it stopped.
        dispatcher_.post([s = shared_, stopped = std::weak_ptr<StreamCopyWriter>(stoppedCopy_)] {
            if (s->alive && s->device->stoppedCopy_ && s->device->stoppedCopy_ == stopped.lock())
                s->device->finishStoppedCopy();
        });
    } else {
        stream_->router().stopPart(currentPart_);
    }
    currentPart_ = 0;
    setState(idleState());
    updateValves();
}

void GstCaptureDevice::onPartStarted(int id) {
    uiThread_.check();
    if (id == currentPart_) setState(Recording);
}

void GstCaptureDevice::onPartEnded(int id, const DeviceFailure& failure) {
    uiThread_.check();
    // Said at once, so whoever sees the recording end also sees why.
    if (failure.failed()) last_ = failure;
    if (id == currentPart_) {
        currentPart_ = 0;
        copyPart_.reset();
        setState(idleState());
        updateValves();
    }
    notify();
}

void GstCaptureDevice::onFileClosed(const FileResult& result) {
    uiThread_.check();
    --openFiles_;
    if (!result.ok) {
        last_ = {result.fault, result.error};
        log::error(log::Area::Recording, "Recording into " + result.path + " failed: " + result.error);
    }
    if (fileListener_) fileListener_(result);
    notify();
}

void GstCaptureDevice::onStreamError(const std::string& message) {
    uiThread_.check();
    last_.text = "The capture source stopped: " + message;
    sourceFailed();
    log::error(log::Area::Device, last_.text);
    stopStream();
    previewOn_ = false;
    setState(Idle);
}

bool GstCaptureDevice::tuneStream(const StreamRequest& stream) {
    uiThread_.check();
    if (!isStreamUrl(stream.url)) {
        last_ = {DeviceFault::Channel, "not the address of a network stream"};
        return false;
    }
    const CaptureSource tuned{CaptureSource::Kind::Stream, stream.url, stream.http};
    if (stream_->source() == tuned) return true;
    // Tuning during a capture would cut the recording short.
    if (currentPart_) {
        last_ = {DeviceFault::Channel, "the device is recording another channel"};
        return false;
    }
    const bool wasRunning = stream_->running();
    log::info(log::Area::Stream, "Tuning to the stream " + stream.url +
              (stream.http.empty() ? "" : " (with the playlist's HTTP options)"));
    source_ = tuned;
    stream_->setSource(tuned);
    if (wasRunning) setState(startStream() ? idleState() : Idle);
    return true;
}

std::optional<CaptureDevice::StreamStatus> GstCaptureDevice::streamStatus() const {
    uiThread_.check();
    if (source_.kind != CaptureSource::Kind::Stream) return std::nullopt;
    const std::string failure = stream_->openFailure();
    return StreamStatus{source_.path, failure, currentPart_ && state_ != Recording && failure.empty(),
                        stream_->packetTap()->soundOnly()};
}

CaptureDevice::SourceGaps GstCaptureDevice::sourceGaps() const {
    uiThread_.check();
    return {stream_->gaps().count(), stream_->gaps().totalMs()};
}

CaptureDevice::SkippedPictures GstCaptureDevice::skippedPictures() const {
    uiThread_.check();
    const std::int64_t count = worker_->skippedPictures();
    return {count, videoFormatFor(videoStandard_).framesToMs(count)};
}

std::optional<std::int64_t> GstCaptureDevice::mediaLength(const std::string& file) const {
    return mediaLengthOf(file);
}

void GstCaptureDevice::setCaptureLimit(std::int64_t ms) {
    uiThread_.check();
    limitMs_ = ms;
    if (copyPart_) copyPart_->setLimit(ms);
    else if (currentPart_) stream_->router().setLimit(currentPart_, ms);
}

std::int64_t GstCaptureDevice::CaptureElapsed() const {
    uiThread_.check();
    return static_cast<std::int64_t>(shared_->elapsed.load() & kMsMask);
}

void GstCaptureDevice::setCaptureElapsed(std::int64_t ms) {
    uiThread_.check();
    shared_->elapsed = pack(currentPart_, ms);
}

void GstCaptureDevice::setStateListener(std::function<void()> listener) {
    uiThread_.check();
    listener_ = std::move(listener);
}

void GstCaptureDevice::setPreviewSink(std::function<void(const PreviewFrame&)> sink) {
    uiThread_.check();
    hasPreviewSink_ = static_cast<bool>(sink);
    preview_->setSink(std::move(sink));
    updateValves();
}

void GstCaptureDevice::setPreviewSize(int width, int height) {
    uiThread_.check();
    stream_->setPreviewSize(width, height);
}

void GstCaptureDevice::setFileListener(std::function<void(const FileResult&)> listener) {
    uiThread_.check();
    fileListener_ = std::move(listener);
}

}  // namespace kelbo
