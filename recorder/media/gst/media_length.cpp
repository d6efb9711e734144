#include "media_length.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace kelbo {

std::optional<std::int64_t> mediaLengthOf(const std::string& file) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, file.c_str(), nullptr, nullptr) < 0) return std::nullopt;
    std::optional<std::int64_t> ms;
    if (avformat_find_stream_info(format, nullptr) >= 0 && format->duration != AV_NOPTS_VALUE &&
        format->duration > 0)
        ms = format->duration / (AV_TIME_BASE / 1000);
    avformat_close_input(&format);
    return ms;
}

}  // namespace kelbo
