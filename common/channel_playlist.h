#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo {

// One channel of an extended M3U playlist:
//   #EXTINF:-1 tvg-id="bbc1.uk" tvg-chno="101" tvg-name="BBC One",BBC One HD
//   http://example.net/bbc1.m3u8
struct PlaylistEntry {
    std::string name;     // the text after the EXTINF line's comma
    std::string url;
    std::string tvgId;    // empty when the line has none
    std::string tvgChno;
    std::string tvgName;
    int position = 0;     // from 1, in playlist order

    // tvg-chno, else the entry's position.
    std::string channelNumber() const;
    bool operator==(const PlaylistEntry&) const = default;
};

// Reads the playlist text: a byte order mark, CR LF line ends, blank lines,
// comments and directives other than #EXTINF are allowed; an #EXTINF line
// without a URL after it, or one that cannot be read, is skipped; a URL
// without an #EXTINF line is an entry named after its URL.
std::vector<PlaylistEntry> parseM3u(std::string_view text);

// The playlist file's entries; nothing when it cannot be read.
std::optional<std::vector<PlaylistEntry>> readM3uFile(const std::string& path);

// The entry a schedule item's channel means: its number against each
// entry's channel number (numbers compare by value, "007" is "7"), failing
// that its name against the entry's name or tvg-name, ignoring case and
// surrounding spaces.
const PlaylistEntry* findChannel(const std::vector<PlaylistEntry>& entries,
                                 std::string_view channelNumber, std::string_view channelName);

}  // namespace kelbo
