#include "disk_space.h"

#include "recorder/device/templates.h"
#include "status_texts.h"
#include "common/host_paths.h"
#include "recorder/ports/translation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace kelbo {

namespace {
std::uintmax_t bytesPerSecondOf(const EncodingTemplate& encoding) {
    return static_cast<std::uintmax_t>(encoding.videoKbps + encoding.audioKbps) * 1000 / 8;
}
}  // namespace

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
    return bytesPerSecondOf(encoding);
}

std::string freeSpaceText(std::optional<std::uintmax_t> freeBytes, const EncodingTemplate& encoding,
                          const std::string& templateName) {
    if (!freeBytes) return translate("DiskSpace", "Free space for recordings: unknown");
    std::string text =
        fillIn(translate("DiskSpace", "Free space for recordings: %1"),
               {Format_Byte_Size(static_cast<std::int64_t>(
                   std::min<std::uintmax_t>(*freeBytes, std::numeric_limits<std::int64_t>::max())))});
    // A stream copy writes what the stream brings: no rate to tell.
    if (encoding.streamCopy) return text;
    const std::uintmax_t bytesPerSecond = bytesPerSecondOf(encoding);
    if (bytesPerSecond == 0) return text;
    char hours[32];
    std::snprintf(hours, sizeof hours, "%.1f", static_cast<double>(*freeBytes) / static_cast<double>(bytesPerSecond) / 3600.0);
    return fillIn(translate("DiskSpace", "%1, about %2 hours at %3"), {text, hours, templateName});
}

}  // namespace kelbo
