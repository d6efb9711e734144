#include "host_paths.h"

#include <cctype>
#include <cstdlib>

namespace kelbo {

bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

namespace {

bool hasDrive(std::string_view s) {
    return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

}  // namespace

size_t rootLength(std::string_view stored) {
    if (hasDrive(stored)) return stored.size() > 2 && isPathSeparator(stored[2]) ? 3 : 2;
    return !stored.empty() && isPathSeparator(stored[0]) ? 1 : 0;
}

std::string toHostPath(std::string_view stored) {
    std::string out;
    if (hasDrive(stored)) {
        out = homeFolder();
        stored.remove_prefix(2);
        if (!stored.empty() && !isPathSeparator(stored[0])) out += '/';
    }
    for (char c : stored) out += c == '\\' ? '/' : c;
    return out;
}

}  // namespace kelbo
