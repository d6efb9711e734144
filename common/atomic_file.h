#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kelbo {

struct WriteOutcome {
    bool ok = false;
    std::string error;  // the reason, in words, when !ok
};

// Writes `content` to a temporary file in the target's folder, flushes it to
// disk and renames it over `target`. On any failure the old file is left as
// it was. An existing file keeps its permissions; a symbolic link keeps
// pointing at the (replaced) file it names.
WriteOutcome writeFileAtomically(const std::filesystem::path& target, std::string_view content);

}  // namespace kelbo
