#include "capture_pipeline.h"

#include "gst_media_buffers.h"
#include "pipeline_description.h"

#include <gst/app/gstappsink.h>
#include <gst/base/gstbasesink.h>
#include <gst/video/colorbalance.h>

#include <algorithm>
#include <cctype>
#include <string_view>

namespace kelbo {

namespace {

constexpr GstClockTime kStartTimeout = 3 * GST_SECOND;

// A branch whose valve opens asks upstream to renegotiate; the source would
// then stall until every branch has drained. The tees' caps never change,
// so such requests stop at the tee.
GstPadProbeReturn dropReconfigure(GstPad*, GstPadProbeInfo* info, gpointer) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    return GST_EVENT_TYPE(event) == GST_EVENT_RECONFIGURE ? GST_PAD_PROBE_DROP
                                                          : GST_PAD_PROBE_OK;
}

void stopReconfigureAt(GstElement* pipeline, const char* teeName) {
    GstElement* tee = gst_bin_get_by_name(GST_BIN(pipeline), teeName);
    if (!tee) return;
    GstPad* pad = gst_element_get_static_pad(tee, "sink");
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_UPSTREAM, dropReconfigure, nullptr, nullptr);
    gst_object_unref(pad);
    gst_object_unref(tee);
}

// The pipeline is live: no sink needs a first buffer before it plays. A
// sink left waiting for one (the loudspeaker while its valve is closed, or
// a sound server slow to answer) would hold every start of the stream for
// the whole start timeout. The loudspeaker's real sink exists only from
// READY on, inside its auto-detecting bin.
void neverWaitForPreroll(GstElement* pipeline) {
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    for (bool more = true; more;) {
        switch (gst_iterator_next(it, &item)) {
            case GST_ITERATOR_OK: {
                auto* e = static_cast<GstElement*>(g_value_get_object(&item));
                if (GST_IS_BASE_SINK(e)) g_object_set(e, "async", FALSE, nullptr);
                g_value_reset(&item);
                break;
            }
            case GST_ITERATOR_RESYNC: gst_iterator_resync(it); break;
            default: more = false; break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

bool contains(std::string_view haystack, std::string_view needle) {
    std::string lower(haystack);
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    return lower.find(needle) != std::string::npos;
}

}  // namespace

std::unique_ptr<CapturePipeline> CapturePipeline::create(const std::string& description,
                                                         std::string* error) {
    GError* parseError = nullptr;
    GstElement* pipeline =
        gst_parse_launch_full(description.c_str(), nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &parseError);
    if (!pipeline) {
        if (error) *error = parseError ? parseError->message : "cannot build the pipeline";
        if (parseError) g_error_free(parseError);
        return nullptr;
    }
    if (parseError) g_error_free(parseError);
    std::unique_ptr<CapturePipeline> self(new CapturePipeline(pipeline));
    for (const char* name : {element::kVideoSink, element::kAudioSink, element::kPreviewSink,
                             element::kPreviewValve, element::kVolume}) {
        GstElement* e = self->element(name);
        if (!e) {
            if (error) *error = std::string("the pipeline has no element ") + name;
            return nullptr;
        }
        gst_object_unref(e);
    }
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, &CapturePipeline::onBusMessage, self.get(), nullptr);
    gst_object_unref(bus);
    stopReconfigureAt(pipeline, "vtee");
    stopReconfigureAt(pipeline, "atee");
    return self;
}

CapturePipeline::~CapturePipeline() {
    stop();
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(pipeline_);
}

GstElement* CapturePipeline::element(const char* name) const {
    return gst_bin_get_by_name(GST_BIN(pipeline_), name);
}

void CapturePipeline::setHandlers(Handlers handlers) {
    handlers_ = std::move(handlers);
    const struct {
        const char* name;
        GstFlowReturn (*callback)(GstAppSink*, gpointer);
    } sinks[] = {{element::kVideoSink, &CapturePipeline::onVideoSample},
                 {element::kAudioSink, &CapturePipeline::onAudioSample},
                 {element::kPreviewSink, &CapturePipeline::onPreviewSample}};
    for (const auto& sink : sinks) {
        GstElement* e = element(sink.name);
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = sink.callback;
        gst_app_sink_set_callbacks(GST_APP_SINK(e), &callbacks, this, nullptr);
        gst_object_unref(e);
    }
}

bool CapturePipeline::prepare() {
    if (running_) return true;
    if (gst_element_set_state(pipeline_, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) return false;
    neverWaitForPreroll(pipeline_);
    return true;
}

bool CapturePipeline::start() {
    if (running_) return true;
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(pipeline_, nullptr, nullptr, kStartTimeout) ==
            GST_STATE_CHANGE_FAILURE) {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        return false;
    }
    running_ = true;
    return true;
}

void CapturePipeline::stop() {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    running_ = false;
}

void CapturePipeline::setPreview(bool on) {
    GstElement* valve = element(element::kPreviewValve);
    g_object_set(valve, "drop", on ? FALSE : TRUE, nullptr);
    gst_object_unref(valve);
}

void CapturePipeline::setMonitor(bool on) {
    if (GstElement* valve = element(element::kMonitorValve)) {
        g_object_set(valve, "drop", on ? FALSE : TRUE, nullptr);
        gst_object_unref(valve);
    }
}

void CapturePipeline::setBalance(const char* channel, int value) {
    GstElement* e = element(element::kBalance);
    if (!e) return;
    if (GST_IS_COLOR_BALANCE(e)) {
        GstColorBalance* balance = GST_COLOR_BALANCE(e);
        for (const GList* l = gst_color_balance_list_channels(balance); l; l = l->next) {
            auto* ch = static_cast<GstColorBalanceChannel*>(l->data);
            if (!contains(ch->label, channel)) continue;
            const double share = std::clamp(value, 0, 10000) / 10000.0;
            const int mapped =
                ch->min_value + static_cast<int>(share * (ch->max_value - ch->min_value) + 0.5);
            gst_color_balance_set_value(balance, ch, mapped);
        }
    }
    gst_object_unref(e);
}

void CapturePipeline::setVolume(double gain) {
    GstElement* volume = element(element::kVolume);
    g_object_set(volume, "volume", gain, nullptr);
    gst_object_unref(volume);
}

GstBusSyncReply CapturePipeline::onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR && self->handlers_.error) {
        GError* err = nullptr;
        gst_message_parse_error(message, &err, nullptr);
        std::string text = err ? err->message : "pipeline error";
        if (GST_MESSAGE_SRC(message)) text = std::string(GST_MESSAGE_SRC_NAME(message)) + ": " + text;
        self->handlers_.error(text);
        if (err) g_error_free(err);
    }
    // Nothing reads the bus: a message left on it would only pile up.
    return GST_BUS_DROP;
}

GstFlowReturn CapturePipeline::onVideoSample(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_EOS;
    if (auto frame = videoFrameFrom(sample); frame && self->handlers_.video)
        self->handlers_.video(std::move(frame));
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

GstFlowReturn CapturePipeline::onAudioSample(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_EOS;
    if (auto chunk = audioChunkFrom(sample); chunk && self->handlers_.audio)
        self->handlers_.audio(std::move(chunk));
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

GstFlowReturn CapturePipeline::onPreviewSample(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_EOS;
    if (self->handlers_.preview) self->handlers_.preview(sample);
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

}  // namespace kelbo
