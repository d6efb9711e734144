#pragma once

#include <string_view>

namespace kelbo {

// True for the URL of a network stream the recorder reads: http://,
// https:// (HLS playlists included), rtsp://, rtsps://, udp:// and rtp://.
bool isStreamUrl(std::string_view text);

}  // namespace kelbo
