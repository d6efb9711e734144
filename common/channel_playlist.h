#pragma once

#include "stream_url.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo {

// One channel of an extended M3U playlist:
//   #EXTINF:-1 tvg-id="bbc1.uk" tvg-chno="101" tvg-name="BBC One",BBC One HD
//   #EXTVLCOPT:http-user-agent=SomePlayer/1.0
//   http://example.net/bbc1.m3u8|Referer=http://example.net/
struct PlaylistEntry {
    std::string name;     // the text after the EXTINF line's comma; empty when none
    std::string url;      // without a "|Header=value" suffix
    std::string tvgId;    // empty when the line has none
    std::string tvgChno;
    std::string tvgName;
    int position = 0;     // from 1, in playlist order
    int line = 0;         // where the entry begins in the file (its EXTINF line, else its URL), from 1
    HttpOptions http;     // what the requests for its stream send
    bool radio = false;   // radio="true": a channel of sound alone, tuned like any other

    // tvg-chno, else the entry's position.
    std::string channelNumber() const;
    bool operator==(const PlaylistEntry&) const = default;
};

// Reads the playlist text: a byte order mark, CR LF line ends, blank lines,
// comments and directives other than #EXTINF and #EXTVLCOPT are allowed
// (#KODIPROP lines are skipped); an #EXTINF line without a URL after it, or
// one that cannot be read, is skipped; a URL without an #EXTINF line is an
// entry without a name.
//
// HTTP options come three ways, each later one overriding an earlier: the
// EXTINF line's http-user-agent="..." and http-referrer="..." attributes,
// #EXTVLCOPT:http-user-agent=... and #EXTVLCOPT:http-referrer=... lines
// before the URL, and a "|User-Agent=...&Referer=...&Other=..." suffix on
// the URL. Values that could inject header lines are dropped. An EXTINF
// line's radio="true" (in any case) marks a radio channel.
std::vector<PlaylistEntry> parseM3u(std::string_view text);

// The most of a playlist file that is read; the largest real ones hold some
// tens of thousands of channels in a few megabytes.
inline constexpr std::size_t kMaxPlaylistBytes = 64u << 20;

// The playlist file's entries; nothing, with the reason in `why`, when it
// cannot be read, is no regular file (a FIFO, a device) or is larger than
// kMaxPlaylistBytes.
std::optional<std::vector<PlaylistEntry>> readM3uFile(const std::string& path, std::string* why = nullptr);

}  // namespace kelbo
