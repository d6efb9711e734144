#include "channel_playlist.h"

#include "text_util.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelbo {

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The value of `key="..."` (or key=value up to a space) on an EXTINF line.
std::string attribute(std::string_view attributes, std::string_view key) {
    std::size_t at = 0;
    while ((at = attributes.find(key, at)) != std::string_view::npos) {
        const bool wordStart = at == 0 || std::isspace(static_cast<unsigned char>(attributes[at - 1]));
        const std::size_t valueAt = at + key.size();
        if (!wordStart || valueAt >= attributes.size() || attributes[valueAt] != '=') {
            at = valueAt;
            continue;
        }
        std::string_view value = attributes.substr(valueAt + 1);
        if (!value.empty() && value.front() == '"') {
            value.remove_prefix(1);
            const std::size_t close = value.find('"');
            return std::string(value.substr(0, close));
        }
        return std::string(value.substr(0, value.find_first_of(" \t")));
    }
    return {};
}

// Splits "#EXTINF:-1 attrs,Name" at the comma that ends the attributes: the
// first one outside quotes.
bool splitExtinf(std::string_view line, std::string_view& attributes, std::string_view& name) {
    line.remove_prefix(std::string_view("#EXTINF:").size());
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ',' && !quoted) {
            attributes = line.substr(0, i);
            name = trim(line.substr(i + 1));
            return true;
        }
    }
    return false;
}

// Case-insensitive "prefix" at the start of `line`.
bool startsWith(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() && equalsIgnoreCase(line.substr(0, prefix.size()), prefix);
}

std::string_view unquoted(std::string_view value) {
    value = trim(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

// The header field a player option sets: VLC's http-user-agent and
// http-referrer (also spelt http-referer).
std::string_view headerOfOption(std::string_view option) {
    if (equalsIgnoreCase(option, "http-user-agent")) return "User-Agent";
    if (equalsIgnoreCase(option, "http-referrer") || equalsIgnoreCase(option, "http-referer"))
        return "Referer";
    return {};
}

void mergeInto(HttpOptions& options, const HttpOptions& later) {
    if (!later.userAgent.empty()) options.userAgent = later.userAgent;
    if (!later.referer.empty()) options.referer = later.referer;
    for (const auto& [name, value] : later.headers) setHttpHeader(options, name, value);
}

}  // namespace

std::string PlaylistEntry::channelNumber() const {
    return tvgChno.empty() ? std::to_string(position) : tvgChno;
}

std::vector<PlaylistEntry> parseM3u(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    constexpr std::string_view kVlcOption = "#EXTVLCOPT:";
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    std::vector<PlaylistEntry> entries;
    std::optional<PlaylistEntry> pending;
    HttpOptions options;  // for the next URL
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty()) continue;
        if (startsWith(line, "#EXTINF:")) {
            std::string_view attributes, name;
            pending.reset();
            if (!splitExtinf(line, attributes, name)) continue;
            PlaylistEntry entry;
            entry.name = std::string(name);
            entry.tvgId = attribute(attributes, "tvg-id");
            entry.tvgChno = std::string(trim(attribute(attributes, "tvg-chno")));
            entry.tvgName = attribute(attributes, "tvg-name");
            entry.line = lineNumber;
            entry.radio = equalsIgnoreCase(trim(attribute(attributes, "radio")), "true");
            for (std::string_view option : {"http-user-agent", "http-referrer", "http-referer"})
                if (const std::string value = attribute(attributes, option); !value.empty())
                    setHttpHeader(options, headerOfOption(option), value);
            pending = std::move(entry);
            continue;
        }
        if (startsWith(line, kVlcOption)) {
            const std::string_view option = line.substr(kVlcOption.size());
            const std::size_t equals = option.find('=');
            const std::string_view header = headerOfOption(trim(option.substr(0, equals)));
            if (equals != std::string_view::npos && !header.empty())
                setHttpHeader(options, header, unquoted(option.substr(equals + 1)));
            continue;
        }
        if (line.front() == '#') continue;  // #EXTM3U, #EXTGRP, #KODIPROP, comments
        PlaylistEntry entry = pending ? std::move(*pending) : PlaylistEntry{};
        pending.reset();
        StreamRequest request = splitUrlOptions(line);
        mergeInto(options, request.http);
        entry.http = std::exchange(options, HttpOptions{});
        if (request.url.empty()) continue;
        entry.url = std::move(request.url);
        if (entry.line == 0) entry.line = lineNumber;
        entry.position = static_cast<int>(entries.size()) + 1;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<std::vector<PlaylistEntry>> readM3uFile(const std::string& path, std::string* why) {
    const auto fail = [why](std::string reason) {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    // Not blocking: a FIFO's open would wait for a writer that never comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return fail(std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(std::strerror(errno));
    // A device (/dev/zero) or a FIFO never ends, or ends when it likes.
    if (!S_ISREG(st.st_mode)) return fail("not a regular file");
    if (st.st_size > static_cast<off_t>(kMaxPlaylistBytes))
        return fail("larger than " + std::to_string(kMaxPlaylistBytes >> 20) + " MiB");
    std::string text;
    text.resize(static_cast<size_t>(st.st_size));
    size_t have = 0;
    while (have < text.size()) {
        const ssize_t n = ::read(fd, text.data() + have, text.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(std::strerror(errno));
        if (n == 0) break;  // cut while read
        have += static_cast<size_t>(n);
    }
    text.resize(have);
    return parseM3u(text);
}

}  // namespace kelbo
