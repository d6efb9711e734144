#include "stream_url.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelbo {

bool isStreamUrl(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kSchemes = {"http://", "https://", "rtsp://",
                                                                 "rtsps://", "udp://",  "rtp://"};
    return std::any_of(kSchemes.begin(), kSchemes.end(), [&](std::string_view scheme) {
        if (text.size() <= scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != scheme[i]) return false;
        return true;
    });
}

}  // namespace kelbo
