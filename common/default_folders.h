#pragma once

#include <string>
#include <utility>

namespace kelbo {

// Where a new user's recordings and schedule file go. Stored settings
// always win; these only fill keys that are missing.
struct DefaultFolders {
    // Both in one given folder, recordings below its "movies" (a portable
    // set-up, and the tests). Not explicit, so that a folder can be given
    // wherever the defaults are wanted.
    DefaultFolders(const std::string& oneFolder)
        : recordings(oneFolder + "/movies"), data(oneFolder) {}
    DefaultFolders(std::string recordingsFolder, std::string dataFolder)
        : recordings(std::move(recordingsFolder)), data(std::move(dataFolder)) {}

    std::string recordings;  // the file-name pattern's leading folder
    std::string data;        // holds the schedule file
};

// The desktop's folders for a user: recordings in "Kelbo" below the
// videos folder, the schedule in "kelbo" below the data folder.
DefaultFolders desktopDefaultFolders(const std::string& videosFolder);

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::string xdgDataHome();

// The user's videos folder as the desktop names it: XDG_VIDEOS_DIR of
// $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Videos.
std::string userVideosFolder();

std::string defaultScheduleFile(const DefaultFolders& folders);
std::string defaultFileString(const DefaultFolders& folders);

}  // namespace kelbo
