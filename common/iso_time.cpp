#include "iso_time.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace kelbo {

std::string isoLocalTime(Instant instant) {
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::floor<std::chrono::seconds>(instant));
    std::tm tm{};
    localtime_r(&t, &tm);
    const long offset = tm.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, offset < 0 ? '-' : '+',
                  minutes / 60, minutes % 60);
    return text;
}

}  // namespace kelbo
