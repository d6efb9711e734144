#include "guide_listing.h"

#include "playlist_channels.h"

#include "common/host_paths.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"

namespace kelbo::guide {

XmltvListing readGuideListing(const std::string& file, const XmltvLimits& limits, const SettingsStore& settings,
                              std::string& warning) {
    XmltvListing listing = XmltvReader(limits).readFile(QString::fromStdString(file));
    if (!listing.error.isEmpty()) return listing;
    const std::string playlist = settings.GetSetting(settings::kDefaults, settings::kChannelPlaylist);
    if (playlist.empty()) return listing;
    // Read as the recorder reads it, so both see the same entries.
    std::string why;
    if (const auto entries = readM3uFile(toHostPath(playlist), &why)) numberChannelsFromPlaylist(listing, *entries);
    else warning = "the channel playlist " + playlist + " cannot be read: " + why;
    return listing;
}

}  // namespace kelbo::guide
