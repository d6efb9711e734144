#include "http_redirect.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/dict.h>
}

#include <cctype>
#include <vector>

namespace kelbo {

namespace {

// The longest answer head read; a server sending more is not answering.
constexpr std::size_t kMaxHead = 16 * 1024;

struct UrlParts {
    std::string_view scheme;     // without ":"
    std::string_view authority;  // without "//"; empty when none
    bool hasAuthority = false;
    std::string_view path;
    std::string_view query;  // with "?"; empty when none
};

UrlParts split(std::string_view url) {
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

// "Lavf/59.27.100", as FFmpeg's own requests say when no User-Agent is given.
std::string ffmpegAgent() {
    const unsigned v = avformat_version();
    return "Lavf/" + std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xFF) + "." +
           std::to_string(v & 0xFF);
}

}  // namespace

std::string resolveReference(std::string_view base, std::string_view reference) {
    reference = trimmed(reference);
    const UrlParts from = split(base);
    const UrlParts to = split(reference);
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
        if (colon != std::string_view::npos && lower(trimmed(line.substr(0, colon))) == "location")
            parsed.location = std::string(trimmed(line.substr(colon + 1)));
        head.remove_prefix(next == std::string_view::npos ? head.size() : next + 1);
    }
    return parsed;
}

bool isRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<HttpHead> askHttpHead(const std::string& url, const HttpOptions& http,
                                    const AVIOInterruptCB* interrupt) {
    const std::string scheme = urlScheme(url);
    const UrlParts parts = split(url);
    const std::string host = urlHost(url);  // host[:port], brackets kept, no credentials
    const std::string name = urlHostName(url);
    if ((scheme != "http" && scheme != "https") || name.empty()) return std::nullopt;
    const std::size_t close = host.rfind(']');
    const std::size_t colon = host.rfind(':');
    const bool hasPort = colon != std::string::npos && (close == std::string::npos || colon > close);
    const std::string port = hasPort ? host.substr(colon + 1) : scheme == "https" ? "443" : "80";
    const std::string bracketed = name.find(':') != std::string::npos ? "[" + name + "]" : name;
    const std::string endpoint = (scheme == "https" ? "tls://" : "tcp://") + bracketed + ":" + port;

    std::string target = std::string(parts.path) + std::string(parts.query);
    if (target.empty() || target.front() != '/') target.insert(0, "/");
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    const bool agentSafe = !http.userAgent.empty() && safeHeaderValue(http.userAgent);
    request += "User-Agent: " + (agentSafe ? http.userAgent : ffmpegAgent()) + "\r\n";
    if (!http.referer.empty() && safeHeaderValue(http.referer)) request += "Referer: " + http.referer + "\r\n";
    request += headerLines(http);
    request += "Accept: */*\r\nRange: bytes=0-\r\nConnection: close\r\n\r\n";

    AVIOContext* io = nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "tcp,tls", 0);
    const int opened = avio_open2(&io, endpoint.c_str(), AVIO_FLAG_READ_WRITE, interrupt, &options);
    av_dict_free(&options);
    if (opened < 0) return std::nullopt;
    avio_write(io, reinterpret_cast<const unsigned char*>(request.data()), static_cast<int>(request.size()));
    avio_flush(io);
    std::string head;
    unsigned char buffer[2048];
    while (io->error == 0 && head.size() < kMaxHead && head.find("\r\n\r\n") == std::string::npos &&
           head.find("\n\n") == std::string::npos) {
        // Unbuffered: an answer's body is never waited for.
        const int got = avio_read_partial(io, buffer, sizeof buffer);
        if (got <= 0) break;
        head.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
    }
    avio_closep(&io);
    return parseHttpHead(head);
}

}  // namespace kelbo
