#include "atomic_file.h"

#include "safe_links.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelbo {

namespace {

constexpr size_t kBufferBytes = size_t{256} * 1024;
// Read and written by the user alone.
constexpr mode_t kPrivate = 0600;

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& requested) : target_(requested) {
    const LinkTarget link = resolveOwnLinks(requested);
    if (!link.refused.empty()) {
        outcome_ = {false, link.refused};
        return;
    }
    target_ = link.path;
    const std::filesystem::path folder =
        target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
    std::string pattern = (folder / ("." + target_.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) fail("cannot create a file in " + folder.string(), errno);
    else temp_ = pattern;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFileWriter::fail(const std::string& what, int err) {
    if (outcome_.ok) outcome_ = {false, what + ": " + std::strerror(err)};
}

bool AtomicFileWriter::flush() {
    if (outcome_.ok && !writeAll(fd_, buffer_)) fail("cannot write", errno);
    buffer_.clear();
    return outcome_.ok;
}

bool AtomicFileWriter::write(std::string_view data) {
    if (!outcome_.ok) return false;
    if (buffer_.size() + data.size() > kBufferBytes && !flush()) return false;
    if (data.size() >= kBufferBytes) {
        if (!writeAll(fd_, data)) fail("cannot write", errno);
        return outcome_.ok;
    }
    buffer_.append(data);
    return true;
}

WriteOutcome AtomicFileWriter::commit(const std::function<bool()>& stillAsRead) {
    if (!outcome_.ok || !flush()) return outcome_;
    struct stat old {};
    mode_t mode = kPrivate;
    if (::stat(target_.c_str(), &old) == 0) mode = old.st_mode & kPrivate;
    if (::fchmod(fd_, mode) != 0) fail("cannot set permissions", errno);
    else if (::fsync(fd_) != 0) fail("cannot flush to disk", errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) fail("cannot close", errno);
    if (outcome_.ok && stillAsRead && !stillAsRead()) {
        outcome_ = {false, "the file was changed by another program while it was rewritten", true};
        return outcome_;
    }
    if (outcome_.ok && ::rename(temp_.c_str(), target_.c_str()) != 0)
        fail("cannot replace the file", errno);
    if (!outcome_.ok) return outcome_;
    temp_.clear();  // renamed: nothing left to remove
    // The rename itself reaches the disk only with its folder.
    const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return outcome_;
}

int removeStaleTemporaries(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const std::string prefix = "." + target.filename().string() + ".";
    constexpr size_t kSuffix = 6;  // mkstemp's XXXXXX
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + kSuffix || name.compare(0, prefix.size(), prefix) != 0) continue;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        const auto modified = std::chrono::system_clock::from_time_t(st.st_mtime);
        if (now - modified < std::chrono::hours(1)) continue;  // a rewrite may be under way
        if (::unlink(it->path().c_str()) == 0) ++removed;
    }
    return removed;
}

WriteOutcome writeFileAtomically(const std::filesystem::path& target, std::string_view content) {
    AtomicFileWriter writer(target);
    writer.write(content);
    return writer.commit();
}

}  // namespace kelbo
