#pragma once

#include "line_reader.h"
#include "schedule_item.h"

#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace kelbo {

inline constexpr std::string_view kRecordSeparator = "----------BREAK----------";

// One record of a schedule file as the reader saw it, accepted or not.
struct ReadRecord {
    ScheduleItem item;       // IndexString is set when accepted
    bool accepted = false;
    bool blank = false;      // nothing but blank lines before the separator
    bool terminated = true;  // false: text after the last separator
    long firstLine = 0;      // lines count from 1
    long lastLine = 0;       // its separator, or the file's last line
    std::string problem;     // why it was not accepted, in words
};

// Reads a schedule file record by record. Each line is told apart by its
// first characters: a 14-character key, "Director:", "Starring:", an extra
// description line beginning " (", or the separator. A record is accepted
// when its six required lines give exactly six valid marks.
class ScheduleReader {
public:
    explicit ScheduleReader(std::istream& in);

    std::optional<ReadRecord> next();
    bool failed() const { return lines_.failed(); }

private:
    LineReader lines_;
};

// What the reader takes as a channel number: a number, or "N/A" for a
// source without channels. A record with anything else is not accepted.
bool readsAsChannelNumber(std::string_view value);

// Both writers keep text from setting fields it does not belong to: a line
// break in a value becomes a space, except in a description, whose line
// breaks (CR, LF or CR LF) each become one CR LF. A further description
// line is written as it stands when the reader takes it ("Director:",
// "Starring:", " ("); one that would read as a key line or a separator is
// written with one leading space, so that it reads as an ignored line.

// The recorder's form of a record: every non-empty field on its own line,
// then the separator; empty when the item has no field at all. CR LF ends.
std::string formatRecord(const ScheduleItem& item);

// The guide add-in's form of a record: every key from ProgrammeName to
// Description even when empty, a Template line only when the item names a
// template, then the separator.
std::string formatAppendedRecord(const ScheduleItem& item);
std::string withCrLfBreaks(std::string_view text);

}  // namespace kelbo
