#include "default_folders.h"

#include <cstdlib>
#include <fstream>

namespace kelbo {

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

std::string absoluteFromEnvironment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? std::string(value) : fallback;
}

// A user-dirs.dirs value: "$HOME/Videos" or "/absolute/path", quoted.
std::string userDirsValue(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    return value;
}

}  // namespace

std::string xdgDataHome() {
    return absoluteFromEnvironment("XDG_DATA_HOME", homeFolder() + "/.local/share");
}

std::string userVideosFolder() {
    const std::string config = absoluteFromEnvironment("XDG_CONFIG_HOME", homeFolder() + "/.config");
    std::ifstream dirs(config + "/user-dirs.dirs");
    const std::string key = "XDG_VIDEOS_DIR=";
    for (std::string line; std::getline(dirs, line);) {
        if (line.rfind(key, 0) != 0) continue;
        std::string folder = userDirsValue(line.substr(key.size()));
        if (!folder.empty() && folder.front() == '/') return folder;
    }
    return homeFolder() + "/Videos";
}

DefaultFolders desktopDefaultFolders(const std::string& videosFolder) {
    return {videosFolder + "/Kelbo", xdgDataHome() + "/kelbo"};
}

std::string defaultScheduleFile(const DefaultFolders& folders) {
    return folders.data + "/KelboSchedule.txt";
}

std::string defaultFileString(const DefaultFolders& folders) {
    return folders.recordings + "/%startdate%/%programme%-%starttime%.mpg";
}

}  // namespace kelbo
