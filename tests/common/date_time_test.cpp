#include "common/date_time.h"
#include "common/text_util.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace kelbo;

TEST(DateTime, DayNumbersCountFromTheThirtiethOfDecember1899) {
    EXPECT_EQ(DateTime::fromCivil(1899, 12, 30).days(), 0);
    EXPECT_EQ(DateTime::fromCivil(1900, 1, 1).days(), 2);
    EXPECT_EQ(DateTime::fromCivil(2003, 2, 1).days(), 37653);
    EXPECT_DOUBLE_EQ(DateTime::fromCivil(2003, 2, 1, 18, 0).days(), 37653.75);
    const auto c = DateTime(37653.75 + 30 * DateTime::kSecond).civil();
    EXPECT_EQ(c.year, 2003);
    EXPECT_EQ(c.month, 2);
    EXPECT_EQ(c.day, 1);
    EXPECT_EQ(c.hour, 18);
    EXPECT_EQ(c.minute, 0);
    EXPECT_EQ(c.second, 30);
    EXPECT_EQ(DateTime::fromCivil(2024, 2, 29, 23, 59, 59.9996).formatDateTime(),
              "01-03-2024 00:00:00");
}

TEST(DateTime, ReadsTheWrittenFormsAndRefusesOthers) {
    EXPECT_EQ(DateTime::parseDate("01-02-2003")->days(), 37653);
    EXPECT_EQ(DateTime::parseDate("1/2/2003")->days(), 37653);
    EXPECT_EQ(DateTime::parseDate("01-02-03")->days(), 37653);
    EXPECT_EQ(DateTime::parseDate("29-02-2004")->formatDate(), "29-02-2004");
    for (const char* bad : {"29-02-2003", "32-01-2003", "01-13-2003", "", "01-02", "01-02-2003x",
                            "a1-02-2003", "01-02/2003", "001-02-2003", "01-02-20033"})
        EXPECT_FALSE(DateTime::parseDate(bad)) << bad;

    EXPECT_DOUBLE_EQ(DateTime::parseTime("18:00")->days(), 0.75);
    EXPECT_DOUBLE_EQ(DateTime::parseTime("7:05")->days(), (7 * 60 + 5) / 1440.0);
    EXPECT_DOUBLE_EQ(DateTime::parseTime("00:00:30")->days(), 30 / 86400.0);
    for (const char* bad : {"24:00", "12:60", "1200", "12:", ":30", "12:00:60", "noon", ""})
        EXPECT_FALSE(DateTime::parseTime(bad)) << bad;

    EXPECT_EQ(DateTime::parseDateTime("07-12-2026 20:11:58")->formatDateTime(),
              "07-12-2026 20:11:58");
}

TEST(TextUtil, RoundsHalvesToEvenAndReadsNumbersStrictly) {
    EXPECT_EQ(roundHalfEven(31.5), 32);
    EXPECT_EQ(roundHalfEven(30.5), 30);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
    EXPECT_EQ(*parseNumber(" 1.5 "), 1.5);
    EXPECT_EQ(*parseNumber("-3"), -3);
    EXPECT_EQ(*parseWholeNumber("30.5"), 30);
    for (const char* bad : {"", "abc", "1.2.3", "1e3", "+", ".", "3 4"})
        EXPECT_FALSE(parseNumber(bad)) << bad;
}

// The true length of a programme across a change of the clocks comes from
// instants, not from wall-clock day numbers.
TEST(DateTime, InstantsFollowDaylightSavingChanges) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "Europe/London", 1);
    tzset();
    // 01:30 to 03:30 local on 29-03-2026 is one real hour: 01:00 became 02:00.
    const Instant start = toInstant(DateTime::fromCivil(2026, 3, 29, 0, 30));
    const Instant end = toInstant(DateTime::fromCivil(2026, 3, 29, 2, 30));
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::minutes>(end - start).count(), 60);
    EXPECT_EQ(toLocalDateTime(end).formatDateTime(), "29-03-2026 02:30:00");
    setenv("TZ", saved.c_str(), 1);
    tzset();
}

// A reading the clocks skip means the instant they jump; one they show
// twice means its first occurrence. Elsewhere in the zone, and in a zone
// west of Greenwich, readings convert both ways unchanged.
TEST(DateTime, LocalReadingsAroundTheChangesOfTheClocks) {
    using namespace std::chrono;
    const auto utc = [](int y, unsigned m, unsigned d, int h, int min, int s = 0) -> Instant {
        return sys_days{year{y} / m / d} + hours(h) + minutes(min) + seconds(s);
    };
    {
        const kelbo::testing::ScopedTimeZone london("Europe/London");
        EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 3, 28, 1, 30)), utc(2027, 3, 28, 1, 0));
        EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 3, 28, 1, 0)), utc(2027, 3, 28, 1, 0));
        EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 3, 28, 0, 59, 59)), utc(2027, 3, 28, 0, 59, 59));
        EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 3, 28, 2, 0)), utc(2027, 3, 28, 1, 0));
        EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 10, 31, 1, 30)), utc(2027, 10, 31, 0, 30));
        EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 10, 31, 2, 0)), utc(2027, 10, 31, 2, 0));
        EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 7, 1, 12, 0, 1.5)),
                  utc(2027, 7, 1, 11, 0, 1) + milliseconds(500));
        EXPECT_EQ(toLocalDateTime(utc(2027, 10, 31, 1, 30)).formatDateTime(), "31-10-2027 01:30:00");
    }
    const kelbo::testing::ScopedTimeZone newYork("America/New_York");
    EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 3, 14, 2, 30)), utc(2027, 3, 14, 7, 0));
    EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 11, 7, 1, 30)), utc(2027, 11, 7, 5, 30));
    EXPECT_EQ(toInstant(DateTime::fromCivil(2027, 1, 5, 20, 0)), utc(2027, 1, 6, 1, 0));
}
