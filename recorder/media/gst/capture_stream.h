#pragma once

#include "capture_format.h"
#include "capture_source.h"
#include "device_options.h"
#include "part_router.h"
#include "stream_input.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace kelbo {

class CapturePipeline;
class PreviewRelay;
class SourceFeed;
class StreamGapTally;
class StreamPacketTap;

// The media side of the device: the pipeline built for the source and the
// video standard, the source's feed, and the router that takes the
// recording branch's pictures and sound to the part files.
class CaptureStream {
public:
    // Called from streaming threads when the source fails.
    using ErrorHandler = std::function<void(const std::string&)>;

    CaptureStream(CaptureSource source, DeviceOptions options, PartEvents& events,
                  std::shared_ptr<PreviewRelay> preview, ErrorHandler onError);
    ~CaptureStream();

    // A new pipeline for the standard's format and the input; false, with
    // `error` set, when its elements cannot be created.
    bool build(const VideoFormat& format, int videoSource, std::string* error);
    bool builtFor(const VideoFormat& format, int videoSource) const;
    // Another source: the pipeline is stopped and built anew at the next start.
    void setSource(CaptureSource source);
    const CaptureSource& source() const { return source_; }
    // Interruptions of stream sources over the stream's life.
    const StreamGapTally& gaps() const { return *gaps_; }
    // See Feeder::setDecoding; kept across restarts.
    void setDecoding(StreamInput::Decoding decoding);
    // A stream source's own packets, for parts that copy them.
    const std::shared_ptr<StreamPacketTap>& packetTap() const { return tap_; }
    // Why the stream source could not be opened the last time it tried;
    // "" while it opens, once it has opened, and for other sources.
    std::string openFailure() const;
    // Opens the source without running it.
    bool prepare(std::string* error);
    bool start(std::string* error);
    // Stops the pipeline, then finishes every part with what it has.
    void stop();
    bool running() const;
    // The size of the preview pictures, now and in every later pipeline.
    void setPreviewSize(int width, int height);

    CapturePipeline* pipeline() const { return pipeline_.get(); }
    PartRouter& router() { return *router_; }
    const VideoFormat& format() const { return format_; }

private:
    CaptureSource source_;
    DeviceOptions options_;
    PartEvents& events_;
    std::shared_ptr<PreviewRelay> preview_;
    ErrorHandler onError_;
    VideoFormat format_;
    int videoSource_ = 0;
    std::unique_ptr<PartRouter> router_;
    std::unique_ptr<CapturePipeline> pipeline_;
    std::shared_ptr<StreamGapTally> gaps_;
    std::shared_ptr<StreamPacketTap> tap_;
    std::shared_ptr<RequestBudget> requests_;  // the tuner's, whatever it is tuned to
    // Written by the stream's reading thread.
    struct OpenOutcome {
        std::mutex mutex;
        std::string failure;
    };
    std::shared_ptr<OpenOutcome> opened_;
    StreamInput::Decoding decoding_;
    std::unique_ptr<SourceFeed> feed_;  // made from the members above
    std::unique_ptr<SourceFeed> makeFeed() const;
    void setOpenFailure(const std::string& why);
};

}  // namespace kelbo
