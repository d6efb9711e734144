#include "playlist_channels.h"

#include "common/channel_names.h"
#include "common/text_util.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace kelbo::guide {

namespace {

constexpr unsigned long long kOwnFirst = 100000;
constexpr unsigned long long kOwnCount = 900000;
// A listing with so many channels that the range is crowded numbers the
// rest one by one above it rather than search on.
constexpr int kMaxProbes = 1000;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::optional<unsigned long long> numberValue(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > 18) return std::nullopt;
    unsigned long long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + static_cast<unsigned long long>(c - '0');
    }
    return value;
}

// FNV-1a: the same number for the same id on every machine and every run.
unsigned long long ownSlot(std::string_view id) {
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : id) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash % kOwnCount;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(trimmed(text));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// "Al Sharqiya (1080p) [Not 24/7]" reads "Al Sharqiya".
std::string withoutBrackets(std::string_view name) {
    name = trimmed(name);
    while (!name.empty() && (name.back() == ')' || name.back() == ']')) {
        const size_t open = name.rfind(name.back() == ')' ? '(' : '[');
        if (open == std::string_view::npos || trimmed(name.substr(0, open)).empty()) break;
        name = trimmed(name.substr(0, open));
    }
    return std::string(name);
}

void nameFromEntry(XmltvChannel& channel, const PlaylistEntry& entry) {
    const std::string& listed = channel.name.empty() ? channel.id : channel.name;
    if (sameChannelName(listed, entry.tvgName) || sameChannelName(listed, entry.name)) return;
    const std::string_view tvgName = trimmed(entry.tvgName);
    const std::string name = tvgName.empty() ? withoutBrackets(entry.name) : std::string(tvgName);
    channel.entryName = std::string(utf8Prefix(name, 100));
}

}  // namespace

bool isChannelNumber(std::string_view text) { return numberValue(text).has_value(); }

void numberChannelsFromPlaylist(XmltvListing& listing, const std::vector<PlaylistEntry>& playlist) {
    std::unordered_map<std::string, const PlaylistEntry*> byId;
    for (const PlaylistEntry& entry : playlist)
        if (!trimmed(entry.tvgId).empty()) byId.try_emplace(lowerAscii(entry.tvgId), &entry);

    std::unordered_set<unsigned long long> taken;
    for (XmltvChannel& channel : listing.channels) {
        channel.number.clear();
        channel.entryName.clear();
        if (const auto n = numberValue(channel.listedNumber)) {
            channel.number = std::string(trimmed(channel.listedNumber));
            taken.insert(*n);
        }
    }
    std::vector<XmltvChannel*> unnumbered;
    for (XmltvChannel& channel : listing.channels) {
        const auto match = channel.id.empty() ? byId.end() : byId.find(lowerAscii(channel.id));
        const PlaylistEntry* entry = match == byId.end() ? nullptr : match->second;
        if (entry) nameFromEntry(channel, *entry);
        if (!channel.number.empty()) continue;
        const auto n = entry ? numberValue(entry->tvgChno) : std::nullopt;
        if (n && taken.insert(*n).second) channel.number = std::to_string(*n);
        else unnumbered.push_back(&channel);
    }
    // By id, so that the order of the listing does not decide who gets a
    // number two ids both hash to.
    std::sort(unnumbered.begin(), unnumbered.end(),
              [](const XmltvChannel* a, const XmltvChannel* b) { return a->id < b->id; });
    unsigned long long beyond = kOwnFirst + kOwnCount;
    for (XmltvChannel* channel : unnumbered) {
        unsigned long long slot = ownSlot(channel->id);
        int probes = 0;
        while (taken.contains(kOwnFirst + slot) && probes++ < kMaxProbes) slot = (slot + 1) % kOwnCount;
        unsigned long long number = kOwnFirst + slot;
        if (probes > kMaxProbes)
            while (taken.contains(number = beyond++)) {
            }
        taken.insert(number);
        channel->number = std::to_string(number);
    }
}

}  // namespace kelbo::guide
