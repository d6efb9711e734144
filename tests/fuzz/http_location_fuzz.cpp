// Feeds arbitrary text to the reading of a redirect: a stranger's server
// writes the answer's head and its Location. Besides not crashing, the
// Location never carries a line break (it goes into the next request), and
// a Location read against an http(s) URL keeps to http(s) unless it names
// its own scheme, with no fragment and no "." or ".." segments left.
#include "common/http_location.h"
#include "common/stream_url.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kelbo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto head = parseHttpHead(text)) {
        if (head->status < 0 || head->status > 999) std::abort();
        if (head->location.find_first_of("\r\n") != std::string::npos) std::abort();
    }

    // The text cut in two as a base URL and a Location.
    const size_t cut = size ? data[0] % (size + 1) : 0;
    const std::string base = "http://tv.example/" + text.substr(0, cut);
    std::string reference = text.substr(cut);
    const std::string resolved = resolveReference(base, reference);
    if (resolved.find('#') != std::string::npos) std::abort();
    // The Location as read: spaces around it do not count.
    while (!reference.empty() && (reference.front() == ' ' || reference.front() == '\t')) reference.erase(0, 1);
    while (!reference.empty() && (reference.back() == ' ' || reference.back() == '\t' || reference.back() == '\r'))
        reference.pop_back();
    if (urlScheme(reference).empty() && urlScheme(resolved) != "http") std::abort();
    // A Location without a path keeps the base's path as it was.
    if (splitUrl(reference).path.empty()) return 0;
    const UrlParts parts = splitUrl(resolved);
    const std::string path(parts.path);
    for (const char* dots : {"/./", "/../"})
        if (path.find(dots) != std::string::npos) std::abort();
    if (path.size() >= 3 && path.compare(path.size() - 3, 3, "/..") == 0) std::abort();
    if (path.size() >= 2 && path.compare(path.size() - 2, 2, "/.") == 0) std::abort();
    return 0;
}
