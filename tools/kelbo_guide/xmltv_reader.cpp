#include "xmltv_reader.h"

#include "playlist_channels.h"
#include "xml_stream.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <limits>
#include <unordered_map>

namespace kelbo::guide {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

// Names joined by ", " as long as whole names fit.
void addName(std::string& list, std::string_view name, size_t maxBytes) {
    if (name.empty()) return;
    const size_t needed = list.size() + (list.empty() ? 0 : 2) + name.size();
    if (needed > maxBytes) return;
    if (!list.empty()) list += ", ";
    list += name;
}

// Whole minutes from `start`, a whole minute, to `end`, rounded up so that
// the programme's true end is kept. Counted in seconds: the span of two
// far-apart times does not fit the clock's nanoseconds.
int32_t minutesUntil(Instant start, Instant end) {
    using namespace std::chrono;
    const long long seconds = floor<std::chrono::seconds>(end).time_since_epoch().count() -
                              floor<std::chrono::seconds>(start).time_since_epoch().count();
    return static_cast<int32_t>(std::min<long long>((seconds + 59) / 60, std::numeric_limits<int32_t>::max()));
}

// The texts of one <programme> while it is read; only what is kept goes
// into the pool. One is used for every programme, so that its room is
// taken once.
struct ProgrammeTexts {
    std::string title, subTitle, description, categories, firstCategory;
    std::string onscreen, xmltvNs, directors, actors;
    bool previouslyShown = false;

    void clear() {
        for (std::string* text : {&title, &subTitle, &description, &categories, &firstCategory, &onscreen,
                                  &xmltvNs, &directors, &actors})
            text->clear();
        previouslyShown = false;
    }
};

// One pass over the document; channels are found by id whether they come
// before or after the programmes that name them.
class Pass {
public:
    Pass(XmlStream& xml, const XmltvLimits& limits) : xml_(xml), limits_(limits) {}

    XmltvListing run() {
        const bool tv = xml_.root() && xml_.name() == "tv";
        if (tv) {
            const int depth = xml_.depth();
            while (xml_.nextChild(depth)) {
                if (xml_.name() == "channel") channel();
                else if (xml_.name() == "programme") programme();
                else xml_.skip();
            }
            xml_.finish();
        }
        if (xml_.failed() || !tv) {
            // A listing that is not well-formed is refused whole, rather
            // than shown cut short without a word.
            XmltvListing refused;
            refused.error = xml_.failed() ? QString::fromStdString(xml_.error())
                                          : QStringLiteral("no <tv> element, so not an XMLTV listing");
            return refused;
        }
        listing_.programmes.shrink_to_fit();
        std::stable_sort(listing_.programmes.begin(), listing_.programmes.end(),
                         [](const XmltvProgramme& a, const XmltvProgramme& b) { return a.start < b.start; });
        numberChannelsFromPlaylist(listing_, {});
        return std::move(listing_);
    }

private:
    uint32_t channelIndex(std::string_view id) {
        if (const auto found = index_.find(id); found != index_.end()) return found->second;
        const auto [it, added] = index_.try_emplace(std::string(id), static_cast<uint32_t>(listing_.channels.size()));
        if (added) listing_.channels.push_back({it->first, {}, {}, {}, {}});
        return it->second;
    }

    void channel() {
        std::string id;
        xml_.attributes([&id](std::string_view name, std::string_view value) {
            if (name == "id") id = value;
        });
        XmltvChannel& c = listing_.channels[channelIndex(id)];
        std::string lcn, digits;
        const int depth = xml_.depth();
        while (xml_.nextChild(depth)) {
            if (xml_.name() == "lcn") {
                const std::string_view number = xml_.text(100);
                if (isChannelNumber(number) && lcn.empty()) lcn = number;
            } else if (xml_.name() == "display-name") {
                const std::string_view name = xml_.text(100);
                if (isChannelNumber(name)) {
                    if (digits.empty()) digits = name;
                } else if (c.name.empty()) {
                    c.name = name;
                }
            } else {
                xml_.skip();
            }
        }
        if (c.listedNumber.empty()) c.listedNumber = lcn.empty() ? digits : lcn;
    }

    void credits(ProgrammeTexts& t) {
        const int depth = xml_.depth();
        while (xml_.nextChild(depth)) {
            const std::string_view name = xml_.name();
            if (name == "director") addName(t.directors, xml_.text(100), limits_.maxCreditsBytes);
            else if (name == "actor") addName(t.actors, xml_.text(100), limits_.maxCreditsBytes);
            else xml_.skip();
        }
    }

    void programmeElement(ProgrammeTexts& t) {
        const std::string_view name = xml_.name();
        const auto firstOnly = [&](std::string& field, size_t limit) {
            if (field.empty()) field = xml_.text(limit);
            else xml_.skip();
        };
        if (name == "title") firstOnly(t.title, limits_.maxTitleBytes);
        else if (name == "sub-title") firstOnly(t.subTitle, limits_.maxTitleBytes);
        else if (name == "desc") firstOnly(t.description, limits_.maxDescriptionBytes);
        else if (name == "category") {
            const std::string_view category = xml_.text(limits_.maxCategoryBytes);
            if (t.firstCategory.empty()) t.firstCategory = category;
            addName(t.categories, category, limits_.maxCategoryBytes * 3);
        } else if (name == "episode-num") {
            std::string system;
            xml_.attributes([&system](std::string_view attribute, std::string_view value) {
                if (attribute == "system") system = value;
            });
            if (system == "onscreen") firstOnly(t.onscreen, 100);
            else if (system == "xmltv_ns" || system.empty()) firstOnly(t.xmltvNs, 100);
            else xml_.skip();
        } else if (name == "credits") {
            credits(t);
        } else {
            if (name == "previously-shown") t.previouslyShown = true;
            xml_.skip();
        }
    }

