// Differential: Kelbo's URL splitter (standard library only, as common/
// must be) against FFmpeg's own av_url_split, part for part: the host
// Kelbo checks must be the host FFmpeg connects to.
#include "common/stream_url.h"
#include "common/url_split.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kelbo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t length) {
    if (length > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), length);
    const std::string url = text.substr(0, text.find('\0'));  // what FFmpeg is given

    const std::size_t room = url.size() + 1;  // FFmpeg truncates nothing
    std::vector<char> scheme(room), authorization(room), host(room), path(room);
    const int size = static_cast<int>(room);
    int port = 0;
    av_url_split(scheme.data(), size, authorization.data(), size, host.data(), size, &port, path.data(), size,
                 url.c_str());

    const UrlSplit ours = splitUrlAsFfmpeg(text);
    if (ours.scheme != scheme.data() || ours.authorization != authorization.data() || ours.host != host.data() ||
        ours.port != port || ours.path != path.data())
        std::abort();
    if (urlHostName(text) != host.data()) std::abort();
    return 0;
}
