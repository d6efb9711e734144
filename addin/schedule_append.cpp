#include "schedule_append.h"

#include "common/file_lock.h"
#include "common/host_paths.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kelbo::addin {

namespace {

std::string text(const char* value) { return value ? value : ""; }

std::string timeText(const KelboSystemTime& t) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", t.hour, t.minute);
    return buffer;
}

std::string dateText(const KelboSystemTime& t) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d", t.day, t.month, t.year);
    return buffer;
}

}  // namespace

std::string scheduleFileFor(const SettingsStore& store) {
    const std::string stored = store.GetSetting(settings::kDefaults, settings::kScheduleFile);
    return toHostPath(stored.empty() ? "c:\\KelboSchedule.txt" : stored);
}

ScheduleItem itemFromProgramme(const KelboProgramme& p, const std::string& templateName) {
    ScheduleItem item;
    item.ProgrammeName = text(p.name);
    item.StartTime = timeText(p.start);
    item.StartDate = dateText(p.start);
    item.ChannelNumber = text(p.channelNumber);
    item.ChannelName = text(p.channelName);
    item.Duration = std::to_string(p.duration);
    item.Category = text(p.category);
    item.ReminderID = std::to_string(p.reminderId);
    item.SmartSearchID = std::to_string(p.smartSearchId);
    item.FavouriteID = std::to_string(p.favouriteId);
    item.Description = text(p.description);
    if (templateName != settings::kDefaultTemplateEntry) item.Template = templateName;
    return item;
}

bool appendToSchedule(const std::string& file, std::string_view record) {
    // Taken before the file is opened: a rewrite renames a new file into
    // place, and the append must go to that one, not the replaced one.
    const FileLock lock(file);
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !record.empty()) {
        const ssize_t n = ::write(fd, record.data(), record.size());
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) record.remove_prefix(static_cast<size_t>(n));
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace kelbo::addin
