#include "atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelbo {

namespace {

WriteOutcome failure(const std::string& what, int err) {
    return {false, what + ": " + std::strerror(err)};
}

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

WriteOutcome writeFileAtomically(const std::filesystem::path& requested, std::string_view content) {
    std::error_code ec;
    std::filesystem::path target = requested;
    if (std::filesystem::is_symlink(requested, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(requested, ec);
        if (!ec) target = resolved;
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");

    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return failure("cannot create a file in " + folder.string(), errno);
    const std::string temp = pattern;

    struct stat old {};
    mode_t mode = 0666 & ~[] { mode_t m = ::umask(0); ::umask(m); return m; }();
    if (::stat(target.c_str(), &old) == 0) mode = old.st_mode & 07777;

    WriteOutcome outcome{true, {}};
    if (!writeAll(fd, content)) outcome = failure("cannot write", errno);
    else if (::fchmod(fd, mode) != 0) outcome = failure("cannot set permissions", errno);
    else if (::fsync(fd) != 0) outcome = failure("cannot flush to disk", errno);
    if (::close(fd) != 0 && outcome.ok) outcome = failure("cannot close", errno);
    if (outcome.ok && ::rename(temp.c_str(), target.c_str()) != 0)
        outcome = failure("cannot replace the file", errno);
    if (!outcome.ok) ::unlink(temp.c_str());
    return outcome;
}

}  // namespace kelbo
