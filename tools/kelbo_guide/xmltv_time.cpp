#include "xmltv_time.h"

#include "tz_zone.h"

#include "common/text_util.h"

#include <algorithm>
#include <cctype>
#include <chrono>

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

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2199;

struct Abbreviation {
    const char* name;
    int minutes;
};

// Abbreviations that stand for one offset wherever they are used. Ones
// that mean different offsets in different countries (IST, for one) are
// left out: a listing with them is better refused than shifted.
constexpr Abbreviation kAbbreviations[] = {
    {"UTC", 0},      {"UT", 0},        {"GMT", 0},       {"Z", 0},         {"WET", 0},
    {"WEST", 60},    {"BST", 60},      {"CET", 60},      {"MET", 60},      {"CEST", 120},
    {"MEST", 120},   {"EET", 120},     {"EEST", 180},    {"MSK", 180},     {"SAST", 120},
    {"EST", -300},   {"EDT", -240},    {"CST", -360},    {"CDT", -300},    {"MST", -420},
    {"MDT", -360},   {"PST", -480},    {"PDT", -420},    {"AKST", -540},   {"AKDT", -480},
    {"HST", -600},   {"NST", -210},    {"NDT", -150},
    {"JST", 540},    {"KST", 540},     {"HKT", 480},     {"AWST", 480},    {"ACST", 570},
    {"ACDT", 630},   {"AEST", 600},    {"AEDT", 660},    {"NZST", 720},    {"NZDT", 780},
};

}  // namespace

std::optional<int> zoneOffsetMinutes(std::string_view zone, long long localSeconds) {
    if (zone.empty()) return 0;
    if ((zone[0] == '+' || zone[0] == '-') && zone.size() == 5 && allDigits(zone.substr(1))) {
        const int minutes = number(zone.substr(1, 2)) * 60 + number(zone.substr(3, 2));
        return zone[0] == '-' ? -minutes : minutes;
    }
    for (const Abbreviation& a : kAbbreviations)
        if (equalsIgnoreCase(zone, a.name)) return a.minutes;
    if (const auto rules = TzZone::find(zone)) return rules->offsetForLocal(localSeconds) / 60;
    return std::nullopt;
}

std::optional<Instant> parseXmltvTime(std::string_view text) {
    using namespace std::chrono;
    const auto firstNonDigit = std::find_if(text.begin(), text.end(), [](char c) {
        return !std::isdigit(static_cast<unsigned char>(c));
    });
    const size_t digits = static_cast<size_t>(firstNonDigit - text.begin());
    if (digits < 8 || digits > 14 || digits % 2 != 0) return std::nullopt;
    std::string_view zone = text.substr(digits);
    while (!zone.empty() && zone.front() == ' ') zone.remove_prefix(1);
    while (!zone.empty() && zone.back() == ' ') zone.remove_suffix(1);
    const auto part = [&](size_t at) { return at + 2 <= digits ? number(text.substr(at, 2)) : 0; };
    const year_month_day date{year{number(text.substr(0, 4))},
                              month{static_cast<unsigned>(number(text.substr(4, 2)))},
                              day{static_cast<unsigned>(number(text.substr(6, 2)))}};
    // The clock counts nanoseconds from 1970 and holds only 1677 to 2262; a
    // year far from today is a damaged time, not a programme.
    if (!date.ok() || date.year() < year{kFirstYear} || date.year() > year{kLastYear} || part(8) > 23 ||
        part(10) > 59 || part(12) > 60)
        return std::nullopt;
    const auto wallClock = sys_days{date} + hours{part(8)} + minutes{part(10)} + seconds{part(12)};
    const auto offset = zoneOffsetMinutes(zone, wallClock.time_since_epoch().count());
    if (!offset) return std::nullopt;
    return time_point_cast<Instant::duration>(wallClock - minutes{*offset});
}

}  // namespace kelbo::guide
