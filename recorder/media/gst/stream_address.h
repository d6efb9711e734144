#pragma once

#include <string>
#include <string_view>

namespace kelbo {

// The protocols FFmpeg may use for a network stream and what it opens on
// the stream's behalf (HLS playlists, segments and keys, RTSP's transport).
// Local files, pipes and the like are not among them.
inline constexpr char kStreamProtocols[] = "http,https,tls,tcp,udp,rtp,rtsp,hls,crypto,data";

// Why a URL that a stream leads to (an HLS playlist's segment, a
// redirect) may not be opened, by its text alone; empty when it may. Only
// HTTP(S), UDP, RTP and the encrypted and inline forms of HLS (crypto,
// data) are followed, each written "scheme://host..." with a host for
// HTTP(S), so that every reader of the URL, FFmpeg's and ours, finds the
// same host in it. Where the host is, is checked as it is connected to
// (StreamReach).
std::string urlRefusal(std::string_view url);

}  // namespace kelbo
