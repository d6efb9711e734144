#include "unwritable_folder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kelbo::testing {

namespace {

bool setImmutable(const std::filesystem::path& folder, bool on, std::string* why) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (why) *why = std::strerror(errno);
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!done && why) *why = std::string("cannot set the immutable attribute: ") + std::strerror(errno);
    ::close(fd);
    return done;
}

}  // namespace

UnwritableFolder::UnwritableFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    if (::geteuid() == 0) {
        immutable_ = applied_ = setImmutable(folder_, true, &why_);
    } else {
        std::error_code ec;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove, ec);
        applied_ = !ec;
        if (ec) why_ = ec.message();
    }
    if (!applied_) return;
    const std::filesystem::path probe = folder_ / "probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
        release();
        why_ = "the folder still takes new files";
        return;
    }
    reason_ = std::strerror(errno);
}

void UnwritableFolder::release() {
    if (!applied_) return;
    applied_ = false;
    if (immutable_) {
        setImmutable(folder_, false, nullptr);
    } else {
        std::error_code ec;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ec);
    }
}

}  // namespace kelbo::testing
