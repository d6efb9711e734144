#include "gst_media_buffers.h"

#include "capture_format.h"

#include <gst/video/video.h>

namespace kelbo {

namespace {

class GstPicture : public VideoFrame {
public:
    GstPicture(std::int64_t pts, const GstVideoFrame& frame) : VideoFrame(pts), frame_(frame) {}
    ~GstPicture() override { gst_video_frame_unmap(&frame_); }
    const std::uint8_t* plane(int index) const override {
        return static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame_, index));
    }
    int stride(int index) const override { return GST_VIDEO_FRAME_PLANE_STRIDE(&frame_, index); }

private:
    mutable GstVideoFrame frame_;
};

class GstSound : public AudioChunk {
public:
    GstSound(std::int64_t pts, GstBuffer* buffer, const GstMapInfo& map)
        : AudioChunk(pts, map.size / (sizeof(std::int16_t) * kAudioChannels)),
          buffer_(gst_buffer_ref(buffer)),
          map_(map) {}
    ~GstSound() override {
        gst_buffer_unmap(buffer_, &map_);
        gst_buffer_unref(buffer_);
    }
    const std::int16_t* data() const override {
        return reinterpret_cast<const std::int16_t*>(map_.data);
    }

private:
    GstBuffer* buffer_;
    GstMapInfo map_;
};

// Running time of the buffer: what every branch and both streams share.
std::int64_t runningTime(GstSample* sample, GstBuffer* buffer) {
    const GstSegment* segment = gst_sample_get_segment(sample);
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (!segment || !GST_CLOCK_TIME_IS_VALID(pts)) return -1;
    const GstClockTime running = gst_segment_to_running_time(segment, GST_FORMAT_TIME, pts);
    return GST_CLOCK_TIME_IS_VALID(running) ? static_cast<std::int64_t>(running) : -1;
}

}  // namespace

VideoFramePtr videoFrameFrom(GstSample* sample) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    GstVideoInfo info;
    if (!buffer || !caps || !gst_video_info_from_caps(&info, caps)) return nullptr;
    const std::int64_t pts = runningTime(sample, buffer);
    GstVideoFrame frame;
    if (pts < 0 || !gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) return nullptr;
    return std::make_shared<GstPicture>(pts, frame);
}

AudioChunkPtr audioChunkFrom(GstSample* sample) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const std::int64_t pts = buffer ? runningTime(sample, buffer) : -1;
    GstMapInfo map;
    if (pts < 0 || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return nullptr;
    return std::make_shared<GstSound>(pts, buffer, map);
}

}  // namespace kelbo
