#include "tz_zone.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>

namespace kelbo::guide {

namespace {

long long bigEndian(const std::string& bytes, size_t at, size_t width) {
    unsigned long long value = 0;
    for (size_t i = 0; i < width; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    if (width == 4) return static_cast<int32_t>(static_cast<uint32_t>(value));
    return static_cast<long long>(value);
}

// Zone names are paths below the database's folder; nothing may climb out.
bool plausibleName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name.front() == '/' ||
        name.find("..") != std::string_view::npos)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '/' || c == '_' || c == '-' || c == '+';
    });
}

constexpr size_t kUnknownNamesKept = 256;

std::string databaseFolder() {
    const char* dir = std::getenv("TZDIR");
    return dir && *dir ? dir : "/usr/share/zoneinfo";
}

}  // namespace

std::shared_ptr<const TzZone> TzZone::fromBytes(const std::string& bytes) {
    constexpr size_t kHeader = 44;
    if (bytes.size() < kHeader || bytes.compare(0, 4, "TZif") != 0) return nullptr;
    const auto counts = [&](size_t at) {
        std::vector<long long> c;
        for (size_t i = 0; i < 6; ++i) c.push_back(bigEndian(bytes, at + 20 + 4 * i, 4));
        return c;  // isutcnt, isstdcnt, leapcnt, timecnt, typecnt, charcnt
    };
    size_t at = 0;
    size_t timeWidth = 4;
    auto c = counts(at);
    if (bytes[4] >= '2') {
        // Skip the 32-bit block for the 64-bit one that follows it.
        at += kHeader +
              static_cast<size_t>(c[3] * 4 + c[3] + c[4] * 6 + c[5] + c[2] * 8 + c[1] + c[0]);
        if (bytes.size() < at + kHeader || bytes.compare(at, 4, "TZif") != 0) return nullptr;
        c = counts(at);
        timeWidth = 8;
    }
    const size_t times = static_cast<size_t>(c[3]), types = static_cast<size_t>(c[4]);
    const size_t start = at + kHeader;
    const size_t typesAt = start + times * timeWidth + times;
    if (types == 0 || bytes.size() < typesAt + types * 6) return nullptr;

    auto zone = std::make_shared<TzZone>();
    const auto offsetOfType = [&](size_t type) {
        return static_cast<int>(bigEndian(bytes, typesAt + 6 * type, 4));
    };
    for (size_t i = 0; i < times; ++i) {
        const size_t type = static_cast<unsigned char>(bytes[start + times * timeWidth + i]);
        if (type >= types) return nullptr;
        zone->transitions_.push_back(bigEndian(bytes, start + i * timeWidth, timeWidth));
        zone->offsetsAfter_.push_back(offsetOfType(type));
    }
    zone->initialOffset_ = offsetOfType(0);
    return zone;
}

std::shared_ptr<const TzZone> TzZone::find(std::string_view name) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const TzZone>, std::less<>> cache;
    if (!plausibleName(name)) return nullptr;
    const std::lock_guard lock(mutex);
    if (const auto it = cache.find(name); it != cache.end()) return it->second;
    std::ifstream in(databaseFolder() + "/" + std::string(name), std::ios::binary);
    std::ostringstream bytes;
    if (in) bytes << in.rdbuf();
    auto zone = in ? fromBytes(bytes.str()) : nullptr;
    // Unknown names are remembered too, but only so many: a listing may
    // name a different made-up zone in each of a million programmes.
    static size_t unknown = 0;
    if (zone || unknown < kUnknownNamesKept) {
        cache.emplace(std::string(name), zone);
        if (!zone) ++unknown;
    }
    return zone;
}

int TzZone::offsetAt(long long utcSeconds) const {
    const auto after = std::upper_bound(transitions_.begin(), transitions_.end(), utcSeconds);
    if (after == transitions_.begin()) return initialOffset_;
    return offsetsAfter_[static_cast<size_t>(after - transitions_.begin() - 1)];
}

int TzZone::offsetForLocal(long long localSeconds) const {
    // Zones change their offset at most once in a day, so the offsets a
    // day either side are the only candidates.
    constexpr long long kDay = 86400;
    const int before = offsetAt(localSeconds - kDay);
    const int after = offsetAt(localSeconds + kDay);
    std::optional<long long> first;
    for (const int offset : {before, after}) {
        const long long utc = localSeconds - offset;
        if (offsetAt(utc) == offset && (!first || utc < *first)) first = utc;
    }
    // A time the clocks skip: read it with the offset in force before.
    return first ? static_cast<int>(localSeconds - *first) : before;
}

}  // namespace kelbo::guide
