#include "schedule_slots.h"

#include "common/channel_names.h"
#include "common/schedule_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

namespace kelbo::guide {

namespace {

// The file's first `limit` bytes; empty when it is not a regular file or
// cannot be read. O_NONBLOCK keeps a fifo put at the path from holding the
// open.
std::string readRegularFile(const std::string& path, size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {};
    std::string bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.resize(std::min(limit, static_cast<size_t>(std::max<off_t>(st.st_size, 0))));
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    return bytes;
}

std::string slotOf(const std::string& date, const std::string& time, const std::string& number) {
    return programmeSlotKey(date, time, number, {});
}

}  // namespace

void forEachScheduled(const std::string& scheduleFile, const std::function<void(const ScheduleItem&)>& each,
                      size_t limit) {
    std::istringstream in(readRegularFile(scheduleFile, limit));
    ScheduleReader reader(in);
    while (const auto record = reader.next())
        if (record->accepted) each(record->item);
}

ScheduleSlots ScheduleSlots::read(const std::string& scheduleFile) {
    ScheduleSlots found;
    forEachScheduled(scheduleFile, [&found](const ScheduleItem& item) { found.add(item); });
    return found;
}

void ScheduleSlots::add(const ScheduleItem& item) {
    const auto date = DateTime::parseDate(item.StartDate);
    const auto time = DateTime::parseTime(item.StartTime);
    names_.emplace(slotOf(date ? date->formatDate() : item.StartDate, time ? time->formatTime() : item.StartTime,
                          item.ChannelNumber),
                   item.ChannelName);
}

bool ScheduleSlots::holds(const DateTime& start, const std::string& channelNumber,
                          const std::string& channelName) const {
    if (names_.empty()) return false;
    const auto [from, to] = names_.equal_range(slotOf(start.formatDate(), start.formatTime(), channelNumber));
    // The add-in writes each line break of a name as a space.
    std::string name = channelName;
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const std::string folded = foldCase(name);
    return std::any_of(from, to, [&](const auto& slot) {
        return foldCase(slot.second) == folded || sameChannelName(slot.second, name);
    });
}

}  // namespace kelbo::guide
