// Feeds arbitrary text to the stream URL helpers. Besides not crashing, a
// stream's header options never carry a line break of the sender's choice,
// the host shown to the user never holds the password before an "@", and
// only the schemes the recorder reads count as streams.
#include "common/stream_url.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kelbo;

namespace {

bool startsWithScheme(const std::string& text) {
    for (const char* scheme : {"http://", "https://", "rtsp://", "rtsps://", "udp://", "rtp://"}) {
        const std::string s(scheme);
        if (text.size() >= s.size() &&
            std::equal(s.begin(), s.end(), text.begin(), [](char a, char b) { return a == std::tolower(b); }))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (isStreamUrl(text) && !startsWithScheme(text)) std::abort();

    const StreamRequest request = splitUrlOptions(text);
    const std::string lines = headerLines(request.http);
    if (std::count(lines.begin(), lines.end(), '\n') != static_cast<std::ptrdiff_t>(request.http.headers.size()))
        std::abort();
    if (!safeHeaderValue(request.http.userAgent) || !safeHeaderValue(request.http.referer)) std::abort();

    const std::string host = urlHost(request.url);
    if (host.find('@') != std::string::npos || host.find('/') != std::string::npos) std::abort();

    const std::string name = urlHostName(text);
    if (name.find_first_of("@/") != std::string::npos || name.size() > text.size()) std::abort();
    for (const char c : urlScheme(text))
        if (!(std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) ||
              c == '+' || c == '-' || c == '.'))
            std::abort();

    const std::string decoded = percentDecoded(text);
    if (decoded.size() > text.size()) std::abort();

    // The text cut in two as a header's name and value.
    HttpOptions options;
    const size_t cut = size ? data[0] % (size + 1) : 0;
    if (setHttpHeader(options, text.substr(0, cut), text.substr(cut))) {
        const std::string set = headerLines(options);
        const auto fields = static_cast<std::ptrdiff_t>(options.headers.size());
        if (std::count(set.begin(), set.end(), '\n') != fields || std::count(set.begin(), set.end(), '\r') != fields)
            std::abort();
    }
    return 0;
}
