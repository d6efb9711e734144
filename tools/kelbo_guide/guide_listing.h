#pragma once

#include "xmltv_reader.h"

#include <string>

namespace kelbo {
class SettingsStore;
}

namespace kelbo::guide {

// A listing as the guide offers it, to the window, `xmltv --list` and
// `rules apply` alike: read from `file` (gzip-compressed or not), its
// channels numbered with the recorder's channel playlist when the settings
// name one. `warning` says when the playlist could not be read; the
// channels are then numbered without it.
XmltvListing readGuideListing(const std::string& file, const XmltvLimits& limits, const SettingsStore& settings,
                              std::string& warning);

}  // namespace kelbo::guide
