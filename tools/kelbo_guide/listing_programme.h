#pragma once

#include "guide_programme.h"
#include "xmltv_reader.h"

#include <string>

namespace kelbo::guide {

// Whether a programme starts in the second run of an hour the clocks go
// through twice: its local date and time are then those of a programme an
// hour earlier.
bool startsInRepeatedHour(Instant start);

// The local start with the zone's abbreviation, "01:30 GMT".
std::string trueStart(Instant start);

// The description as the guide sends it: the sub-title as its first line,
// then the description text, then "Director: " and "Starring: " lines and
// the episode as an extra line " (S3 E6)". A start in the repeated hour
// is named at the front, since the start the guide sends cannot tell it
// from the first run of that hour.
std::string guideDescription(const XmltvListing& listing, const XmltvProgramme& p);

// The programme as the guide hands it to the add-in: local start, channel
// number and name, the first category.
GuideProgramme guideProgramme(const XmltvListing& listing, const XmltvProgramme& p);

}  // namespace kelbo::guide
