#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelbo {

// Bytes free to the user in a stored folder path, or in its nearest folder
// that exists; none when the file system does not say.
std::optional<std::uintmax_t> freeBytesIn(const std::string& folder);

// Why a new file of that stored name cannot be made in its folder, as the
// system says it ("Read-only file system"); "" when it can. Leaves nothing
// behind.
std::string cannotCreate(const std::string& file);

// Bytes a second that recording with the named template writes, from its
// video and audio bit rates.
std::uintmax_t templateBytesPerSecond(const std::string& deviceRegistryKey,
                                      const std::string& templateName);

}  // namespace kelbo
