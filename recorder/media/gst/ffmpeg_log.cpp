#include "ffmpeg_log.h"

#include "recorder/ports/log.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace kelbo {

namespace {

thread_local std::string lastMessage;

// FFmpeg's HLS reader says which segments it skipped (expired from the
// playlist, or failed) only in warnings; the gap they leave is told anyway.
bool skipsSegments(int level, const char* format) {
    return level <= AV_LOG_WARNING && format &&
           (std::strstr(format, "segments ahead") || std::strstr(format, "times, skipping"));
}

void onFfmpegLog(void* context, int level, const char* format, va_list args) {
    const bool skipping = skipsSegments(level, format);
    if (level > AV_LOG_ERROR && !skipping) return;
    // FFmpeg may hand over a line in pieces; each thread gathers its own.
    thread_local std::string line;
    thread_local std::string message;  // the same without the prefix
    thread_local int printPrefix = 1;
    char piece[1024];
    va_list again;
    va_copy(again, args);
    av_log_format_line2(context, level, format, args, piece, sizeof piece, &printPrefix);
    line += piece;
    std::vsnprintf(piece, sizeof piece, format, again);
    va_end(again);
    message += piece;
    if (line.empty() || line.back() != '\n') return;
    line.pop_back();
    if (skipping) {
        log::warn(log::Area::Stream, "FFmpeg: " + line);
        line.clear();
        message.clear();
        return;
    }
    // A damaged stream makes the decoder say the same for every picture.
    log::errorOften(format ? format : "", "FFmpeg: " + line);
    line.clear();
    if (!message.empty() && message.back() == '\n') message.pop_back();
    lastMessage = std::move(message);
    message.clear();
}

}  // namespace

std::string lastFfmpegError() { return lastMessage; }

void forgetFfmpegError() { lastMessage.clear(); }

void routeFfmpegErrorsToLog() {
    av_log_set_level(AV_LOG_ERROR);
    av_log_set_callback(&onFfmpegLog);
}

}  // namespace kelbo
