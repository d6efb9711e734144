#pragma once

#include <string>
#include <string_view>

namespace kelbo {

// The protocols FFmpeg may use for a network stream and what it opens on
// the stream's behalf (HLS playlists, segments and keys, RTSP's transport).
// Local files, pipes and the like are not among them.
inline constexpr char kStreamProtocols[] = "http,https,tls,tcp,udp,rtp,rtsp,hls,crypto,data";

// True when `host` is this machine or reachable only on its own link:
// "localhost", loopback, link-local and unspecified addresses, in any
// spelling the resolver reads ("127.1", "0x7f000001", "::ffff:127.0.0.1").
// A name is resolved, and counts when any of its addresses does.
bool isLocalHost(const std::string& host);

// Why a URL that a stream leads to (an HLS playlist's segment, a
// redirect) may not be opened; empty when it may. Only HTTP(S), UDP, RTP
// and the encrypted and inline forms of HLS (crypto, data) are followed,
// and nothing on this machine or its link unless the stream itself is
// there (`streamIsLocal`).
std::string urlRefusal(std::string_view url, bool streamIsLocal);

}  // namespace kelbo
