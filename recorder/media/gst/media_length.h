#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelbo {

// How long the media in a recorded file plays, in milliseconds, from its
// time stamps; nothing when the file cannot be read or tells no length.
std::optional<std::int64_t> mediaLengthOf(const std::string& file);

}  // namespace kelbo
