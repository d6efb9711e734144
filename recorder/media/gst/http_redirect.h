#pragma once

#include "common/http_location.h"
#include "common/stream_url.h"

#include <optional>
#include <string>

struct AVIOInterruptCB;

namespace kelbo {

// How many redirects in a row a stream may take before it is given up.
inline constexpr int kMaxRedirects = 5;

// Asks an http:// or https:// URL once, with the stream's header fields,
// and reads only the head of the answer; nothing when no answer came.
// Blocking reads give up when `interrupt` says so.
std::optional<HttpHead> askHttpHead(const std::string& url, const HttpOptions& http,
                                    const AVIOInterruptCB* interrupt);

}  // namespace kelbo
