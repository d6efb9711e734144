// The folders a new user's recordings and schedule file default to, from
// the desktop's environment.
#include "common/default_folders.h"
#include "common/settings_keys.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

class DefaultFoldersTest : public ::testing::Test {
protected:
    std::string home() const { return dir.path().string(); }
    void writeUserDirs(const std::string& text, const std::string& config = ".config") const {
        std::filesystem::create_directories(dir / config);
        writeFile(dir / config / "user-dirs.dirs", text);
    }

    TempDir dir;
    ScopedEnvironment env{{"HOME", dir.path().string()},
                          {"XDG_CONFIG_HOME", std::nullopt},
                          {"XDG_DATA_HOME", std::nullopt}};
};

TEST_F(DefaultFoldersTest, WithoutXdgVariablesTheHomeFoldersAreUsed) {
    EXPECT_EQ(xdgDataHome(), home() + "/.local/share");
    EXPECT_EQ(userVideosFolder(), home() + "/Videos");

    const DefaultFolders folders = desktopDefaultFolders(userVideosFolder());
    EXPECT_EQ(defaultScheduleFile(folders), home() + "/.local/share/kelbo/KelboSchedule.txt");
    EXPECT_EQ(defaultFileString(folders), home() + "/Videos/Kelbo/%startdate%/%programme%-%starttime%.mpg");
    EXPECT_EQ(settings::defaultValue(settings::kFileString, folders), defaultFileString(folders));
}

TEST_F(DefaultFoldersTest, XdgDataHomeIsFollowedOnlyWhenAbsolute) {
    {
        ScopedEnvironment data{{"XDG_DATA_HOME", home() + "/data"}};
        EXPECT_EQ(defaultScheduleFile(desktopDefaultFolders("/v")), home() + "/data/kelbo/KelboSchedule.txt");
    }
    ScopedEnvironment relative{{"XDG_DATA_HOME", "data"}};
    EXPECT_EQ(xdgDataHome(), home() + "/.local/share");
}

TEST_F(DefaultFoldersTest, TheVideosFolderIsTheOneTheDesktopNames) {
    writeUserDirs("# written by xdg-user-dirs-update\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n"
                  "XDG_VIDEOS_DIR=\"$HOME/Filme/\"\n");
    EXPECT_EQ(userVideosFolder(), home() + "/Filme");

    writeUserDirs("XDG_VIDEOS_DIR=\"/srv/tv\"\n");
    EXPECT_EQ(userVideosFolder(), "/srv/tv");

    // A relative entry is not a folder the desktop would use.
    writeUserDirs("XDG_VIDEOS_DIR=\"Videos\"\n");
    EXPECT_EQ(userVideosFolder(), home() + "/Videos");

    ScopedEnvironment config{{"XDG_CONFIG_HOME", home() + "/cfg"}};
    writeUserDirs("XDG_VIDEOS_DIR=\"$HOME/Clips\"\n", "cfg");
    EXPECT_EQ(userVideosFolder(), home() + "/Clips");
}

TEST(DefaultFolders, OneFolderHoldsTheScheduleAndTheMoviesBelowIt) {
    const DefaultFolders folders("/opt/kelbo");
    EXPECT_EQ(defaultScheduleFile(folders), "/opt/kelbo/KelboSchedule.txt");
    EXPECT_EQ(defaultFileString(folders), "/opt/kelbo/movies/%startdate%/%programme%-%starttime%.mpg");
}

}  // namespace
