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

std::string cannotWriteIn(const std::string& folder) {
    const std::filesystem::path path = toHostPath(folder.empty() ? "." : folder);
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return {};
    return std::strerror(errno);
}

std::uintmax_t templateBytesPerSecond(const std::string& deviceRegistryKey,
                                      const std::string& templateName) {
    const EncodingTemplate encoding =
        readEncodingTemplate(findTemplateFile(templateKeyFor(deviceRegistryKey), templateName));
    return static_cast<std::uintmax_t>(encoding.videoKbps + encoding.audioKbps) * 1000 / 8;
}

}  // namespace kelbo
