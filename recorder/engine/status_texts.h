#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kelbo {

// "H:M:S" from milliseconds, each part at least two digits: 00:10:00.
std::string hoursMinutesSeconds(std::int64_t ms);

// "M:SS" from milliseconds, minutes without limit: "41:10", "125:00".
std::string minutesSeconds(std::int64_t ms);

// "DDD:HH:MM:SS" for a real wait: 002:03:04:05. The seconds are rounded,
// halves to even, so 60 can appear.
std::string countDown(std::chrono::milliseconds wait);

// A short byte size: "512 bytes", "9.8 MB", "976 KB" (base 1024).
std::string Format_Byte_Size(std::int64_t bytes);

}  // namespace kelbo
