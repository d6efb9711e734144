#pragma once

// Owning holders for FFmpeg frames and packets. An AVFrame is only ever
// allocated by libavutil: its size is not part of FFmpeg's ABI.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include <memory>

namespace kelbo {

struct AvFrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AvPacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;

// Null when memory runs out, as av_frame_alloc and av_packet_alloc are.
inline AvFramePtr allocateFrame() { return AvFramePtr(av_frame_alloc()); }
inline AvPacketPtr allocatePacket() { return AvPacketPtr(av_packet_alloc()); }

}  // namespace kelbo
