#include "part_file.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kelbo {

namespace {

constexpr int kBufferBytes = 64 * 1024;

// Making, replacing and removing part files happen under one lock, so that
// "is this name still mine" and the removal that follows are one step for
// every part of the process (every tuner's device included).
std::mutex& namesLock() {
    static std::mutex lock;
    return lock;
}

// The files parts of this process are writing, by device and inode.
std::set<std::pair<dev_t, ino_t>>& filesBeingWritten() {
    static std::set<std::pair<dev_t, ino_t>> files;
    return files;
}

int openNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// An empty regular file of the user's own that no part is writing: a
// leftover that may be made anew. Anything else under the name is kept.
bool mayReplace(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0) return false;
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_size == 0 &&
           !filesBeingWritten().contains({st.st_dev, st.st_ino});
}

std::string folderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? path : folder;
}

}  // namespace

std::unique_ptr<PartFile> PartFile::create(const std::string& path, DeviceFailure* failure) {
    const auto refuse = [&](int systemError, const std::string& why) -> std::unique_ptr<PartFile> {
        if (failure) *failure = {fileFault(systemError), "Cannot write " + folderOf(path) + ": " + why};
        return nullptr;
    };
    std::lock_guard lock(namesLock());
    int fd = openNew(path);
    if (fd < 0 && errno == EEXIST && mayReplace(path) && ::unlink(path.c_str()) == 0) fd = openNew(path);
    if (fd < 0) {
        const int systemError = errno;
        if (systemError == EEXIST)
            return refuse(systemError, std::filesystem::path(path).filename().string() +
                                           " exists already and is not written over");
        return refuse(systemError, std::strerror(systemError));
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        const int systemError = errno;
        ::close(fd);
        ::unlink(path.c_str());
        return refuse(systemError, std::strerror(systemError));
    }
    std::unique_ptr<PartFile> file(new PartFile(path, fd, st.st_dev, st.st_ino));
    filesBeingWritten().insert({st.st_dev, st.st_ino});
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (buffer)
        file->io_ = avio_alloc_context(buffer, kBufferBytes, 1, file.get(), nullptr, &PartFile::write, &PartFile::seek);
    if (!file->io_) {
        av_free(buffer);
        ::unlink(path.c_str());
        return refuse(ENOMEM, std::strerror(ENOMEM));
    }
    return file;
}

PartFile::PartFile(std::string path, int descriptor, dev_t device, ino_t inode)
    : path_(std::move(path)), fd_(descriptor), device_(device), inode_(inode) {}

PartFile::~PartFile() { close(); }

int PartFile::write(void* opaque, std::uint8_t* data, int size) {
    auto* file = static_cast<PartFile*>(opaque);
    int done = 0;
    while (done < size) {
        const ssize_t n = ::write(file->fd_, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int code = AVERROR(n < 0 ? errno : EIO);
            if (!file->firstError_) file->firstError_ = code;
            return code;
        }
        done += static_cast<int>(n);
    }
    return size;
}

std::int64_t PartFile::seek(void* opaque, std::int64_t offset, int whence) {
    auto* file = static_cast<PartFile*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat st{};
        return ::fstat(file->fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(file->fd_, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : static_cast<std::int64_t>(at);
}

int PartFile::close(Removal removal) {
    if (fd_ < 0) return firstError_;
    if (io_) {
        avio_flush(io_);
        if (!firstError_ && io_->error < 0) firstError_ = io_->error;
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    {
        std::lock_guard lock(namesLock());
        struct stat st{};
        const bool stillMine =
            ::lstat(path_.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
        if (stillMine && (removal == Removal::Always || (removal == Removal::IfEmpty && st.st_size == 0)))
            removed_ = ::unlink(path_.c_str()) == 0;
        filesBeingWritten().erase({device_, inode_});
    }
    // A network or quota file system may tell of a failed write only here.
    if (::close(fd_) != 0 && !firstError_) firstError_ = AVERROR(errno);
    fd_ = -1;
    return firstError_;
}

}  // namespace kelbo
