#include "small_disk.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/mount.h>

namespace kelbo::testing {

SmallDisk::SmallDisk(const std::filesystem::path& folder, const std::string& size) : folder_(folder) {
    std::filesystem::create_directories(folder);
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    error_ = errno;
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

std::string SmallDisk::why() const { return std::strerror(error_); }

void SmallDisk::fill(const std::filesystem::path& file) const {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return;
    const std::string chunk(256 * 1024, 'x');
    while (std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size() && std::fflush(out) == 0) {
    }
    std::fclose(out);
}

}  // namespace kelbo::testing
