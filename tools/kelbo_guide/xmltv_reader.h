#pragma once

#include "string_pool.h"
#include "xmltv_time.h"

#include "common/date_time.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QIODevice;

namespace kelbo::guide {

struct XmltvChannel {
    std::string id;
    std::string name;          // the first display name that is not a number
    std::string listedNumber;  // its <lcn>, else its first display name that is a number
    // What the guide hands over (numberChannelsFromPlaylist): a number no other
    // channel has unless the listing gives them the same, and the name of
    // the channel playlist's entry when the listing's names another station.
    std::string number;
    std::string entryName;
};

// One programme, kept small: its texts are ids into the listing's pool and
// its channel is an index, so a listing of hundreds of thousands of
// programmes stays in tens of megabytes.
struct XmltvProgramme {
    using Text = StringPool::Id;
    Instant start;  // the whole minute it begins in
    // Rounded up, so that start plus duration is not before its true end.
    uint32_t channel = 0;  // index into XmltvListing::channels
    int32_t durationMinutes = 0;
    Text title = 0;
    Text subTitle = 0;
    Text description = 0;
    Text category = 0;    // the first category
    Text categories = 0;  // all of them, joined by ", "
    Text episode = 0;     // as shown on screen, or made from the xmltv_ns number
    Text directors = 0;   // joined by ", "
    Text actors = 0;      // joined by ", "
    bool previouslyShown = false;
};

struct XmltvListing {
    std::vector<XmltvChannel> channels;
    std::vector<XmltvProgramme> programmes;  // by start, then file order
    StringPool texts;
    int withoutStop = 0;     // skipped: no stop time
    int badTimes = 0;        // skipped: a time that does not read, or stop before start
    int outsideWindow = 0;   // skipped: outside the time window kept
    QString error;           // not XML, or not an XMLTV listing

    std::string_view text(XmltvProgramme::Text id) const { return texts.text(id); }
    std::string channelNumber(const XmltvProgramme& p) const;
    // The playlist entry's name where it replaces the listing's, else the
    // listing's, else the channel id.
    std::string channelName(const XmltvProgramme& p) const;
};

// The longest description kept, and the longest description line handed to
// the add-in.
inline constexpr size_t kDescriptionBytes = 1000;

// What is kept of a listing. Every channel is kept; when memory must be
// bounded, the window keeps the same span of time for all of them.
struct XmltvLimits {
    std::optional<Instant> windowStart;  // programmes that end by then are left out
    std::optional<Instant> windowEnd;    // programmes that start from then on are left out
    size_t maxTitleBytes = 200;
    size_t maxCategoryBytes = 100;
    size_t maxDescriptionBytes = kDescriptionBytes;
    size_t maxCreditsBytes = 400;  // each of the director and actor lists
    // When set, only the programmes it accepts (by title, and whether shown
    // before) are kept, so that a pass looking for a few programmes holds
    // those and the channels, whatever the size of the listing.
    std::function<bool(std::string_view title, bool previouslyShown)> keep;
};

// Reads an XMLTV listings file as a stream: elements it does not know are
// skipped, and only the kept texts stay in memory. Channels are numbered
// without a playlist (numberChannels).
class XmltvReader {
public:
    explicit XmltvReader(XmltvLimits limits = {}) : limits_(std::move(limits)) {}

    XmltvListing read(QIODevice& device) const;
    // A file as grabbers publish it, gzip-compressed ("guide.xml.gz") or not.
    XmltvListing readFile(const QString& path) const;

private:
    XmltvLimits limits_;
};

// "2.5.0/2" (season, episode, part, each counted from 0, with an optional
// total) as a viewer reads it: "S3 E6 P1/2". A part without the number of
// parts is left out ("2022.36.0" is "S2023 E37"). Empty when nothing reads.
std::string episodeFromXmltvNs(std::string_view number);

}  // namespace kelbo::guide
