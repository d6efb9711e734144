#include "hls_playlist_bounds.h"

namespace kelbo {

std::string playlistRefusal(std::string_view playlist, bool nested) {
    if (playlist.size() > kMaxPlaylistBytes)
        return "its playlist is larger than " + std::to_string(kMaxPlaylistBytes >> 20) + " MiB";
    int listed = 0;
    while (!playlist.empty()) {
        const std::size_t end = playlist.find_first_of(std::string_view("\r\n\0", 3));
        const std::string_view line = playlist.substr(0, end);
        playlist.remove_prefix(end == std::string_view::npos ? playlist.size() : end + 1);
        if (line.rfind("#EXT-X-STREAM-INF:", 0) != 0 && line.rfind("#EXT-X-MEDIA:", 0) != 0) continue;
        if (nested) return "it is a playlist of playlists inside another playlist";
        if (++listed > kMaxListedPlaylists)
            return "its playlist lists more than " + std::to_string(kMaxListedPlaylists) + " playlists";
    }
    return {};
}

}  // namespace kelbo
