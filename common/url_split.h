#pragma once

#include <string>
#include <string_view>

namespace kelbo {

// A URL's parts exactly as FFmpeg's own splitter (av_url_split, which its
// HTTP, TCP, TLS, UDP and RTSP readers use) reads them, since that decides
// where FFmpeg connects: the scheme is everything before the first ":", up
// to two "/" after it are skipped (so "http:host:81/x" names `host` as well
// as "http://host:81/x" does), the authority ends at the first "/", "?" or
// "#", credentials at its last "@"; a port is read as C's atoi() reads it.
// Nothing after a NUL is seen, as FFmpeg sees a C string.
struct UrlSplit {
    std::string scheme;         // as written
    std::string authorization;  // "user:password", without the "@"
    std::string hostAndPort;    // the authority after the credentials, as written
    std::string host;           // without the brackets of an IPv6 address
    int port = -1;              // -1 when none is written
    std::string path;           // from the first "/", "?" or "#" on
    bool slashes = false;       // "//" follows the scheme's ":"
};
UrlSplit splitUrlAsFfmpeg(std::string_view url);

}  // namespace kelbo
