#include "av_ref.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace kelbo {

void AvOutputClose::operator()(AVFormatContext* format) const {
    // A file of our own I/O (a PartFile) is closed by its owner.
    if (format->pb && !(format->flags & AVFMT_FLAG_CUSTOM_IO)) avio_closep(&format->pb);
    avformat_free_context(format);
}

void SwsContextFree::operator()(SwsContext* scaler) const { sws_freeContext(scaler); }

void SwrContextFree::operator()(SwrContext* resampler) const { swr_free(&resampler); }

void AvAudioFifoFree::operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }

}  // namespace kelbo
