#include "playlist_channels.h"

#include "common/text_util.h"

namespace kelbo::guide {

void numberChannelsFromPlaylist(XmltvListing& listing, const std::vector<PlaylistEntry>& playlist) {
    for (XmltvChannel& channel : listing.channels) {
        if (channel.id.empty()) continue;
        for (const PlaylistEntry& entry : playlist) {
            if (!equalsIgnoreCase(entry.tvgId, channel.id)) continue;
            channel.number = entry.channelNumber();
            if (channel.name.empty()) channel.name = entry.name;
            break;
        }
    }
}

}  // namespace kelbo::guide
