#include "http_location.h"

#include "stream_url.h"

#include <cctype>
#include <vector>

namespace kelbo {

UrlParts splitUrl(std::string_view url) {
    UrlParts parts;
    url = url.substr(0, url.find('#'));
    if (!urlScheme(url).empty()) {
        const std::size_t colon = url.find(':');
        parts.scheme = url.substr(0, colon);
        url.remove_prefix(colon + 1);
    }
    if (url.substr(0, 2) == "//") {
        url.remove_prefix(2);
        const std::size_t end = url.find_first_of("/?");
        parts.authority = url.substr(0, end);
        parts.hasAuthority = true;
        url.remove_prefix(end == std::string_view::npos ? url.size() : end);
    }
    const std::size_t question = url.find('?');
    parts.path = url.substr(0, question);
    if (question != std::string_view::npos) parts.query = url.substr(question);
    return parts;
}

namespace {

// RFC 3986's removal of "." and ".." segments.
std::string withoutDots(std::string_view path) {
    std::vector<std::string_view> kept;
    const bool absolute = !path.empty() && path.front() == '/';
    if (absolute) path.remove_prefix(1);
    bool folder = false;  // ends with "/" (or a "." or ".." that stands for one)
    while (true) {
        const std::size_t slash = path.find('/');
        const std::string_view segment = path.substr(0, slash);
        folder = slash != std::string_view::npos || segment == "." || segment == "..";
        if (segment == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (segment != ".") {
            kept.push_back(segment);
        }
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i) out += '/';
        out += kept[i];
    }
    if (folder && !kept.empty() && !kept.back().empty()) out += '/';
    return out;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::string resolveReference(std::string_view base, std::string_view reference) {
    reference = trimmed(reference);
    const UrlParts from = splitUrl(base);
    const UrlParts to = splitUrl(reference);
    const std::string scheme = std::string(from.scheme) + ":";
    if (!to.scheme.empty())
        return std::string(to.scheme) + ":" + (to.hasAuthority ? "//" + std::string(to.authority) : "") +
               withoutDots(to.path) + std::string(to.query);
    const std::string authority = from.hasAuthority ? "//" + std::string(from.authority) : "";
    if (to.hasAuthority)
        return scheme + "//" + std::string(to.authority) + withoutDots(to.path) + std::string(to.query);
    if (to.path.empty())
        return scheme + authority + std::string(from.path) + std::string(to.query.empty() ? from.query : to.query);
    if (to.path.front() == '/') return scheme + authority + withoutDots(to.path) + std::string(to.query);
    std::string merged;
    if (from.hasAuthority && from.path.empty()) merged = "/";
    else merged = std::string(from.path.substr(0, from.path.rfind('/') + 1));
    merged += to.path;
    return scheme + authority + withoutDots(merged) + std::string(to.query);
}

std::optional<HttpHead> parseHttpHead(std::string_view head) {
    const std::size_t end = head.find('\n');
    const std::string_view status = trimmed(head.substr(0, end));
    if (status.substr(0, 5) != "HTTP/") return std::nullopt;
    const std::size_t space = status.find(' ');
    if (space == std::string_view::npos || status.size() < space + 4) return std::nullopt;
    HttpHead parsed;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(status[i]))) return std::nullopt;
        parsed.status = parsed.status * 10 + (status[i] - '0');
    }
    head.remove_prefix(end == std::string_view::npos ? head.size() : end + 1);
    while (!head.empty()) {
        const std::size_t next = head.find('\n');
        const std::string_view line = trimmed(head.substr(0, next));
        if (line.empty()) break;  // the end of the head
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && lower(trimmed(line.substr(0, colon))) == "location") {
            parsed.location = std::string(trimmed(line.substr(colon + 1)));
            // A bare CR is no line break, and is read as a space (RFC 9112).
            for (char& c : parsed.location)
                if (c == '\r') c = ' ';
        }
        head.remove_prefix(next == std::string_view::npos ? head.size() : next + 1);
    }
    return parsed;
}

bool isRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace kelbo
