#include "ffmpeg_log.h"

#include "recorder/ports/log.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <string>

namespace kelbo {

namespace {

void onFfmpegLog(void* context, int level, const char* format, va_list args) {
    if (level > AV_LOG_ERROR) return;
    // FFmpeg may hand over a line in pieces; each thread gathers its own.
    thread_local std::string line;
    thread_local int printPrefix = 1;
    char piece[1024];
    av_log_format_line2(context, level, format, args, piece, sizeof piece, &printPrefix);
    line += piece;
    if (line.empty() || line.back() != '\n') return;
    line.pop_back();
    // A damaged stream makes the decoder say the same for every picture.
    log::errorOften(format ? format : "", "FFmpeg: " + line);
    line.clear();
}

}  // namespace

void routeFfmpegErrorsToLog() {
    av_log_set_level(AV_LOG_ERROR);
    av_log_set_callback(&onFfmpegLog);
}

}  // namespace kelbo
