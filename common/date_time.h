#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kelbo {

// A local wall-clock date-time as a day number: whole days since
// 30 December 1899, the fraction being the time of day.
class DateTime {
public:
    static constexpr double kMinute = 1.0 / 1440.0;
    static constexpr double kSecond = 1.0 / 86400.0;

    constexpr DateTime() = default;
    constexpr explicit DateTime(double days) : days_(days) {}

    static DateTime fromCivil(int year, int month, int day, int hour = 0, int minute = 0,
                              double second = 0);

    // "DD-MM-YYYY" as written in the schedule; also D-M-YYYY, "/" or "."
    // between the parts, and a two-digit year (00-29 is 20xx).
    static std::optional<DateTime> parseDate(std::string_view text);
    // "HH:MM" (24-hour), also H:MM and an optional ":SS". The result is the
    // time of day alone (a fraction of one day).
    static std::optional<DateTime> parseTime(std::string_view text);
    // "DD-MM-YYYY HH:MM:SS" (seconds optional).
    static std::optional<DateTime> parseDateTime(std::string_view text);

    constexpr double days() const { return days_; }
    constexpr bool isZero() const { return days_ == 0; }

    struct Civil {
        int year, month, day, hour, minute, second, millisecond;
    };
    Civil civil() const;

    std::string formatDate() const;  // DD-MM-YYYY
    std::string formatTime() const;  // HH:MM
    std::string formatDateTime() const;  // DD-MM-YYYY HH:MM:SS

    DateTime plusMinutes(double minutes) const { return DateTime(days_ + minutes * kMinute); }
    friend constexpr bool operator==(DateTime, DateTime) = default;
    friend constexpr auto operator<=>(DateTime a, DateTime b) { return a.days_ <=> b.days_; }
    friend constexpr double operator-(DateTime a, DateTime b) { return a.days_ - b.days_; }

private:
    double days_ = 0;
};

using Instant = std::chrono::system_clock::time_point;

// Conversions between real instants and the local wall clock (the TZ rules
// of the process). A wall-clock time that occurs twice means its first
// occurrence; one the clocks skip means the instant they jump, the first
// real instant after it. Time spans (durations, buffers, waits) are
// measured between instants, never between wall-clock day numbers.
DateTime toLocalDateTime(Instant instant);
Instant toInstant(DateTime local);

}  // namespace kelbo
