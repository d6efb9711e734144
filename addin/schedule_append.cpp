#include "schedule_append.h"

#include "common/file_lock.h"
#include "common/host_paths.h"
#include "common/safe_links.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

AppendResult appendToSchedule(const std::string& file, std::string_view record) {
    // Taken before the file is opened: a rewrite renames a new file into
    // place, and the append must go to that one, not the replaced one.
    // The guide's own thread may wait a little for a rewrite to end.
    const FileLock lock(file, std::chrono::seconds(5));
    AppendResult result;
    if (lock.busy()) {
        result.opened = true;
        result.error = "the schedule file is locked by another program; try again";
        return result;
    }
    const LinkTarget target = resolveOwnLinks(file);
    if (!target.refused.empty()) {
        result.opened = true;
        result.error = target.refused;
        return result;
    }
    const std::string path = target.path.string();
    // A schedule made here is the user's alone, as the recorder writes it:
    // its records may name streams with a user and password.
    int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return result;
    result.opened = true;

    struct stat st {};
    const off_t before = ::fstat(fd, &st) == 0 ? st.st_size : 0;
    std::string text;
    // A hand edit may have left the last line without its end; the record
    // must not join that line.
    char last = '\n';
    if (before > 0 && ::pread(fd, &last, 1, before - 1) == 1 && last != '\n') text = "\r\n";
    text.append(record);

    std::string_view rest = text;
    int error = 0;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        rest.remove_prefix(static_cast<size_t>(n));
    }
    // Half a record would swallow the next one appended: take it back, so
    // that the file ends where it ended before.
    if (error != 0 && ::ftruncate(fd, before) != 0)
        result.error = std::string(std::strerror(error)) + "; the part written could not be removed";
    else if (error != 0)
        result.error = std::strerror(error);
    // On the disk before the lock goes, so that a rewrite right after reads it.
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL) result.error = std::strerror(errno);
    if (::close(fd) != 0 && result.error.empty()) result.error = std::strerror(errno);
    return result;
}

}  // namespace kelbo::addin
