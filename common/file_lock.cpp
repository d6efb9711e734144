#include "file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kelbo {

FileLock::FileLock(const std::string& file, std::chrono::milliseconds patience) {
    // No link is followed, and a lock file that is not the user's own is
    // not used: another user could otherwise hold it for ever.
    const int fd = ::open(lockPathFor(file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    // A holder that lets go only for moments (a recorder rewriting again and
    // again) is caught by trying often.
    for (int tries = 0;; ++tries) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            busy_ = false;
            return;
        }
        const int error = errno;
        if (error == EINTR) continue;
        busy_ = error == EWOULDBLOCK;
        if (!busy_ || std::chrono::steady_clock::now() >= giveUp) break;
        if (tries < 100) std::this_thread::yield();
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::close(fd);
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace kelbo
