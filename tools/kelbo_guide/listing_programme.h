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

// The one line of description the recorder keeps: the sub-title and the
// description text joined ("Pilot. Jordan's Queen Rania ..."), their own
// line breaks as spaces, cut to kDescriptionBytes without splitting a
// character. A start in the repeated hour is named at the front, since the
// start the guide sends cannot tell it from the first run of that hour.
std::string descriptionLine(const XmltvListing& listing, const XmltvProgramme& p);

// The description as the guide sends it: the line above, then "Director: "
// and "Starring: " lines and the episode as an extra line " (S3 E6)", which
// the recorder keeps as fields of their own.
std::string guideDescription(const XmltvListing& listing, const XmltvProgramme& p);

// The programme as the guide hands it to the add-in: local start, channel
// number and name, the first category.
GuideProgramme guideProgramme(const XmltvListing& listing, const XmltvProgramme& p);

}  // namespace kelbo::guide
