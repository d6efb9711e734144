#pragma once

#include <filesystem>
#include <string>

namespace kelbo {

struct LinkTarget {
    std::filesystem::path path;  // the file a write should go to
    std::string refused;         // why the write must not happen; empty when it may
};

// Where a file named by `path` really is when it is a symbolic link (or a
// chain of them). A link is followed only when it is the user's own or does
// not stand in a shared folder (sticky and writable by all, such as /tmp):
// a link another user planted there must not turn the user's write into the
// overwriting of another of the user's files. The link's own folder is
// checked; the folders above it are the kernel's to guard.
LinkTarget resolveOwnLinks(const std::filesystem::path& path);

}  // namespace kelbo
