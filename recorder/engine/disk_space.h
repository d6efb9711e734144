#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelbo {

struct EncodingTemplate;

// Bytes free to the user in a stored folder path, or in its nearest folder
// that exists; none when the file system does not say.
std::optional<std::uintmax_t> freeBytesIn(const std::string& folder);

// Why the stored folder takes no new file, as the system says it
// ("Read-only file system", "Permission denied"); "" when it does. Asks
// without making a file, which others watching the folder would see.
std::string cannotWriteIn(const std::string& folder);

// Bytes a second that recording with the named template writes, from its
// video and audio bit rates.
std::uintmax_t templateBytesPerSecond(const std::string& deviceRegistryKey,
                                      const std::string& templateName);

// The state panel's tooltip: the free space and, for a template that
// encodes, how many hours of it fit, e.g. "Free space for recordings:
// 31.5 GB, about 42 hours at DVD Full Quality".
std::string freeSpaceText(std::optional<std::uintmax_t> freeBytes, const EncodingTemplate& encoding,
                          const std::string& templateName);

}  // namespace kelbo
