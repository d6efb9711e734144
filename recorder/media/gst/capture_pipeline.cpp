#include "capture_pipeline.h"

#include "gst_media_buffers.h"
#include "pipeline_description.h"

#include <gst/app/gstappsink.h>
#include <gst/base/gstbasesink.h>
#include <gst/video/colorbalance.h>

#include <algorithm>
#include <cctype>
#include <cmath>
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
    const GstElementRef tee(gst_bin_get_by_name(GST_BIN(pipeline), teeName));
    if (!tee) return;
    const GstPadRef pad(gst_element_get_static_pad(tee.get(), "sink"));
    if (pad)
        gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_EVENT_UPSTREAM, dropReconfigure, nullptr,
                          nullptr);
}

// The pipeline is live: no sink needs a first buffer before it plays. A
// sink left waiting for one (the loudspeaker while its valve is closed, or
// a sound server slow to answer) would hold every start of the stream for
// the whole start timeout. The loudspeaker's real sink exists only from
// READY on, inside its auto-detecting bin.
void neverWaitForPreroll(GstElement* pipeline) {
    const GstIteratorPtr it(gst_bin_iterate_recurse(GST_BIN(pipeline)));
    GValue item = G_VALUE_INIT;
    for (bool more = true; more;) {
        switch (gst_iterator_next(it.get(), &item)) {
            case GST_ITERATOR_OK: {
                auto* e = static_cast<GstElement*>(g_value_get_object(&item));
                if (GST_IS_BASE_SINK(e)) g_object_set(e, "async", FALSE, nullptr);
                g_value_reset(&item);
                break;
            }
            case GST_ITERATOR_RESYNC: gst_iterator_resync(it.get()); break;
            default: more = false; break;
        }
    }
    g_value_unset(&item);
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
    GstElement* parsed =
        gst_parse_launch_full(description.c_str(), nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &parseError);
    const GErrorPtr parseFailure(parseError);
    if (!parsed) {
        if (error) *error = parseError ? parseError->message : "cannot build the pipeline";
        return nullptr;
    }
    // The parser hands out a floating reference: sink it so the holder owns it.
    GstElementRef pipeline(GST_ELEMENT(gst_object_ref_sink(parsed)));
    std::unique_ptr<CapturePipeline> self(new CapturePipeline(std::move(pipeline)));
    for (const char* name : {element::kVideoSink, element::kAudioSink, element::kPreviewSink,
                             element::kPreviewValve, element::kVolume}) {
        if (!self->element(name)) {
            if (error) *error = std::string("the pipeline has no element ") + name;
            return nullptr;
        }
    }
    const GstBusRef bus(gst_element_get_bus(self->pipeline()));
    gst_bus_set_sync_handler(bus.get(), &CapturePipeline::onBusMessage, self.get(), nullptr);
    stopReconfigureAt(self->pipeline(), "vtee");
    stopReconfigureAt(self->pipeline(), "atee");
    return self;
}

