#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelbo {

// What an HLS playlist a stream's server sends may hold before FFmpeg's
// HLS reader is given it: that reader keeps a record of several kilobytes
// for every playlist listed, and fetches and reads each listed playlist in
// turn, adding what that one lists again, without end.
inline constexpr std::size_t kMaxPlaylistBytes = std::size_t{4} << 20;
inline constexpr int kMaxListedPlaylists = 100;

// The text an HLS playlist begins with.
inline constexpr std::string_view kPlaylistStart = "#EXTM3U";

// Why FFmpeg may not read `playlist` (the whole answer); empty when it may.
// A playlist that another playlist led to (`nested`) may not list
// playlists itself (variants, #EXT-X-STREAM-INF, or renditions,
// #EXT-X-MEDIA), so playlists nest two deep at most; none may list more
// than kMaxListedPlaylists. Lines end at CR, LF or NUL, as FFmpeg reads them.
std::string playlistRefusal(std::string_view playlist, bool nested);

}  // namespace kelbo
