#pragma once

#include "capture_source.h"
#include "feeder.h"
#include "pipeline_description.h"
#include "stream_input.h"

#include <functional>
#include <memory>
#include <string>

namespace kelbo {

class CapturePipeline;
class StreamGapTally;
class RequestBudget;
class StreamPacketTap;

// What a network stream's feeder shares with the capture stream that
// outlives it: interruptions, the packets for copying, why it last failed
// to open (told from its reading thread), the tuner's requests.
struct StreamShared {
    std::shared_ptr<StreamGapTally> gaps;
    std::shared_ptr<StreamPacketTap> tap;
    std::function<void(const std::string& why)> openFailed;
    std::shared_ptr<RequestBudget> requests;
};

// What sets one kind of capture source apart inside the capture stream:
// what its pipeline needs, what is done before it opens, and the feeder
// that pushes its pictures and sound. The capture stream itself is the same
// for every kind.
class SourceFeed {
public:
    static std::unique_ptr<SourceFeed> forSource(const CaptureSource& source, StreamShared shared);
    virtual ~SourceFeed();

    // Adds what this source needs to the description of its pipeline.
    virtual void describe(PipelineSpec&) {}
    // After the pipeline is built for `format`: false, with `error` set,
    // when what the source needs cannot be made.
    virtual bool built(const CapturePipeline&, const VideoFormat&, int /*videoSource*/,
                       std::string* /*error*/) {
        return true;
    }
    // Before the pipeline opens the source.
    virtual void beforeOpen(int /*videoSource*/) {}
    // Starts the feeder, if the pipeline has the elements it feeds.
    virtual bool start(const CapturePipeline& pipeline, const VideoFormat& format,
                       Feeder::FailureHandler failed, std::string* error);
    // Stops the feeder; the pipeline stops after it.
    virtual void stop();
    // Kept across restarts.
    void setDecoding(StreamInput::Decoding decoding);

protected:
    // The feeder for a start, when none is kept from before; null, with
    // `error` set, when the source cannot be read.
    virtual std::unique_ptr<Feeder> makeFeeder(const VideoFormat& format, std::string* error) = 0;
    // The appsrc elements the feeder pushes into.
    virtual const char* videoElement() const;
    virtual const char* audioElement() const;
    // Whether a feeder is kept across stops, to start again quickly.
    virtual bool keepsFeeder() const { return true; }

    std::unique_ptr<Feeder> feeder_;
    StreamInput::Decoding decoding_;
};

}  // namespace kelbo
