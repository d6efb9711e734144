#include "channel_lookup.h"

namespace kelbo {

ChannelLookup lookUpChannel(const std::vector<PlaylistEntry>& entries, std::string_view number, std::string_view name) {
    ChannelLookup lookup;
    const ChannelMatch match = findChannel(entries, number, name);
    if (match) {
        lookup.entry = *match.entry;
        lookup.reason = match.reason;
    }
    for (const PlaylistEntry* candidate : match.candidates) lookup.candidates.push_back(*candidate);
    return lookup;
}

std::string ChannelLookup::chosenText() const {
    if (!entry) return {};
    return "playlist " + describeEntry(*entry) + ", by " + reasonText(reason);
}

std::string ChannelLookup::candidatesText(std::size_t most) const {
    std::string text;
    for (std::size_t i = 0; i < candidates.size() && i < most; ++i)
        text += (i ? "; " : "") + describeEntry(candidates[i]);
    if (candidates.size() > most) text += "; and " + std::to_string(candidates.size() - most) + " more";
    return text;
}

}  // namespace kelbo
