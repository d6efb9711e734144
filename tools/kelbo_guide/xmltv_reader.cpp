#include "xmltv_reader.h"

#include "common/text_util.h"

#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <unordered_map>

namespace kelbo::guide {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

std::string kept(const QString& text, size_t maxBytes) {
    const QByteArray utf8 = text.trimmed().toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<size_t>(utf8.size()));
    return std::string(utf8Prefix(bytes, maxBytes));
}

// Names joined by ", " as long as whole names fit.
void addName(std::string& list, const std::string& name, size_t maxBytes) {
    if (name.empty()) return;
    const size_t needed = list.size() + (list.empty() ? 0 : 2) + name.size();
    if (needed > maxBytes) return;
    if (!list.empty()) list += ", ";
    list += name;
}

// The texts of one <programme> while it is read; only what is kept goes
// into the pool.
struct ProgrammeTexts {
    std::string title, subTitle, description, categories, firstCategory;
    std::string onscreen, xmltvNs, directors, actors;
    bool previouslyShown = false;
};

// One pass over the document; channels are found by id whether they come
// before or after the programmes that name them.
class Pass {
public:
    Pass(QIODevice& device, const XmltvLimits& limits) : xml_(&device), limits_(limits) {}

    XmltvListing run() {
        if (!xml_.readNextStartElement() || xml_.name() != u"tv") {
            if (!xml_.hasError()) xml_.raiseError(QStringLiteral("no <tv> element, so not an XMLTV listing"));
        }
        while (!xml_.hasError() && xml_.readNextStartElement()) {
            if (xml_.name() == u"channel") channel();
            else if (xml_.name() == u"programme") programme();
            else xml_.skipCurrentElement();
        }
        if (xml_.hasError()) {
            // A listing that is not well-formed is refused whole, rather
            // than shown cut short without a word.
            XmltvListing refused;
            refused.error = QStringLiteral("line %1: %2").arg(xml_.lineNumber()).arg(xml_.errorString());
            return refused;
        }
        listing_.programmes.shrink_to_fit();
        std::stable_sort(listing_.programmes.begin(), listing_.programmes.end(),
                         [](const XmltvProgramme& a, const XmltvProgramme& b) { return a.start < b.start; });
        return std::move(listing_);
    }

private:
    uint32_t channelIndex(const QString& id) {
        const std::string key = id.toStdString();
        const auto [it, added] = index_.try_emplace(key, static_cast<uint32_t>(listing_.channels.size()));
        if (added) listing_.channels.push_back({key, {}, {}});
        return it->second;
    }

    std::string elementText(size_t maxBytes) {
        return kept(xml_.readElementText(QXmlStreamReader::SkipChildElements), maxBytes);
    }

    void channel() {
        XmltvChannel& c = listing_.channels[channelIndex(xml_.attributes().value(QLatin1String("id")).toString())];
        while (xml_.readNextStartElement()) {
            if (xml_.name() != u"display-name") {
                xml_.skipCurrentElement();
                continue;
            }
            const std::string name = elementText(100);
            if (allDigits(name) && c.number.empty()) c.number = name;
            else if (!allDigits(name) && c.name.empty()) c.name = name;
        }
    }

    void credits(ProgrammeTexts& t) {
        while (xml_.readNextStartElement()) {
            const auto name = xml_.name();
            if (name == u"director") addName(t.directors, elementText(100), limits_.maxCreditsBytes);
            else if (name == u"actor") addName(t.actors, elementText(100), limits_.maxCreditsBytes);
            else xml_.skipCurrentElement();
        }
    }

    void programmeElement(ProgrammeTexts& t) {
        const auto name = xml_.name();
        const auto firstOnly = [&](std::string& field, size_t limit) {
            if (field.empty()) field = elementText(limit);
            else xml_.skipCurrentElement();
        };
        if (name == u"title") firstOnly(t.title, limits_.maxTitleBytes);
        else if (name == u"sub-title") firstOnly(t.subTitle, limits_.maxTitleBytes);
        else if (name == u"desc") firstOnly(t.description, limits_.maxDescriptionBytes);
        else if (name == u"category") {
            const std::string category = elementText(limits_.maxCategoryBytes);
            if (t.firstCategory.empty()) t.firstCategory = category;
            addName(t.categories, category, limits_.maxCategoryBytes * 3);
        } else if (name == u"episode-num") {
            const auto system = xml_.attributes().value(QLatin1String("system"));
            if (system == u"onscreen") firstOnly(t.onscreen, 100);
            else if (system == u"xmltv_ns" || system.isEmpty()) firstOnly(t.xmltvNs, 100);
            else xml_.skipCurrentElement();
        } else if (name == u"credits") {
            credits(t);
        } else {
            if (name == u"previously-shown") t.previouslyShown = true;
            xml_.skipCurrentElement();
        }
    }

    bool outsideWindow(Instant start, Instant end) const {
        return (limits_.windowStart && end <= *limits_.windowStart) ||
               (limits_.windowEnd && start >= *limits_.windowEnd);
    }

    void programme() {
        const auto attributes = xml_.attributes();
        const QString stop = attributes.value(QLatin1String("stop")).toString();
        const auto start = parseXmltvTime(attributes.value(QLatin1String("start")).toString().toStdString());
        const auto end = parseXmltvTime(stop.toStdString());
        const uint32_t channel = channelIndex(attributes.value(QLatin1String("channel")).toString());
        ProgrammeTexts t;
        while (xml_.readNextStartElement()) programmeElement(t);
        if (stop.isEmpty()) {
            ++listing_.withoutStop;
            return;
        }
        if (!start || !end || *end <= *start) {
            ++listing_.badTimes;
            return;
        }
        if (outsideWindow(*start, *end)) {
            ++listing_.outsideWindow;
            return;
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(*end - *start).count();
        StringPool& pool = listing_.texts;
        XmltvProgramme p;
        p.start = *start;
        p.channel = channel;
        p.durationMinutes = static_cast<int32_t>((seconds + 30) / 60);
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

    QXmlStreamReader xml_;
    const XmltvLimits& limits_;
    XmltvListing listing_;
    std::unordered_map<std::string, uint32_t> index_;
};

// One part of an xmltv_ns number, "n" or "n/total", n counted from 0.
std::string episodePart(std::string_view part, const char* letter) {
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    const size_t slash = part.find('/');
    const std::string_view n = part.substr(0, slash);
    if (!allDigits(n) || n.size() > 6) return {};
    std::string text = letter + std::to_string(std::stoi(std::string(n)) + 1);
    if (slash != std::string_view::npos) {
        const std::string_view total = part.substr(slash + 1);
        if (allDigits(total) && total.size() <= 6) text += "/" + std::string(total);
    }
    return text;
}

}  // namespace

std::string episodeFromXmltvNs(std::string_view number) {
    std::string text;
    const char* const letters[] = {"S", "E", "P"};
    for (const char* letter : letters) {
        const size_t dot = number.find('.');
        const std::string part = episodePart(number.substr(0, dot), letter);
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
    return c.name.empty() ? c.id : c.name;
}

XmltvListing XmltvReader::read(QIODevice& device) const { return Pass(device, limits_).run(); }

XmltvListing XmltvReader::readFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        XmltvListing listing;
        listing.error = QStringLiteral("cannot open: %1").arg(file.errorString());
        return listing;
    }
    return read(file);
}

}  // namespace kelbo::guide
