#include "own_files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelbo {

std::optional<OwnFile> ownRegularFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return std::nullopt;
    return OwnFile{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                  static_cast<std::uint64_t>(st.st_size)};
}

namespace {

// rename() that fails with EEXIST instead of replacing `to`.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without the flag: look first, as narrowly as it can be.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

}  // namespace

OwnRename renameOwnFile(const std::string& from, const std::string& to) {
    const std::optional<OwnFile> before = ownRegularFile(from);
    if (!before) return OwnRename::NotOwn;
    if (renameNoReplace(from, to) != 0) return errno == EEXIST ? OwnRename::Taken : OwnRename::Failed;
    // Whoever may write to the folder could have put something else under
    // `from` since it was looked at: that goes back, unnamed by us.
    const std::optional<OwnFile> after = ownRegularFile(to);
    if (!after || !after->sameFileAs(*before)) {
        renameNoReplace(to, from);
        return OwnRename::NotOwn;
    }
    return OwnRename::Renamed;
}

}  // namespace kelbo
