#include "url_split.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace kelbo {

namespace {

// C's atoi() as glibc has it: (int) strtol(text, NULL, 10), so a value past
// a long's range sticks at its end and the int keeps the low 32 bits.
int cAtoi(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    // Kept as the magnitude; LONG_MIN's is one more than LONG_MAX.
    const std::uint64_t limit = negative ? std::uint64_t{LONG_MAX} + 1 : std::uint64_t{LONG_MAX};
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    const std::uint64_t bits = negative ? ~magnitude + 1 : magnitude;
    const auto low = static_cast<std::uint32_t>(bits);
    return low <= std::uint32_t{INT_MAX} ? static_cast<int>(low)
                                         : static_cast<int>(static_cast<std::int64_t>(low) - (std::int64_t{1} << 32));
}

}  // namespace

UrlSplit splitUrlAsFfmpeg(std::string_view url) {
    url = url.substr(0, url.find('\0'));
    UrlSplit split;
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos) {
        split.path = std::string(url);  // a plain file name
        return split;
    }
    split.scheme = std::string(url.substr(0, colon));
    std::string_view rest = url.substr(colon + 1);
    split.slashes = rest.substr(0, 2) == "//";
    for (int i = 0; i < 2 && !rest.empty() && rest.front() == '/'; ++i) rest.remove_prefix(1);
    const std::size_t end = std::min(rest.find_first_of("/?#"), rest.size());
    split.path = std::string(rest.substr(end));
    std::string_view authority = rest.substr(0, end);
    if (authority.empty()) return split;
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        split.authorization = std::string(authority.substr(0, at));
        authority.remove_prefix(at + 1);
    }
    split.hostAndPort = std::string(authority);
    // The "]" and the port's digits are looked for in the whole rest, as
    // strchr() and atoi() do.
    const std::string_view tail = rest.substr(end - authority.size());
    const std::size_t bracket = tail.find(']');
    if (!authority.empty() && authority.front() == '[' && bracket < authority.size()) {
        split.host = std::string(authority.substr(1, bracket - 1));
        if (tail.substr(bracket + 1, 1) == ":") split.port = cAtoi(tail.substr(bracket + 2));
    } else if (const std::size_t portColon = authority.find(':'); portColon != std::string_view::npos) {
        split.host = std::string(authority.substr(0, portColon));
        split.port = cAtoi(tail.substr(portColon + 1));
    } else {
        split.host = std::string(authority);
    }
    return split;
}

}  // namespace kelbo
