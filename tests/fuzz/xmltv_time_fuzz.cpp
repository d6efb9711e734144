// Feeds arbitrary text to the XMLTV time parser. Besides not crashing (or
// overflowing: the build traps signed overflow), a time that reads lies in
// the years the parser accepts, give or take the widest offset, and a full
// "YYYYMMDDhhmmss +0000" reads back as the same wall-clock time.
#include "xmltv_time.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace kelbo;
using namespace std::chrono;

namespace {

std::string digits14(Instant instant) {
    const auto secs = floor<seconds>(instant);
    const auto day = floor<days>(secs);
    const year_month_day date{day};
    const hh_mm_ss time{secs - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u%02ld%02ld%02ld", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), long(time.hours().count()), long(time.minutes().count()),
                  long(time.seconds().count()));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto parsed = guide::parseXmltvTime(text);
    if (parsed) {
        // 1900 less 100 hours of offset to 2199's end plus as many.
        const auto earliest = sys_days{year{1899} / December / 26};
        const auto latest = sys_days{year{2200} / January / 6};
        if (*parsed < earliest || *parsed > latest) std::abort();
        const std::string again = digits14(*parsed);
        const bool fourteenDigits = text.size() == 20 && text.find_first_not_of("0123456789") == 14;
        if (fourteenDigits && text.compare(14, 6, " +0000") == 0 && text.substr(0, 14) != again &&
            text.compare(12, 2, "60") != 0)
            std::abort();
    }
    // The zone alone, at any wall-clock time the parser could ask about.
    const long long local = size >= 8 ? static_cast<long long>(data[0] | data[1] << 8 | data[2] << 16) * 3600 : 0;
    (void)guide::zoneOffsetMinutes(text, local);
    return 0;
}
