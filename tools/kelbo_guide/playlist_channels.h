#pragma once

#include "common/channel_playlist.h"
#include "xmltv_reader.h"

#include <vector>

namespace kelbo::guide {

// Lines the listing's channels up with the recorder's channel playlist: a
// channel whose XMLTV id is an entry's tvg-id takes that entry's channel
// number (tvg-chno, else its position), and its name when it has none, so
// that what the guide records is what the playlist tunes to.
void numberChannelsFromPlaylist(XmltvListing& listing, const std::vector<PlaylistEntry>& playlist);

}  // namespace kelbo::guide
