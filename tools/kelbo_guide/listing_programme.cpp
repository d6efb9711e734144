#include "listing_programme.h"

#include "common/text_util.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <iterator>

namespace kelbo::guide {

bool startsInRepeatedHour(Instant start) {
    using namespace std::chrono;
    const Instant firstRun = toInstant(toLocalDateTime(start));
    return start - firstRun >= minutes{30};
}

std::string trueStart(Instant start) {
    const std::time_t t = std::chrono::system_clock::to_time_t(start);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%H:%M %Z", &local);
    return text;
}

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Line breaks, with the spaces around them, become one space.
std::string oneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        while (!line.empty() && isSpace(line.back())) line.pop_back();
        while (i + 1 < text.size() && isSpace(text[i + 1])) ++i;
        if (!line.empty() && i + 1 < text.size()) line += ' ';
    }
    return line;
}

// Whether a sub-title already ends as a sentence does, in any script.
bool endsSentence(std::string_view text) {
    static constexpr std::string_view kEnds[] = {".", "!", "?", ":", ";", "\u2026", "\u3002", "\uFF01",
                                                 "\uFF1F", "\u061F"};
    return std::any_of(std::begin(kEnds), std::end(kEnds), [text](std::string_view end) {
        return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
    });
}

}  // namespace

std::string descriptionLine(const XmltvListing& listing, const XmltvProgramme& p) {
    std::string line = oneLine(listing.text(p.subTitle));
    const std::string description = oneLine(listing.text(p.description));
    if (!description.empty()) {
        if (!line.empty()) line += endsSentence(line) ? " " : ". ";
        line += description;
    }
    if (startsInRepeatedHour(p.start))
        line = "Starts " + trueStart(p.start) + "." + (line.empty() ? "" : " ") + line;
    line.resize(utf8Prefix(line, kDescriptionBytes).size());
    return line;
}

std::string guideDescription(const XmltvListing& listing, const XmltvProgramme& p) {
    std::string lines = descriptionLine(listing, p);
    const auto add = [&lines](std::string_view prefix, std::string_view text) {
        if (text.empty()) return;
        if (!lines.empty()) lines += '\n';
        lines += prefix;
        lines += text;
    };
    add("Director: ", listing.text(p.directors));
    add("Starring: ", listing.text(p.actors));
    if (p.episode) add(" (", std::string(listing.text(p.episode)) + ")");
    return lines;
}

GuideProgramme guideProgramme(const XmltvListing& listing, const XmltvProgramme& p) {
    GuideProgramme g;
    g.name = std::string(listing.text(p.title));
    g.start = toLocalDateTime(p.start);
    g.duration = static_cast<uint32_t>(p.durationMinutes);
    g.channelName = listing.channelName(p);
    g.channelNumber = listing.channelNumber(p);
    g.category = std::string(listing.text(p.category));
    g.description = guideDescription(listing, p);
    return g;
}

}  // namespace kelbo::guide
