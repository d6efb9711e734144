#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo::guide {

// The rules of one zone of the tz database, read from its compiled file
// (TZif, as in /usr/share/zoneinfo). Debian installs the files with every
// transition up to 2037 written out; past the last one the last offset
// holds.
class TzZone {
public:
    // Null when the name is not a zone of the database on this machine.
    static std::shared_ptr<const TzZone> find(std::string_view name);
    static std::shared_ptr<const TzZone> fromBytes(const std::string& bytes);

    // Seconds east of UTC at a real instant (seconds since 1970, UTC).
    int offsetAt(long long utcSeconds) const;
    // Seconds east of UTC for a wall-clock time (seconds since 1970 as if
    // the wall clock were UTC). A time that occurs twice means its first
    // occurrence.
    int offsetForLocal(long long localSeconds) const;

private:
    std::vector<long long> transitions_;  // ascending, UTC seconds
    std::vector<int> offsetsAfter_;       // the offset from each transition on
    int initialOffset_ = 0;
};

}  // namespace kelbo::guide