    bool outsideWindow(Instant start, Instant end) const {
        return (limits_.windowStart && end <= *limits_.windowStart) ||
               (limits_.windowEnd && start >= *limits_.windowEnd);
    }

    void programme() {
        std::string startText, stopText, channelId;
        xml_.attributes([&](std::string_view name, std::string_view value) {
            if (name == "start") startText = value;
            else if (name == "stop") stopText = value;
            else if (name == "channel") channelId = value;
        });
        const auto start = parseXmltvTime(startText);
        const auto end = parseXmltvTime(stopText);
        const uint32_t channel = channelIndex(channelId);
        ProgrammeTexts& t = texts_;
        t.clear();
        const int depth = xml_.depth();
        while (xml_.nextChild(depth)) programmeElement(t);
        if (stopText.empty()) {
            ++listing_.withoutStop;
            return;
        }
        if (!start || !end || *end < *start) {
            ++listing_.badTimes;
            return;
        }
        if (outsideWindow(*start, *end)) {
            ++listing_.outsideWindow;
            return;
        }
        if (limits_.keep && !limits_.keep(t.title, t.previouslyShown)) return;
        StringPool& pool = listing_.texts;
        XmltvProgramme p;
        p.start = std::chrono::floor<std::chrono::minutes>(*start);
        p.channel = channel;
        p.durationMinutes = *end == *start ? 0 : minutesUntil(p.start, *end);
        p.title = pool.intern(t.title);
        p.subTitle = pool.intern(t.subTitle);
        p.description = pool.intern(t.description);
        p.category = pool.intern(t.firstCategory);
        p.categories = pool.intern(t.categories);
        p.episode = pool.intern(t.onscreen.empty() ? episodeFromXmltvNs(t.xmltvNs) : t.onscreen);
        p.directors = pool.intern(t.directors);
        p.actors = pool.intern(t.actors);
        p.previouslyShown = t.previouslyShown;
        listing_.programmes.push_back(p);
    }

    XmlStream& xml_;
    const XmltvLimits& limits_;
    XmltvListing listing_;
    // Looked up by the attribute's text as it is, without a copy.
    struct IdHash {
        using is_transparent = void;
        size_t operator()(std::string_view id) const { return std::hash<std::string_view>()(id); }
    };
    std::unordered_map<std::string, uint32_t, IdHash, std::equal_to<>> index_;
    ProgrammeTexts texts_;
};

// One part of an xmltv_ns number, "n" or "n/total", n counted from 0; a
// total of 0 is what grabbers write when they do not know it.
// `needsTotal`: the part of a programme in parts means something only
// with their count ("0" alone is what grabbers write for "not in parts").
std::string episodePart(std::string_view part, const char* letter, bool needsTotal) {
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    const size_t slash = part.find('/');
    const std::string_view n = part.substr(0, slash);
    if (!allDigits(n) || n.size() > 6) return {};
    if (needsTotal && slash == std::string_view::npos) return {};
    std::string text = letter + std::to_string(std::stoi(std::string(n)) + 1);
    if (slash != std::string_view::npos) {
        const std::string_view total = part.substr(slash + 1);
        const bool known = allDigits(total) && total.size() <= 6 && std::stoi(std::string(total)) > 0;
        if (known) text += "/" + std::string(total);
        else if (needsTotal) return {};
    }
    return text;
}

}  // namespace

std::string episodeFromXmltvNs(std::string_view number) {
    std::string text;
    const char* const letters[] = {"S", "E", "P"};
    for (const char* letter : letters) {
        const size_t dot = number.find('.');
        const std::string part = episodePart(number.substr(0, dot), letter, letter == letters[2]);
        if (!part.empty()) text += (text.empty() ? "" : " ") + part;
        if (dot == std::string_view::npos) break;
        number.remove_prefix(dot + 1);
    }
    return text;
}

std::string XmltvListing::channelNumber(const XmltvProgramme& p) const {
    const std::string& number = channels[p.channel].number;
    return number.empty() ? "0" : number;
}

std::string XmltvListing::channelName(const XmltvProgramme& p) const {
    const XmltvChannel& c = channels[p.channel];
    if (!c.entryName.empty()) return c.entryName;
    return c.name.empty() ? c.id : c.name;
}

XmltvListing XmltvReader::read(QIODevice& device) const {
    const auto xml = XmlStream::openDevice(device);
    return Pass(*xml, limits_).run();
}

XmltvListing XmltvReader::readFile(const QString& path) const {
    std::string why;
    const auto xml = XmlStream::openFile(path.toStdString(), why);
    if (!xml) {
        XmltvListing listing;
        listing.error = QStringLiteral("cannot open: %1").arg(QString::fromStdString(why));
        return listing;
    }
    return Pass(*xml, limits_).run();
}

}  // namespace kelbo::guide
