#include "channel_playlist.h"

#include "text_util.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

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

std::optional<long long> wholeNumber(std::string_view text) {
    text = trim(text);
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    return std::stoll(std::string(text));
}

bool sameNumber(std::string_view a, std::string_view b) {
    const auto x = wholeNumber(a), y = wholeNumber(b);
    if (x && y) return *x == *y;
    return !trim(a).empty() && equalsIgnoreCase(trim(a), trim(b));
}

}  // namespace

std::string PlaylistEntry::channelNumber() const {
    return tvgChno.empty() ? std::to_string(position) : tvgChno;
}

std::vector<PlaylistEntry> parseM3u(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    std::vector<PlaylistEntry> entries;
    std::optional<PlaylistEntry> pending;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) continue;
        if (line.rfind("#EXTINF:", 0) == 0) {
            std::string_view attributes, name;
            pending.reset();
            if (!splitExtinf(line, attributes, name)) continue;
            PlaylistEntry entry;
            entry.name = std::string(name);
            entry.tvgId = attribute(attributes, "tvg-id");
            entry.tvgChno = std::string(trim(attribute(attributes, "tvg-chno")));
            entry.tvgName = attribute(attributes, "tvg-name");
            pending = std::move(entry);
            continue;
        }
        if (line.front() == '#') continue;  // #EXTM3U, #EXTGRP, #EXTVLCOPT, comments
        PlaylistEntry entry = pending ? std::move(*pending) : PlaylistEntry{};
        pending.reset();
        entry.url = std::string(line);
        if (entry.name.empty()) entry.name = entry.url;
        entry.position = static_cast<int>(entries.size()) + 1;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<std::vector<PlaylistEntry>> readM3uFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return parseM3u(text.str());
}

const PlaylistEntry* findChannel(const std::vector<PlaylistEntry>& entries,
                                 std::string_view channelNumber, std::string_view channelName) {
    for (const PlaylistEntry& entry : entries)
        if (sameNumber(channelNumber, entry.channelNumber())) return &entry;
    if (trim(channelName).empty()) return nullptr;
    for (const PlaylistEntry& entry : entries)
        if (equalsIgnoreCase(trim(channelName), trim(entry.name)) ||
            (!entry.tvgName.empty() && equalsIgnoreCase(trim(channelName), trim(entry.tvgName))))
            return &entry;
    return nullptr;
}

}  // namespace kelbo
