#include "schedule_format.h"

#include "date_time.h"
#include "text_util.h"

#include <array>

namespace kelbo {

namespace {

enum class Check { None, Mark, Time, Date, Number, ChannelNumber };

struct KeySpec {
    std::string_view text;  // 14 characters, colon in column 14
    std::string ScheduleItem::*field;
    Check check;
};

// In the order the recorder writes them (Director, Starring and the extra
// line go between Description and Template).
constexpr std::array<KeySpec, 16> kKeys = {{
    {"ProgrammeName:", &ScheduleItem::ProgrammeName, Check::Mark},
    {"StartTime    :", &ScheduleItem::StartTime, Check::Time},
    {"StartDate    :", &ScheduleItem::StartDate, Check::Date},
    {"ChannelNumber:", &ScheduleItem::ChannelNumber, Check::ChannelNumber},
    {"ChannelName  :", &ScheduleItem::ChannelName, Check::Mark},
    {"Duration     :", &ScheduleItem::Duration, Check::Number},
    {"Category     :", &ScheduleItem::Category, Check::None},
    {"ReminderID   :", &ScheduleItem::ReminderID, Check::None},
    {"SmartSearchID:", &ScheduleItem::SmartSearchID, Check::None},
    {"FavouriteID  :", &ScheduleItem::FavouriteID, Check::None},
    {"Description  :", &ScheduleItem::Description, Check::None},
    {"Template     :", &ScheduleItem::Template, Check::None},
    {"FileName     :", &ScheduleItem::FileName, Check::None},
    {"Complete     :", &ScheduleItem::Complete, Check::None},
    {"StartBuffer  :", &ScheduleItem::StartBuffer, Check::None},
    {"EndBuffer    :", &ScheduleItem::EndBuffer, Check::None},
}};
constexpr size_t kRequiredKeys = 6;  // the first six of kKeys

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool readsAsChannelNumber(std::string_view value) {
    return value == kNoChannelNumber || parseNumber(value).has_value();
}

namespace {

bool valid(Check check, std::string_view value) {
    switch (check) {
    case Check::Time: return DateTime::parseTime(value).has_value();
    case Check::Date: return DateTime::parseDate(value).has_value();
    case Check::Number: return parseNumber(value).has_value();
    // "N/A" is what the add dialog offers for a source without channels;
    // an item added with it must survive the next load.
    case Check::ChannelNumber: return readsAsChannelNumber(value);
    default: return true;
    }
}

std::string keyName(const KeySpec& key) {
    std::string name(key.text.substr(0, key.text.find(' ')));
    if (name.back() == ':') name.pop_back();
    return name;
}

// What the required lines of a record looked like, for the reasons given
// when it is not accepted.
struct Marks {
    int total = 0;
    std::array<int, kRequiredKeys> seen{};
    std::array<std::string, kRequiredKeys> badValue{};
    std::array<bool, kRequiredKeys> bad{};

