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

int number(std::string_view digits) {
    int n = 0;
    for (char c : digits) n = n * 10 + (c - '0');
    return n;
}

std::optional<int> offsetMinutes(std::string_view zone) {
    if (zone.empty() || zone == "UTC" || zone == "GMT" || zone == "Z") return 0;
    if (zone.size() != 5 || (zone[0] != '+' && zone[0] != '-') || !allDigits(zone.substr(1)))
        return std::nullopt;
    const int minutes = number(zone.substr(1, 2)) * 60 + number(zone.substr(3, 2));
    return zone[0] == '-' ? -minutes : minutes;
}

std::string kept(const QString& text, size_t maxBytes) {
    const QByteArray utf8 = text.trimmed().toUtf8();
    return std::string(utf8Prefix(std::string_view(utf8.constData(), utf8.size()), maxBytes));
}

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
        std::stable_sort(listing_.programmes.begin(), listing_.programmes.end(),
                         [](const XmltvProgramme& a, const XmltvProgramme& b) { return a.start < b.start; });
        return std::move(listing_);
    }

private:
    size_t channelIndex(const QString& id) {
        const std::string key = id.toStdString();
        const auto [it, added] = index_.try_emplace(key, listing_.channels.size());
        if (added) listing_.channels.push_back({key, {}, {}});
        return it->second;
    }

    void channel() {
        XmltvChannel& c = listing_.channels[channelIndex(xml_.attributes().value(QLatin1String("id")).toString())];
        while (xml_.readNextStartElement()) {
            if (xml_.name() != u"display-name") {
                xml_.skipCurrentElement();
                continue;
            }
            const std::string name = kept(xml_.readElementText(QXmlStreamReader::SkipChildElements), 100);
            if (allDigits(name) && c.number.empty()) c.number = name;
            else if (!allDigits(name) && c.name.empty()) c.name = name;
        }
    }

    void programme() {
        const auto attributes = xml_.attributes();
        const QString stop = attributes.value(QLatin1String("stop")).toString();
        const auto start = parseXmltvTime(attributes.value(QLatin1String("start")).toString().toStdString());
        const auto end = parseXmltvTime(stop.toStdString());
        XmltvProgramme p;
        p.channel = channelIndex(attributes.value(QLatin1String("channel")).toString());
        while (xml_.readNextStartElement()) {
            const auto name = xml_.name();
            std::string* field = name == u"title" ? &p.title
                                 : name == u"category" ? &p.category
                                 : name == u"desc" ? &p.description : nullptr;
            const size_t limit = name == u"title" ? limits_.maxTitleBytes
                                 : name == u"category" ? limits_.maxCategoryBytes
                                 : limits_.maxDescriptionBytes;
            if (field && field->empty())
                *field = kept(xml_.readElementText(QXmlStreamReader::SkipChildElements), limit);
            else
                xml_.skipCurrentElement();
        }
        if (stop.isEmpty()) {
            ++listing_.withoutStop;
            return;
        }
        if (!start || !end || *end <= *start) {
            ++listing_.badTimes;
            return;
        }
        if (listing_.programmes.size() >= limits_.maxProgrammes) {
            ++listing_.leftOut;
            return;
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(*end - *start).count();
        p.start = *start;
        p.durationMinutes = static_cast<int>((seconds + 30) / 60);
        listing_.programmes.push_back(std::move(p));
    }

    QXmlStreamReader xml_;
    const XmltvLimits& limits_;
    XmltvListing listing_;
    std::unordered_map<std::string, size_t> index_;
};

}  // namespace

std::optional<Instant> parseXmltvTime(std::string_view text) {
    using namespace std::chrono;
    const size_t digits = std::find_if(text.begin(), text.end(), [](char c) {
                              return !std::isdigit(static_cast<unsigned char>(c));
                          }) - text.begin();
    if (digits < 8 || digits > 14 || digits % 2 != 0) return std::nullopt;
    std::string_view zone = text.substr(digits);
    while (!zone.empty() && zone.front() == ' ') zone.remove_prefix(1);
    const auto offset = offsetMinutes(zone);
    const auto part = [&](size_t at) { return at + 2 <= digits ? number(text.substr(at, 2)) : 0; };
    const year_month_day date{year{number(text.substr(0, 4))},
                              month{static_cast<unsigned>(number(text.substr(4, 2)))},
                              day{static_cast<unsigned>(number(text.substr(6, 2)))}};
    if (!offset || !date.ok() || part(8) > 23 || part(10) > 59 || part(12) > 60) return std::nullopt;
    const auto utc = sys_days{date} + hours{part(8)} + minutes{part(10)} + seconds{part(12)} -
                     minutes{*offset};
    return time_point_cast<Instant::duration>(utc);
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
