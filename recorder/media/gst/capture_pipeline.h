#pragma once

#include "gst_ref.h"
#include "media_buffer.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <functional>
#include <memory>
#include <string>

namespace kelbo {

// The running GStreamer pipeline of the device, built from a description
// whose elements are named as in pipeline_description.h. Media and errors
// arrive on streaming threads through the handlers.
class CapturePipeline {
public:
    struct Handlers {
        std::function<void(VideoFramePtr)> video;
        std::function<void(AudioChunkPtr)> audio;
        std::function<void(GstSample*)> preview;
        std::function<void(const std::string&)> error;
    };

    // Nothing, with `error` set, when an element cannot be created or one
    // the device needs is missing.
    static std::unique_ptr<CapturePipeline> create(const std::string& description,
                                                   std::string* error);
    ~CapturePipeline();
    CapturePipeline(const CapturePipeline&) = delete;
    CapturePipeline& operator=(const CapturePipeline&) = delete;

    void setHandlers(Handlers handlers);

    // Opens the source without running it.
    bool prepare();
    // Runs the pipeline; false when it cannot start.
    bool start();
    // Stops it; every streaming thread has ended on return.
    void stop();
    bool running() const { return running_; }

    void setPreview(bool on);
    // The size of the preview pictures from now on.
    void setPreviewSize(int width, int height);
    void setMonitor(bool on);
    // Picture controls as 0..10000, mapped onto the colour-balance channel
    // whose name contains `channel` ("bright", "contrast", "satur", "hue").
    void setBalance(const char* channel, int value);
    void setVolume(double gain);

    // A reference of its own to the named element; null when there is none.
    GstElementRef element(const char* name) const;
    GstElement* pipeline() const { return pipeline_.get(); }

private:
    explicit CapturePipeline(GstElementRef pipeline) : pipeline_(std::move(pipeline)) {}
    static GstBusSyncReply onBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    static GstFlowReturn onVideoSample(GstAppSink* sink, gpointer self);
    static GstFlowReturn onAudioSample(GstAppSink* sink, gpointer self);
    static GstFlowReturn onPreviewSample(GstAppSink* sink, gpointer self);

    GstElementRef pipeline_;
    Handlers handlers_;
    bool running_ = false;
};

}  // namespace kelbo
