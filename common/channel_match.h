#pragma once

#include "channel_playlist.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelbo {

// Which playlist entry a schedule item's channel (its number and name)
// means. An entry is never chosen when its name contradicts the item's:
//  1. an entry whose number and name both match (the first of them);
//  2. else the one stream whose name matches (when several do, the one
//     among them whose number does not contradict the item's);
//  3. else the one stream whose number matches and whose name does not
//     contradict;
//  4. else none.
// Names match as sameChannelName has it (case, spacing and decorations
// such as "(1080p)", "[Not 24/7]" or "HD" do not count), against the
// entry's tvg-name or its own name. A name contradicts another when both
// are given and neither is the other or the other followed by more words;
// a further word such as "+1" (a channel an hour later) contradicts. So
// "BBC One" does not contradict "BBC One London", but "RTÉ2" contradicts
// "RTÉ One". An empty name, or an entry without a name, contradicts
// nothing.
// An entry's number is its tvg-chno when that is a whole number ("007" is
// 7). In a playlist where no entry has such a tvg-chno, an entry's number
// is its place in the playlist (from 1); in a playlist that numbers its
// channels, places are no numbers, as they would collide with them.
// Entries with the same URL are one stream: one candidate.
struct ChannelMatch {
    enum class Reason { NumberAndName, Name, Number };

    const PlaylistEntry* entry = nullptr;  // null: nothing may be opened
    Reason reason = Reason::NumberAndName;
    // When nothing was chosen: the entries whose number or name matched,
    // one for each stream, in playlist order.
    std::vector<const PlaylistEntry*> candidates;

    explicit operator bool() const { return entry != nullptr; }
};

ChannelMatch findChannel(const std::vector<PlaylistEntry>& entries, std::string_view channelNumber,
                         std::string_view channelName);

// "number and name", "name" or "number".
const char* reasonText(ChannelMatch::Reason reason);

// An entry as the log names it: line 12 "RTÉ One HD" tvg-id "rte1.ie" tvg-chno "1".
std::string describeEntry(const PlaylistEntry& entry);

// The names contradict (see above); both must be given.
bool channelNamesContradict(std::string_view a, std::string_view b);

}  // namespace kelbo
