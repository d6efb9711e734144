#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelbo {

// True for the URL of a network stream the recorder reads: http://,
// https:// (HLS playlists included), rtsp://, rtsps://, udp:// and rtp://.
bool isStreamUrl(std::string_view text);

// What the requests for one stream send besides its URL. Many IPTV servers
// refuse players they do not know, so a playlist names them per entry.
struct HttpOptions {
    std::string userAgent;
    std::string referer;
    // Other header fields, in the order given; names are unique, ignoring case.
    std::vector<std::pair<std::string, std::string>> headers;

    bool empty() const { return userAgent.empty() && referer.empty() && headers.empty(); }
    bool operator==(const HttpOptions&) const = default;
};

// A network stream to read: its URL and the options of its requests.
struct StreamRequest {
    std::string url;
    HttpOptions http;

    bool operator==(const StreamRequest&) const = default;
};

// A header field name is an HTTP token; a value holds no control character
// (no CR or LF, which would start a header line of the sender's choosing).
bool safeHeaderName(std::string_view name);
bool safeHeaderValue(std::string_view value);

// Sets the header field `name` (User-Agent, Referer, also spelt Referrer,
// or any other) to `value`, spaces around it trimmed. False, with nothing
// changed, when the name or the value is not safe to send.
bool setHttpHeader(HttpOptions& options, std::string_view name, std::string_view value);

// The extra header fields as request lines, "Name: value\r\n" each; fields
// that are not safe to send are left out.
std::string headerLines(const HttpOptions& options);

// Splits the form many players accept, "URL|User-Agent=a&Referer=b&X=c",
// into the URL and its header fields (values may be percent-encoded).
// Fields that are not safe to send are dropped.
StreamRequest splitUrlOptions(std::string_view text);

// "%2F" and the like decoded; a "%" not followed by two hex digits stays.
std::string percentDecoded(std::string_view text);

// The host of a URL as FFmpeg reads it (splitUrlAsFfmpeg): "example.net"
// or "example.net:8080", without any user name or password; "" when the
// text has no host.
std::string urlHost(std::string_view url);

// The scheme of a URL in lower case ("http" of "HTTP://x"); empty when the
// text has none.
std::string urlScheme(std::string_view url);

// The host's name or address alone, as FFmpeg reads it, without user,
// password, port or the brackets of an IPv6 address: "::1" of
// "http://u:p@[::1]:80/x", "127.0.0.1" of "http:127.0.0.1/?u=http://x/".
std::string urlHostName(std::string_view url);

}  // namespace kelbo
