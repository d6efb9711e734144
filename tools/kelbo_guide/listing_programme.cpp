#include "listing_programme.h"

#include <chrono>
#include <ctime>

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

std::string guideDescription(const XmltvListing& listing, const XmltvProgramme& p) {
    std::string lines;
    const auto add = [&lines](const std::string& prefix, const std::string& text) {
        if (text.empty()) return;
        if (!lines.empty()) lines += '\n';
        lines += prefix + text;
    };
    add("", listing.text(p.subTitle));
    add("", listing.text(p.description));
    if (startsInRepeatedHour(p.start))
        lines = "Starts " + trueStart(p.start) + "." + (lines.empty() ? "" : " ") + lines;
    add("Director: ", listing.text(p.directors));
    add("Starring: ", listing.text(p.actors));
    if (p.episode) add(" (", listing.text(p.episode) + ")");
    return lines;
}

GuideProgramme guideProgramme(const XmltvListing& listing, const XmltvProgramme& p) {
    GuideProgramme g;
    g.name = listing.text(p.title);
    g.start = toLocalDateTime(p.start);
    g.duration = static_cast<uint32_t>(p.durationMinutes);
    g.channelName = listing.channelName(p);
    g.channelNumber = listing.channelNumber(p);
    g.category = listing.text(p.category);
    g.description = guideDescription(listing, p);
    return g;
}

}  // namespace kelbo::guide
