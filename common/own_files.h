#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelbo {

// The file a name led to when it was looked at.
struct OwnFile {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    bool sameFileAs(const OwnFile& other) const { return device == other.device && inode == other.inode; }
};

// The file `path` names when the name itself (never through a symbolic
// link) is a regular file of the user's own. In a folder other users may
// write to, anything else under one of the recorder's names may be theirs,
// planted to be renamed, counted or played as the user's.
std::optional<OwnFile> ownRegularFile(const std::string& path);

enum class OwnRename { Renamed, Taken, NotOwn, Failed };

// Gives the user's own regular file `from` the name `to`: never a link or
// another user's file, and never over anything `to` already names.
OwnRename renameOwnFile(const std::string& from, const std::string& to);

}  // namespace kelbo
