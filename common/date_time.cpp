#include "date_time.h"

#include "text_util.h"

#include <cctype>
#include <cmath>
#include <ctime>
#include <optional>
#include <utility>

namespace kelbo {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

constexpr long long kEpochOffset = 25569;  // 1899-12-30 to 1970-01-01

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Splits "a<sep>b<sep>c" into up to three runs of digits.
int digitRuns(std::string_view s, char allowed1, char allowed2, char allowed3, int out[3],
              int widths[3]) {
    int count = 0;
    size_t i = 0;
    char separator = 0;
    while (count < 3) {
        int value = 0, width = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && width < 5) {
            value = value * 10 + (s[i] - '0');
            ++i, ++width;
        }
        if (width == 0) return -1;
        out[count] = value;
        widths[count] = width;
        ++count;
        if (i == s.size()) return count;
        const char c = s[i];
        if (c != allowed1 && c != allowed2 && c != allowed3) return -1;
        if (separator && c != separator) return -1;
        separator = c;
        ++i;
    }
    return i == s.size() ? count : -1;
}

}  // namespace

DateTime DateTime::fromCivil(int year, int month, int day, int hour, int minute, double second) {
    const long long days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    const double date = static_cast<double>(days + kEpochOffset);
    return DateTime(date + (hour * 3600.0 + minute * 60.0 + second) / 86400.0);
}

std::optional<DateTime> DateTime::parseDate(std::string_view text) {
    int parts[3], widths[3];
    if (digitRuns(trim(text), '-', '/', '.', parts, widths) != 3) return std::nullopt;
    const int day = parts[0], month = parts[1];
    int year = parts[2];
    if (widths[0] > 2 || widths[1] > 2) return std::nullopt;
    if (widths[2] == 2) year += year < 30 ? 2000 : 1900;
    else if (widths[2] != 4) return std::nullopt;
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return fromCivil(year, month, day);
}

std::optional<DateTime> DateTime::parseTime(std::string_view text) {
    int parts[3], widths[3];
    const int n = digitRuns(trim(text), ':', ':', ':', parts, widths);
    if (n < 2) return std::nullopt;
    for (int i = 0; i < n; ++i)
        if (widths[i] > 2) return std::nullopt;
    const int second = n == 3 ? parts[2] : 0;
    if (parts[0] > 23 || parts[1] > 59 || second > 59) return std::nullopt;
    return DateTime((parts[0] * 3600.0 + parts[1] * 60.0 + second) / 86400.0);
}

std::optional<DateTime> DateTime::parseDateTime(std::string_view text) {
    text = trim(text);
    const auto space = text.find(' ');
    if (space == std::string_view::npos) return parseDate(text);
    const auto date = parseDate(text.substr(0, space));
    const auto time = parseTime(text.substr(space + 1));
    if (!date || !time) return std::nullopt;
    return DateTime(date->days() + time->days());
}

DateTime::Civil DateTime::civil() const {
    // Work in whole milliseconds so that 23:59:59.9999 does not print as 24:00.
    const long long ms = std::llround(days_ * 86400000.0);
    long long day = ms / 86400000;
    long long rest = ms % 86400000;
    if (rest < 0) rest += 86400000, --day;
    Civil c{};
    civilFromDays(day - kEpochOffset, c.year, c.month, c.day);
    c.hour = static_cast<int>(rest / 3600000);
    c.minute = static_cast<int>(rest / 60000 % 60);
    c.second = static_cast<int>(rest / 1000 % 60);
    c.millisecond = static_cast<int>(rest % 1000);
    return c;
}

std::string DateTime::formatDate() const {
    const Civil c = civil();
    return zeroPad(c.day, 2) + "-" + zeroPad(c.month, 2) + "-" + zeroPad(c.year, 4);
}

std::string DateTime::formatTime() const {
    const Civil c = civil();
    return zeroPad(c.hour, 2) + ":" + zeroPad(c.minute, 2);
}

std::string DateTime::formatDateTime() const {
    const Civil c = civil();
    return formatDate() + " " + formatTime() + ":" + zeroPad(c.second, 2);
}

DateTime toLocalDateTime(Instant instant) {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(instant.time_since_epoch()).count();
    long long secs = ms / 1000;
    long long frac = ms % 1000;
    if (frac < 0) frac += 1000, --secs;
    const std::time_t t = static_cast<std::time_t>(secs);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime::fromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                               tm.tm_min, tm.tm_sec + static_cast<double>(frac) / 1000.0);
}

namespace {

long long utcOffsetAt(long long t) {
    const std::time_t time = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&time, &tm);
    return tm.tm_gmtoff;
}

}  // namespace

Instant toInstant(DateTime local) {
    using namespace std::chrono;
    const DateTime::Civil c = local.civil();
    // The wall-clock reading counted as if it were universal time.
    const long long wall = daysFromCivil(c.year, static_cast<unsigned>(c.month),
                                         static_cast<unsigned>(c.day)) * 86400 +
                           c.hour * 3600LL + c.minute * 60LL + c.second;
    // The offsets in force a day either side (and at the reading itself)
    // cover any change of the clocks near it. An offset fits when the
    // instant it gives really shows that offset; of two that fit (the hour
    // that occurs twice) the earlier instant is the one meant.
    const long long candidates[] = {utcOffsetAt(wall - 86400), utcOffsetAt(wall),
                                    utcOffsetAt(wall + 86400)};
    std::optional<long long> first;
    for (const long long offset : candidates) {
        const long long t = wall - offset;
        if (utcOffsetAt(t) == offset && (!first || t < *first)) first = t;
    }
    if (first) return system_clock::from_time_t(static_cast<std::time_t>(*first)) +
                      milliseconds(c.millisecond);

    // A reading the clocks skip: the instant they jump is the first one
    // after it.
    long long before = wall - candidates[2];  // still on the earlier offset
    long long after = wall - candidates[0];   // already on the later one
    if (before > after) std::swap(before, after);
    const long long earlierOffset = utcOffsetAt(before);
    while (after - before > 1) {
        const long long middle = before + (after - before) / 2;
        (utcOffsetAt(middle) == earlierOffset ? before : after) = middle;
    }
    return system_clock::from_time_t(static_cast<std::time_t>(after));
}

}  // namespace kelbo
