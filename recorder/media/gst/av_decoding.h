#pragma once

struct AVChannelLayout;
struct AVCodecContext;
struct AVStream;
struct SwrContext;

namespace kelbo {

// A one-thread decoder for the stream; nothing when it has no decoder or
// the decoder does not open.
AVCodecContext* openDecoder(const AVStream* stream);

// A resampler from the decoder's sound to the pipeline's interleaved
// 16-bit stereo at its rate; nothing when it cannot be made.
SwrContext* openStereoResampler(const AVCodecContext& decoder);
// The same for sound of this layout, sample format and rate.
SwrContext* openStereoResampler(const AVChannelLayout& layout, int sampleFormat, int sampleRate);

}  // namespace kelbo
