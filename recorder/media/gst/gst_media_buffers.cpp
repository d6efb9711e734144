#include "gst_media_buffers.h"

#include "av_ref.h"
#include "capture_format.h"
#include "gst_ref.h"

#include <gst/video/video.h>

#include <cstring>
#include <vector>

namespace kelbo {

namespace {

// The mapping lives as long as any reference to the FFmpeg frame, which an
// encoder may hold after the picture itself is gone; the last one unmaps it
// and so drops the buffer the mapping holds.
void unmapPicture(void* mapped, std::uint8_t*) {
    auto* frame = static_cast<GstVideoFrame*>(mapped);
    gst_video_frame_unmap(frame);
    delete frame;
}

class GstPicture : public VideoFrame {
public:
    GstPicture(std::int64_t pts, AvFramePtr picture) : VideoFrame(pts), picture_(std::move(picture)) {}
    const AVFrame* picture() const override { return picture_.get(); }

private:
    AvFramePtr picture_;
};

// Wraps a mapped picture without copying it. Nothing, with the picture
// unmapped, when memory runs out.
AvFramePtr wrapMapped(const GstVideoFrame& mapped) {
    auto* held = new GstVideoFrame(mapped);
    AVBufferRef* ref = av_buffer_create(static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(held, 0)),
                                        GST_VIDEO_FRAME_SIZE(held), unmapPicture, held,
                                        AV_BUFFER_FLAG_READONLY);
    if (!ref) {
        unmapPicture(held, nullptr);
        return nullptr;
    }
    AvFramePtr picture = allocateFrame();
    if (!picture) {
        av_buffer_unref(&ref);
        return nullptr;
    }
    picture->buf[0] = ref;
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = GST_VIDEO_FRAME_WIDTH(held);
    picture->height = GST_VIDEO_FRAME_HEIGHT(held);
    for (guint i = 0; i < GST_VIDEO_FRAME_N_PLANES(held) && i < AV_NUM_DATA_POINTERS; ++i) {
        picture->data[i] = static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(held, i));
        picture->linesize[i] = GST_VIDEO_FRAME_PLANE_STRIDE(held, i);
    }
    return picture;
}

// Sound is copied out of the buffer and the buffer unmapped at once. Every
// block of a source may share one memory (the test pattern's tone does), and
// a memory counts at most 255 mappings at a time: the chunks that wait in
// the encoder's queue after a stall must not each hold one.
class CopiedSound : public AudioChunk {
public:
    CopiedSound(std::int64_t pts, const guint8* data, gsize size)
        : AudioChunk(pts, size / (sizeof(std::int16_t) * kAudioChannels)),
          samples_(samples() * kAudioChannels) {
        if (!samples_.empty()) std::memcpy(samples_.data(), data, samples_.size() * sizeof(std::int16_t));
    }
    const std::int16_t* data() const override { return samples_.data(); }

private:
    std::vector<std::int16_t> samples_;
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
    if (pts < 0 || GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_I420 ||
        !gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return nullptr;
    AvFramePtr picture = wrapMapped(frame);
    if (!picture) return nullptr;
    return std::make_shared<GstPicture>(pts, std::move(picture));
}

AudioChunkPtr audioChunkFrom(GstSample* sample) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const std::int64_t pts = buffer ? runningTime(sample, buffer) : -1;
    if (pts < 0) return nullptr;
    const GstBufferMapping map(buffer, GST_MAP_READ);
    if (!map) return nullptr;
    return std::make_shared<CopiedSound>(pts, map.data(), map.size());
}

}  // namespace kelbo
