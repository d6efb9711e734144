#pragma once

#include "common/channel_match.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo {

// The channel playlist's entry for a programme's channel. The playlist is
// the file as it is at the start (PlaylistCache), so an edited playlist
// counts at once.
struct ChannelLookup {
    std::optional<PlaylistEntry> entry;
    ChannelMatch::Reason reason = ChannelMatch::Reason::NumberAndName;
    std::vector<PlaylistEntry> candidates;  // when there is no entry

    // Which entry and why: `line 5 "RTÉ One HD" tvg-id "rte1.ie", by number and name`.
    std::string chosenText() const;
    // The first `most` candidates, and how many more there are.
    std::string candidatesText(std::size_t most) const;
};

ChannelLookup lookUpChannel(const std::vector<PlaylistEntry>& entries, std::string_view number, std::string_view name);

}  // namespace kelbo
