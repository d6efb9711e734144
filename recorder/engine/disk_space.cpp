#include "disk_space.h"

#include "recorder/device/templates.h"
#include "common/host_paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace kelbo {

std::optional<std::uintmax_t> freeBytesIn(const std::string& folder) {
    std::filesystem::path path = toHostPath(folder.empty() ? "." : folder);
    std::error_code ec;
    while (!path.empty() && !std::filesystem::exists(path, ec)) {
        if (path == path.parent_path()) break;
        path = path.parent_path();
    }
    const auto info = std::filesystem::space(path.empty() ? "." : path, ec);
    if (ec) return std::nullopt;
    return info.available;
}

std::string cannotCreate(const std::string& file) {
    const std::filesystem::path path = toHostPath(file);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno == EEXIST ? std::string() : std::strerror(errno);
    ::close(fd);
    ::unlink(path.c_str());
    return {};
}

std::uintmax_t templateBytesPerSecond(const std::string& deviceRegistryKey,
                                      const std::string& templateName) {
    const EncodingTemplate encoding =
        readEncodingTemplate(findTemplateFile(templateKeyFor(deviceRegistryKey), templateName));
    return static_cast<std::uintmax_t>(encoding.videoKbps + encoding.audioKbps) * 1000 / 8;
}

}  // namespace kelbo
