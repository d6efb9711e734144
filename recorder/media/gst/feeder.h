#pragma once

#include "stream_input.h"

#include <gst/gst.h>

#include <functional>
#include <string>

namespace kelbo {

// What pushes a source's pictures and sound into the pipeline's two appsrc
// elements on a thread of its own: the test pattern, a media file, a
// network stream.
class Feeder {
public:
    using FailureHandler = std::function<void(const std::string&)>;

    virtual ~Feeder() = default;

    // Starts feeding once `pipeline` plays; `failed` is called from the
    // feeding thread when the source stops yielding. The feeder holds
    // references of its own to the pipeline and both elements until stop().
    virtual void start(GstElement* pipeline, GstElement* videoSrc, GstElement* audioSrc,
                       FailureHandler failed) = 0;
    virtual void stop() = 0;
    // What of the source is decoded for the pipeline; only a source whose
    // own packets can be copied decodes less than all of it.
    virtual void setDecoding(StreamInput::Decoding) {}
};

}  // namespace kelbo