CapturePipeline::~CapturePipeline() {
    stop();
    const GstBusRef bus(gst_element_get_bus(pipeline()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
}

GstElementRef CapturePipeline::element(const char* name) const {
    return GstElementRef(gst_bin_get_by_name(GST_BIN(pipeline()), name));
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
        const GstElementRef e = element(sink.name);
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = sink.callback;
        gst_app_sink_set_callbacks(GST_APP_SINK(e.get()), &callbacks, this, nullptr);
    }
}

bool CapturePipeline::prepare() {
    if (running_) return true;
    if (gst_element_set_state(pipeline(), GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) return false;
    neverWaitForPreroll(pipeline());
    return true;
}

bool CapturePipeline::start() {
    if (running_) return true;
    if (gst_element_set_state(pipeline(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(pipeline(), nullptr, nullptr, kStartTimeout) ==
            GST_STATE_CHANGE_FAILURE) {
        gst_element_set_state(pipeline(), GST_STATE_NULL);
        return false;
    }
    running_ = true;
    return true;
}

void CapturePipeline::stop() {
    gst_element_set_state(pipeline(), GST_STATE_NULL);
    running_ = false;
}

void CapturePipeline::setPreview(bool on) {
    if (const GstElementRef valve = element(element::kPreviewValve))
        g_object_set(valve.get(), "drop", on ? FALSE : TRUE, nullptr);
}

void CapturePipeline::setPreviewSize(int width, int height) {
    const GstElementRef filter = element(element::kPreviewSize);
    const GstCapsRef caps(gst_caps_from_string(previewCaps(width, height).c_str()));
    // Only the preview branch renegotiates: the tee drops the request.
    if (filter && caps) g_object_set(filter.get(), "caps", caps.get(), nullptr);
}

void CapturePipeline::setMonitor(bool on) {
    if (const GstElementRef valve = element(element::kMonitorValve))
        g_object_set(valve.get(), "drop", on ? FALSE : TRUE, nullptr);
}

void CapturePipeline::setBalance(const char* channel, int value) {
    const GstElementRef e = element(element::kBalance);
    if (!e || !GST_IS_COLOR_BALANCE(e.get())) return;
    GstColorBalance* balance = GST_COLOR_BALANCE(e.get());
    {
        for (const GList* l = gst_color_balance_list_channels(balance); l; l = l->next) {
            auto* ch = static_cast<GstColorBalanceChannel*>(l->data);
            if (!contains(ch->label, channel)) continue;
            const double share = std::clamp(value, 0, 10000) / 10000.0;
            const auto span = static_cast<double>(ch->max_value - ch->min_value);
            const int mapped = ch->min_value + static_cast<int>(std::lround(share * span));
            gst_color_balance_set_value(balance, ch, mapped);
        }
    }
}

void CapturePipeline::setVolume(double gain) {
    if (const GstElementRef volume = element(element::kVolume))
        g_object_set(volume.get(), "volume", gain, nullptr);
}

GstBusSyncReply CapturePipeline::onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR && self->handlers_.error) {
        GError* err = nullptr;
        gst_message_parse_error(message, &err, nullptr);
        const GErrorPtr parsed(err);
        std::string text = err ? err->message : "pipeline error";
        if (GST_MESSAGE_SRC(message)) text = std::string(GST_MESSAGE_SRC_NAME(message)) + ": " + text;
        self->handlers_.error(text);
    }
    // Nothing reads the bus: a message left on it would only pile up. A
    // handler that drops a message owns it (every state change of every
    // element posts one, so each start and stop leaked a few).
    gst_message_unref(message);
    return GST_BUS_DROP;
}

GstFlowReturn CapturePipeline::onVideoSample(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    const GstSampleRef sample(gst_app_sink_pull_sample(sink));
    if (!sample) return GST_FLOW_EOS;
    if (auto frame = videoFrameFrom(sample.get()); frame && self->handlers_.video)
        self->handlers_.video(std::move(frame));
    return GST_FLOW_OK;
}

GstFlowReturn CapturePipeline::onAudioSample(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    const GstSampleRef sample(gst_app_sink_pull_sample(sink));
    if (!sample) return GST_FLOW_EOS;
    if (auto chunk = audioChunkFrom(sample.get()); chunk && self->handlers_.audio)
        self->handlers_.audio(std::move(chunk));
    return GST_FLOW_OK;
}

GstFlowReturn CapturePipeline::onPreviewSample(GstAppSink* sink, gpointer data) {
    auto* self = static_cast<CapturePipeline*>(data);
    const GstSampleRef sample(gst_app_sink_pull_sample(sink));
    if (!sample) return GST_FLOW_EOS;
    if (self->handlers_.preview) self->handlers_.preview(sample.get());
    return GST_FLOW_OK;
}

}  // namespace kelbo