    std::string explain() const {
        static const char* const kinds[] = {"", "a time", "a date", "a number", "a number"};
        std::string why;
        const auto add = [&why](const std::string& part) { why += (why.empty() ? "" : "; ") + part; };
        for (size_t k = 0; k < kRequiredKeys; ++k) {
            const std::string name = keyName(kKeys[k]);
            if (seen[k] == 0) add("no " + name + " line");
            else if (seen[k] > 1) add(name + " line repeated");
            else if (bad[k]) {
                const int kind = k == 1 ? 1 : k == 2 ? 2 : 3;
                add(name + " \"" + badValue[k] + "\" does not read as " + kinds[kind]);
            }
        }
        return why.empty() ? "required lines do not add up" : why;
    }
};

bool blankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::string buildIndexString(const ScheduleItem& item) {
    std::string index;
    index += mid(item.StartDate, 7, 4);
    index += mid(item.StartDate, 4, 2);
    index += mid(item.StartDate, 1, 2);
    index += mid(item.StartTime, 1, 2);
    index += mid(item.StartTime, 4, 2);
    return index;
}

ScheduleReader::ScheduleReader(std::istream& in) : lines_(in) {}

std::optional<ReadRecord> ScheduleReader::next() {
    ReadRecord record;
    Marks marks;
    record.blank = true;
    std::string line;
    while (lines_.next(line)) {
        if (record.firstLine == 0) record.firstLine = lines_.lineNumber();
        record.lastLine = lines_.lineNumber();
        const std::string_view head = std::string_view(line).substr(0, 14);

        if (startsWith(line, "----------BREA")) {
            record.accepted = marks.total == kRequiredKeys;
            if (record.accepted) record.item.IndexString = buildIndexString(record.item);
            else if (!record.blank) record.problem = marks.explain();
            return record;
        }
        record.blank = record.blank && blankLine(line);
        for (size_t k = 0; k < kKeys.size(); ++k) {
            if (head != kKeys[k].text) continue;
            const std::string value = line.size() > 15 ? line.substr(15) : std::string();
            if (k < kRequiredKeys) {
                ++marks.seen[k];
                if (valid(kKeys[k].check, value)) {
                    ++marks.total;
                } else {
                    marks.bad[k] = true;
                    marks.badValue[k] = value;
                }
            }
            record.item.*kKeys[k].field = value;
            break;
        }
        if (startsWith(line, "Director:")) record.item.Director = std::string(mid(line, 11));
        else if (startsWith(line, "Starring:")) record.item.Starring = std::string(mid(line, 11));
        // An extra line is kept whole, leading space included, so that it is
        // recognised again after the recorder writes it back.
        else if (startsWith(line, " (")) record.item.ExtraInfo = line;
    }
    if (record.firstLine == 0) return std::nullopt;
    record.terminated = false;
    if (!record.blank) record.problem = "text after the last separator";
    return record;
}

namespace {

bool readsAsKeyOrSeparator(std::string_view line) {
    const std::string_view head = line.substr(0, 14);
    if (head == "----------BREA") return true;
    for (const KeySpec& key : kKeys)
        if (head == key.text) return true;
    return false;
}

// A value that ends its line: a line break in it would start a line of
// its own, so each CR and LF becomes a space.
std::string singleLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// A description keeps its line breaks (CR LF each), but a further line that
// would read as a key line or a separator gets one leading space, so that it
// reads as an ignored line and cannot set a field or end the record.
std::string descriptionLines(std::string_view text) {
    const std::string lines = withCrLfBreaks(text);
    std::string out;
    out.reserve(lines.size());
    size_t begin = 0;
    for (;;) {
        const size_t end = lines.find("\r\n", begin);
        const std::string_view line =
            std::string_view(lines).substr(begin, end == std::string::npos ? end : end - begin);
        // The reader takes these three from a description's further lines.
        const bool taken = startsWith(line, "Director:") || startsWith(line, "Starring:") ||
                           startsWith(line, " (");
        if (begin > 0 && !taken && readsAsKeyOrSeparator(line)) out += ' ';
        out.append(line);
        if (end == std::string::npos) break;
        out += "\r\n";
        begin = end + 2;
    }
    return out;
}

}  // namespace

std::string formatRecord(const ScheduleItem& item) {
    std::string out;
    const auto line = [&](std::string_view prefix, const std::string& value) {
        if (value.empty()) return;
        out.append(prefix);
        if (&value == &item.Description) out.append(descriptionLines(value));
        else out.append(singleLine(value));
        out.append("\r\n");
    };
    for (size_t k = 0; k < kKeys.size(); ++k) {
        if (kKeys[k].field == &ScheduleItem::Template) {
            line("Director: ", item.Director);
            line("Starring: ", item.Starring);
            // Stands alone on its line, so it must not read as anything else.
            if (!item.ExtraInfo.empty() && readsAsKeyOrSeparator(item.ExtraInfo)) out += ' ';
            line("", item.ExtraInfo);
        }
        line(std::string(kKeys[k].text) + " ", item.*kKeys[k].field);
    }
    if (!out.empty()) out.append(kRecordSeparator).append("\r\n");
    return out;
}

std::string withCrLfBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string formatAppendedRecord(const ScheduleItem& item) {
    std::string out;
    // Every key up to Description is written even when empty; the
    // recorder's own fields after Template never are.
    for (const KeySpec& key : kKeys) {
        const bool isTemplate = key.field == &ScheduleItem::Template;
        const std::string& value = item.*key.field;
        if (!isTemplate || !value.empty())
            out.append(key.text)
                .append(" ")
                .append(key.field == &ScheduleItem::Description ? descriptionLines(value)
                                                                : singleLine(value))
                .append("\r\n");
        if (isTemplate) break;
    }
    return out.append(kRecordSeparator).append("\r\n");
}

}  // namespace kelbo
