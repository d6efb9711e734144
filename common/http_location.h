#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelbo {

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

// A URL's parts, as far as reading a reference against it goes.
struct UrlParts {
    std::string_view scheme;     // without ":"
    std::string_view authority;  // without "//"; empty when none
    bool hasAuthority = false;
    std::string_view path;
    std::string_view query;  // with "?"; empty when none
};
UrlParts splitUrl(std::string_view url);

}  // namespace kelbo
