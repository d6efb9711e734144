#include "status_texts.h"

#include "common/text_util.h"

#include <cmath>
#include <cstdio>

namespace kelbo {

std::string hoursMinutesSeconds(std::int64_t ms) {
    return zeroPad(ms / 3600000, 2) + ":" + zeroPad(ms % 3600000 / 60000, 2) + ":" +
           zeroPad(ms % 60000 / 1000, 2);
}

std::string countDown(double days) {
    // Whole milliseconds first, so that 3 hours never come out as 2:59:60.
    const auto ms = static_cast<std::int64_t>(std::llround(days * 86400000.0));
    const std::int64_t wholeDays = ms / 86400000;
    const std::int64_t hours = ms % 86400000 / 3600000;
    const std::int64_t minutes = ms % 3600000 / 60000;
    const auto seconds = static_cast<std::int64_t>(roundHalfEven(static_cast<double>(ms % 60000) / 1000.0));
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
