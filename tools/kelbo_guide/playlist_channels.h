#pragma once

#include "common/channel_playlist.h"
#include "xmltv_reader.h"

#include <string_view>
#include <vector>

namespace kelbo::guide {

// A channel number as listings and playlists write one: decimal digits
// only, at most 18 of them.
bool isChannelNumber(std::string_view text);

// Gives every channel of the listing the number and name the guide hands
// over, so that no two channels share a number (unless the listing itself
// gives them the same) and a recording tunes to the playlist entry the
// listing means. The number is, in this order:
//   - the listing's own: <lcn>, else a display name that is a number;
//   - with a channel playlist, the tvg-chno of the entry whose tvg-id is the
//     channel's id, when it is a number no channel above has taken;
//   - else one of its own, from 100000 to 999999, made from the channel id
//     (the next free one when another channel has it), so it stays the same
//     from one run to the next.
// The name is the listing's, unless the channel matched a playlist entry
// whose name (tvg-name, or the name after the comma) names another
// station: then the entry's, so that the recorder opens that entry.
void numberChannelsFromPlaylist(XmltvListing& listing, const std::vector<PlaylistEntry>& playlist);

}  // namespace kelbo::guide
