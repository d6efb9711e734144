#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelbo {

// The folders the desktop keeps its applications and their associations
// in (the XDG base directories).
struct XdgFolders {
    std::string configHome;
    std::vector<std::string> configDirs;
    std::string dataHome;
    std::vector<std::string> dataDirs;
    std::vector<std::string> desktops;  // XDG_CURRENT_DESKTOP, lower case
    static XdgFolders fromEnvironment();
};

// An installed application as its desktop entry describes it.
struct DesktopApplication {
    std::string id;    // "org.videolan.VLC.desktop"
    std::string file;  // the entry's path
    std::string name;
    std::string icon;
    std::string exec;
};

// The application the user (or the system) chose to open files of
// `mimeType` with: the default in mimeapps.list, else an added
// association, else the first of the desktop's cache of entries. Hidden
// and unreadable entries do not count.
std::optional<DesktopApplication> defaultApplicationFor(const std::string& mimeType, const XdgFolders& folders);

// The command lines that open `files` in `app`, from its Exec line: one
// when it takes many files (%F, %U) or none at all; one per file when it
// takes one (%f, %u). Empty when the Exec line cannot be read.
std::vector<std::vector<std::string>> launchCommands(const DesktopApplication& app,
                                                     const std::vector<std::string>& files);
// Whether the application takes several files in one command.
bool takesManyFiles(const DesktopApplication& app);

// An extended M3U playlist of the files, in order.
std::string m3uPlaylist(const std::vector<std::string>& files);

}  // namespace kelbo
