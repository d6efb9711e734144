#include "channel_match.h"

#include "channel_names.h"
#include "text_util.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <unordered_set>

namespace kelbo {

namespace {

// Log texts taken from a playlist stay readable however long its names are.
constexpr std::size_t kMostNameBytes = 80;

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::optional<long long> wholeNumber(std::string_view text) {
    text = trim(text);
    if (text.empty() || text.size() > 18 || !allDigits(text)) return std::nullopt;
    return std::stoll(std::string(text));
}

// "+1", "+24": the same channel some hours later, which is another channel.
bool timeShift(std::string_view word) { return word.size() >= 2 && word.front() == '+' && allDigits(word.substr(1)); }

// Two names in their comparable form contradict (channelNamesContradict).
bool keysContradict(const std::string& x, const std::string& y) {
    if (x.empty() || y.empty() || x == y) return false;
    const std::string& shorter = x.size() < y.size() ? x : y;
    const std::string& longer = x.size() < y.size() ? y : x;
    if (longer.compare(0, shorter.size(), shorter) != 0 || longer[shorter.size()] != ' ') return true;
    std::string_view rest = std::string_view(longer).substr(shorter.size() + 1);
    while (!rest.empty()) {
        const std::size_t space = rest.find(' ');
        if (timeShift(rest.substr(0, space))) return true;
        rest.remove_prefix(space == std::string_view::npos ? rest.size() : space + 1);
    }
    return false;
}

// An entry's names in their comparable form, worked out once for all the
// comparisons with it.
struct EntryKeys {
    std::string tvgName, name;
    explicit EntryKeys(const PlaylistEntry& entry)
        : tvgName(channelNameKey(entry.tvgName)), name(channelNameKey(entry.name)) {}
};

bool nameMatches(const EntryKeys& entry, const std::string& wanted) {
    return !wanted.empty() && (wanted == entry.tvgName || wanted == entry.name);
}

bool nameContradicts(const EntryKeys& entry, const std::string& wanted) {
    const bool named = !entry.tvgName.empty() || !entry.name.empty();
    if (!named || wanted.empty()) return false;
    const auto differs = [&](const std::string& own) { return own.empty() || keysContradict(wanted, own); };
    return differs(entry.tvgName) && differs(entry.name);
}

// One entry for each stream, the first of each URL.
std::vector<const PlaylistEntry*> oneEach(const std::vector<const PlaylistEntry*>& entries) {
    std::vector<const PlaylistEntry*> streams;
    std::unordered_set<std::string_view> urls;
    for (const PlaylistEntry* entry : entries)
        if (urls.insert(entry->url).second) streams.push_back(entry);
    return streams;
}

}  // namespace

bool channelNamesContradict(std::string_view a, std::string_view b) {
    return keysContradict(channelNameKey(a), channelNameKey(b));
}

ChannelMatch findChannel(const std::vector<PlaylistEntry>& entries, std::string_view channelNumber,
                         std::string_view channelName) {
    const std::optional<long long> wanted = wholeNumber(channelNumber);
    // Once, not for each entry of a playlist that may have thousands.
    const std::string wantedName = channelNameKey(channelName);
    const bool numbered = std::any_of(entries.begin(), entries.end(), [](const PlaylistEntry& e) {
        return wholeNumber(e.tvgChno).has_value();
    });
    const auto numberOf = [&](const PlaylistEntry& e) -> std::optional<long long> {
        if (const auto own = wholeNumber(e.tvgChno)) return own;
        if (!numbered) return e.position;
        return std::nullopt;
    };
    const auto numberMatches = [&](const PlaylistEntry& e) { return wanted && numberOf(e) == wanted; };

    std::vector<const PlaylistEntry*> byName, byNumber, candidates;
    for (const PlaylistEntry& entry : entries) {
        const EntryKeys keys(entry);
        const bool name = nameMatches(keys, wantedName);
        const bool number = numberMatches(entry);
        if (name && number) return {&entry, ChannelMatch::Reason::NumberAndName, {}};
        if (name) byName.push_back(&entry);
        if (number && !nameContradicts(keys, wantedName)) byNumber.push_back(&entry);
        if (name || number) candidates.push_back(&entry);
    }
    const auto names = oneEach(byName);
    if (names.size() == 1) return {names.front(), ChannelMatch::Reason::Name, {}};
    if (names.size() > 1 && wanted) {
        // Several streams of that name: a number that says otherwise rules one out.
        std::vector<const PlaylistEntry*> unnumbered;
        std::copy_if(names.begin(), names.end(), std::back_inserter(unnumbered),
                     [&](const PlaylistEntry* e) { return !numberOf(*e); });
        if (unnumbered.size() == 1) return {unnumbered.front(), ChannelMatch::Reason::Name, {}};
    }
    const auto numbers = oneEach(byNumber);
    if (names.empty() && numbers.size() == 1) return {numbers.front(), ChannelMatch::Reason::Number, {}};
    ChannelMatch none;
    none.candidates = oneEach(candidates);
    return none;
}

const char* reasonText(ChannelMatch::Reason reason) {
    switch (reason) {
        case ChannelMatch::Reason::NumberAndName: return "number and name";
        case ChannelMatch::Reason::Name: return "name";
        case ChannelMatch::Reason::Number: break;
    }
    return "number";
}

std::string describeEntry(const PlaylistEntry& entry) {
    const auto quoted = [](std::string_view text) {
        return "\"" + std::string(utf8Prefix(text, kMostNameBytes)) + "\"";
    };
    std::string text = "line " + std::to_string(entry.line) + " ";
    text += entry.name.empty() ? "(no name)" : quoted(entry.name);
    if (!entry.tvgName.empty() && entry.tvgName != entry.name) text += " tvg-name " + quoted(entry.tvgName);
    if (!entry.tvgId.empty()) text += " tvg-id " + quoted(entry.tvgId);
    if (!entry.tvgChno.empty()) text += " tvg-chno " + quoted(entry.tvgChno);
    return text;
}

}  // namespace kelbo
