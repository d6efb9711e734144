#include "preview_relay.h"

#include "recorder/ports/ui_dispatcher.h"

#include <gst/video/video.h>

#include <algorithm>

namespace kelbo {

void PreviewRelay::setSink(std::function<void(const PreviewFrame&)> sink) {
    sink_ = std::move(sink);
}

void PreviewRelay::push(GstSample* sample) {
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (!buffer || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
        !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    std::lock_guard lock(mutex_);
    // The stride comes from the caps: rows may be padded.
    spare_.width = GST_VIDEO_INFO_WIDTH(&info);
    spare_.height = GST_VIDEO_INFO_HEIGHT(&info);
    spare_.stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    const gsize bytes = std::min<gsize>(map.size, static_cast<gsize>(spare_.stride) * spare_.height);
    spare_.rgb.assign(map.data, map.data + bytes);
    gst_buffer_unmap(buffer, &map);
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
    if (spare_.rgb.capacity() < frame.rgb.capacity()) std::swap(frame, spare_);
}

}  // namespace kelbo
