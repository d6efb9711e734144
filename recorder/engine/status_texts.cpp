#include "status_texts.h"

#include "common/text_util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kelbo {

std::string hoursMinutesSeconds(std::int64_t ms) {
    return zeroPad(ms / 3600000, 2) + ":" + zeroPad(ms % 3600000 / 60000, 2) + ":" +
           zeroPad(ms % 60000 / 1000, 2);
}

std::string minutesSeconds(std::int64_t ms) {
    const std::int64_t seconds = ms / 1000;
    const std::int64_t s = seconds % 60;
    return std::to_string(seconds / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

std::string countDown(std::chrono::milliseconds wait) {
    const std::int64_t ms = std::max<std::int64_t>(0, wait.count());
    const std::int64_t wholeDays = ms / 86400000;
    const std::int64_t hours = ms % 86400000 / 3600000;
    const std::int64_t minutes = ms % 3600000 / 60000;
    // Seconds to the nearest whole one, halves to even: 59.6 s shows 60.
    const std::int64_t rest = ms % 60000;
    std::int64_t seconds = rest / 1000;
    const std::int64_t fraction = rest % 1000;
    if (fraction > 500 || (fraction == 500 && seconds % 2 == 1)) ++seconds;
    return zeroPad(wholeDays, 3) + ":" + zeroPad(hours, 2) + ":" + zeroPad(minutes, 2) + ":" +
           zeroPad(seconds, 2);
}

std::string Format_Byte_Size(std::int64_t bytes) {
    if (bytes < 0) bytes = 0;
    if (bytes < 1024) return std::to_string(bytes) + " bytes";
    static const char* const units[] = {"KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) value /= 1024.0, ++unit;
    char text[32];
    if (value < 100.0) std::snprintf(text, sizeof text, "%.1f %s", std::floor(value * 10) / 10, units[unit]);
    else std::snprintf(text, sizeof text, "%.0f %s", std::floor(value), units[unit]);
    return text;
}

}  // namespace kelbo
