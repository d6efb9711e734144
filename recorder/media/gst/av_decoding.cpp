#include "av_decoding.h"

#include "av_ref.h"
#include "capture_format.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace kelbo {

AVCodecContext* openDecoder(const AVStream* stream) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return nullptr;
    AvCodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0)
        return nullptr;
    context->thread_count = 1;
    context->pkt_timebase = stream->time_base;
    if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
    return context.release();
}

SwrContext* openStereoResampler(const AVCodecContext& decoder) {
    return openStereoResampler(decoder.ch_layout, decoder.sample_fmt, decoder.sample_rate);
}

SwrContext* openStereoResampler(const AVChannelLayout& from, int sampleFormat, int sampleRate) {
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout layout = from;
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, layout.nb_channels);
    SwrContext* resampler = nullptr;
    if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, kAudioRate, &layout,
                            static_cast<AVSampleFormat>(sampleFormat), sampleRate, 0, nullptr) < 0 ||
        swr_init(resampler) < 0)
        swr_free(&resampler);
    return resampler;
}

}  // namespace kelbo
