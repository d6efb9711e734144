#include "safe_links.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace kelbo {

namespace {

bool sharedFolder(const struct stat& folder) {
    return (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
}

}  // namespace

LinkTarget resolveOwnLinks(const std::filesystem::path& path) {
    std::filesystem::path at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(at.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return {at, {}};
        const std::filesystem::path folder = at.has_parent_path() ? at.parent_path() : ".";
        struct stat shared {};
        if (link.st_uid != ::geteuid() && ::stat(folder.c_str(), &shared) == 0 && sharedFolder(shared))
            return {at, at.string() + " is a symbolic link of another user in the shared folder " + folder.string()};
        char target[PATH_MAX];
        const ssize_t length = ::readlink(at.c_str(), target, sizeof target);
        if (length < 0 || static_cast<size_t>(length) >= sizeof target) return {at, at.string() + " cannot be read"};
        const std::filesystem::path next(std::string(target, static_cast<size_t>(length)));
        at = next.is_absolute() ? next : folder / next;
    }
    return {path, path.string() + ": too many levels of symbolic links"};
}

}  // namespace kelbo
