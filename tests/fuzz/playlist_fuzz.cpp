// Feeds arbitrary bytes to the channel playlist reader and the channel
// matching. Besides not crashing, no header a stranger's playlist sets may
// carry a character that would start a header line of its own, and a
// chosen entry is always one of the playlist's.
#include "common/channel_match.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kelbo;

namespace {

void checkSafe(const HttpOptions& http) {
    for (const std::string& value : {http.userAgent, http.referer})
        if (!safeHeaderValue(value)) std::abort();
    for (const auto& [name, value] : http.headers)
        if (!safeHeaderName(name) || !safeHeaderValue(value)) std::abort();
    // One line for each extra header, and no other line break.
    const std::string lines = headerLines(http);
    if (std::count(lines.begin(), lines.end(), '\n') != static_cast<std::ptrdiff_t>(http.headers.size()) ||
        std::count(lines.begin(), lines.end(), '\r') != static_cast<std::ptrdiff_t>(http.headers.size()))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto entries = parseM3u(text);
    for (const PlaylistEntry& entry : entries) {
        checkSafe(entry.http);
        if (entry.url.empty() || entry.url.find('|') != std::string::npos) std::abort();
        (void)describeEntry(entry);
        (void)urlHost(entry.url);
    }
    // The first line's text as a channel's number and name.
    const std::string first = text.substr(0, text.find('\n'));
    for (const auto& [number, name] : {std::pair{first, first}, std::pair{std::string("1"), first}}) {
        const ChannelMatch match = findChannel(entries, number, name);
        if (match && (match.entry < entries.data() || match.entry >= entries.data() + entries.size())) std::abort();
    }
    checkSafe(splitUrlOptions(text).http);
    return 0;
}
