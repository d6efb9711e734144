#include "av_ref.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace kelbo {

void AvOutputClose::operator()(AVFormatContext* format) const {
    if (format->pb) avio_closep(&format->pb);
    avformat_free_context(format);
}

void SwsContextFree::operator()(SwsContext* scaler) const { sws_freeContext(scaler); }

void SwrContextFree::operator()(SwrContext* resampler) const { swr_free(&resampler); }

void AvAudioFifoFree::operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }

}  // namespace kelbo
