#pragma once

#include "common/date_time.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace kelbo::guide {

struct XmltvChannel {
    std::string id;
    std::string name;    // the first display name that is not a number
    std::string number;  // the first display name that is a number
};

struct XmltvProgramme {
    size_t channel = 0;  // index into XmltvListing::channels
    Instant start;
    int durationMinutes = 0;
    std::string title;
    std::string category;
    std::string description;
};

struct XmltvListing {
    std::vector<XmltvChannel> channels;
    std::vector<XmltvProgramme> programmes;  // by start, then file order
    int withoutStop = 0;     // skipped: no stop time
    int badTimes = 0;        // skipped: a time that does not read, or stop not after start
    int leftOut = 0;         // beyond the limit of programmes kept
    QString error;           // not XML, or not an XMLTV listing

    // The channel's number, or "0" for a channel that has none, so that the
    // recorder still accepts the record.
    std::string channelNumber(const XmltvProgramme& p) const;
    std::string channelName(const XmltvProgramme& p) const;
};

// What is kept of a listing, so that a file of any size fits in memory.
struct XmltvLimits {
    size_t maxProgrammes = 100000;
    size_t maxTitleBytes = 200;
    size_t maxCategoryBytes = 100;
    size_t maxDescriptionBytes = 1000;
};

// Reads an XMLTV listings file as a stream: elements it does not know are
// skipped, and only the kept texts stay in memory.
class XmltvReader {
public:
    explicit XmltvReader(XmltvLimits limits = {}) : limits_(limits) {}

    XmltvListing read(QIODevice& device) const;
    XmltvListing readFile(const QString& path) const;

private:
    XmltvLimits limits_;
};

// "YYYYMMDDhhmmss +hhmm" or an initial part of it of at least the date,
// with an optional offset ("+hhmm", "-hhmm", "UTC", "GMT", "Z"); no offset
// means UTC.
std::optional<Instant> parseXmltvTime(std::string_view text);

}  // namespace kelbo::guide
