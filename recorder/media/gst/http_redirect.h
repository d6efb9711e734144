#pragma once

#include "common/stream_url.h"

#include <optional>
#include <string>
#include <string_view>

struct AVIOInterruptCB;

namespace kelbo {

// How many redirects in a row a stream may take before it is given up.
inline constexpr int kMaxRedirects = 5;

// `reference` (a Location header's value) read against the URL it came
// from: absolute, scheme-relative ("//host/x"), host-relative ("/x") or
// relative to the base's folder ("x", "../x", "?q"); the fragment dropped.
std::string resolveReference(std::string_view base, std::string_view reference);

// The status and Location of an HTTP answer's head (up to the blank line);
// nothing when the text is not an HTTP status line.
struct HttpHead {
    int status = 0;
    std::string location;
};
std::optional<HttpHead> parseHttpHead(std::string_view head);

// True for the statuses that send the client on to the Location.
bool isRedirectStatus(int status);

// Asks an http:// or https:// URL once, with the stream's header fields,
// and reads only the head of the answer; nothing when no answer came.
// Blocking reads give up when `interrupt` says so.
std::optional<HttpHead> askHttpHead(const std::string& url, const HttpOptions& http,
                                    const AVIOInterruptCB* interrupt);

}  // namespace kelbo
