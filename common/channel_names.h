#pragma once

#include <string>
#include <string_view>

namespace kelbo {

// Channel names as listings and playlists write them differ in letter case
// and in decorations that say how a feed is sent, not which station it is:
// "Al Sharqiya (1080p) [Not 24/7]", "BBC One HD" and "bbc one" name one
// station.

// Lower case for ASCII and the letters of Latin-1, Latin Extended-A, Greek
// and Cyrillic, which cover the channel names met in practice; other bytes
// stay as they are.
std::string foldCase(std::string_view utf8);

// The name's comparable form: case folded, spaces trimmed and collapsed,
// trailing bracketed groups and quality words (HD, FHD, UHD, SD, 4K, 8K,
// HEVC) removed, unless nothing would be left.
std::string channelNameKey(std::string_view name);

// Both names are given and name the same station.
bool sameChannelName(std::string_view a, std::string_view b);

// Two schedule records are the same programme when they start at the same
// date and time on the same channel: same number and same name, the name
// without regard to letter case. The key is equal exactly for such records.
std::string programmeSlotKey(std::string_view date, std::string_view time,
                             std::string_view channelNumber, std::string_view channelName);

}  // namespace kelbo
