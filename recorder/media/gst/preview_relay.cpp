#include "preview_relay.h"

#include "gst_ref.h"
#include "recorder/ports/ui_dispatcher.h"

#include <gst/video/video.h>

#include <algorithm>

namespace kelbo {

void PreviewRelay::setSink(std::function<void(const PreviewFrame&)> sink) {
    sink_ = std::move(sink);
}

void PreviewRelay::push(GstSample* sample) {
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    if (!caps || !gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_COMP_PSTRIDE(&info, 0) != 4)
        return;
    const GstBufferMapping map(gst_sample_get_buffer(sample), GST_MAP_READ);
    if (!map) return;
    std::lock_guard lock(mutex_);
    // The stride comes from the caps: rows may be padded.
    spare_.width = GST_VIDEO_INFO_WIDTH(&info);
    spare_.height = GST_VIDEO_INFO_HEIGHT(&info);
    spare_.stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    const gsize bytes = std::min<gsize>(
        map.size(), static_cast<gsize>(spare_.stride) * static_cast<gsize>(spare_.height));
    spare_.pixels.assign(map.data(), map.data() + bytes);
    std::swap(latest_, spare_);
    if (posted_) return;
    posted_ = true;
    dispatcher_.post([self = shared_from_this()] { self->deliver(); });
}

void PreviewRelay::deliver() {
    PreviewFrame frame;
    {
        std::lock_guard lock(mutex_);
        posted_ = false;
        std::swap(frame, latest_);
    }
    if (sink_ && frame.width > 0) sink_(frame);
    // Hand the buffer back so the next picture needs no allocation.
    std::lock_guard lock(mutex_);
    if (spare_.pixels.capacity() < frame.pixels.capacity()) std::swap(frame, spare_);
}

}  // namespace kelbo
