#pragma once

// Owning holders for FFmpeg's objects, so that every path out of an
// opening function frees what it made. An AVFrame is only ever allocated by
// libavutil: its size is not part of FFmpeg's ABI.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include <memory>

struct AVAudioFifo;
struct AVFormatContext;
struct SwrContext;
struct SwsContext;

namespace kelbo {

struct AvFrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AvPacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct AvCodecParametersFree {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
struct AvCodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
// An output file's context: closes the file if it is open (unless it is
// the caller's own I/O), then frees it.
struct AvOutputClose {
    void operator()(AVFormatContext* format) const;
};
struct SwsContextFree {
    void operator()(SwsContext* scaler) const;
};
struct SwrContextFree {
    void operator()(SwrContext* resampler) const;
};
struct AvAudioFifoFree {
    void operator()(AVAudioFifo* fifo) const;
};

using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;
using AvCodecParametersPtr = std::unique_ptr<AVCodecParameters, AvCodecParametersFree>;
using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextFree>;
using AvOutputPtr = std::unique_ptr<AVFormatContext, AvOutputClose>;
using SwsContextPtr = std::unique_ptr<SwsContext, SwsContextFree>;
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextFree>;
using AvAudioFifoPtr = std::unique_ptr<AVAudioFifo, AvAudioFifoFree>;

// Null when memory runs out, as av_frame_alloc and av_packet_alloc are.
inline AvFramePtr allocateFrame() { return AvFramePtr(av_frame_alloc()); }
inline AvPacketPtr allocatePacket() { return AvPacketPtr(av_packet_alloc()); }

}  // namespace kelbo
