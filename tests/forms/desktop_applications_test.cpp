// Which application opens a recording or a folder, and its command line,
// read from desktop entries and association lists as desktops leave them.
#include "recorder/forms/desktop_applications.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

class DesktopApplicationsTest : public ::testing::Test {
protected:
    DesktopApplicationsTest() {
        folders.configHome = (dir / "config").string();
        folders.configDirs = {(dir / "etc-xdg").string()};
        folders.dataHome = (dir / "local").string();
        folders.dataDirs = {(dir / "usr-local").string(), (dir / "usr").string()};
        folders.desktops = {"xfce"};
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directories(dir / "local" / "applications");
        std::filesystem::create_directories(dir / "usr" / "applications");
    }
    void entry(const std::string& where, const std::string& id, const std::string& text) {
        writeFile(dir / where / "applications" / id, text);
    }

    TempDir dir;
    XdgFolders folders;
};

}  // namespace

TEST_F(DesktopApplicationsTest, TheUsersDefaultWinsThenAddedThenTheSystemsCache) {
    EXPECT_FALSE(defaultApplicationFor("video/mpeg", folders)) << "a desktop without a player";

    entry("usr", "mpv.desktop", "[Desktop Entry]\nType=Application\nName=mpv Media Player\nExec=mpv --player-operation-mode=pseudo-gui -- %U\nIcon=mpv\n");
    entry("usr", "vlc.desktop",
          "[Desktop Entry]\r\nName=VLC media player\r\nName[de]=VLC Media Player\r\nExec=/usr/bin/vlc --started-from-file %U\r\n"
          "[Desktop Action new]\r\nExec=vlc --new\r\n");
    writeFile(dir / "usr" / "applications" / "mimeinfo.cache",
              "[MIME Cache]\napplication/ogg=vlc.desktop;\nvideo/mpeg=gone.desktop;vlc.desktop;mpv.desktop;\n");
    auto app = defaultApplicationFor("video/mpeg", folders);
    ASSERT_TRUE(app);
    EXPECT_EQ(app->id, "vlc.desktop") << "the cache's first installed entry";
    EXPECT_EQ(app->name, "VLC media player");
    EXPECT_EQ(app->exec, "/usr/bin/vlc --started-from-file %U") << "not a desktop action's";

    writeFile(dir / "config" / "mimeapps.list",
              "# written by the file manager\n[Added Associations]\nvideo/mpeg=mpv.desktop;\n\n"
              "[Default Applications]\nvideo/x-matroska=vlc.desktop\n");
    EXPECT_EQ(defaultApplicationFor("video/mpeg", folders)->id, "mpv.desktop");

    // The user's own entry hides the system's; a desktop's own list comes first.
    entry("local", "celluloid.desktop", "[Desktop Entry]\nName=Celluloid\nExec=celluloid %F\n");
    entry("local", "hidden.desktop", "[Desktop Entry]\nName=Gone\nExec=gone %F\nHidden=true\n");
    writeFile(dir / "config" / "xfce-mimeapps.list",
              "[Default Applications]\nvideo/mpeg = hidden.desktop;../../../../bin/sh;celluloid.desktop;\n");
    EXPECT_EQ(defaultApplicationFor("video/mpeg", folders)->id, "celluloid.desktop");
}

TEST_F(DesktopApplicationsTest, TheExecLineGivesOneCommandForAllPartsOrOnePerFile) {
    const std::vector<std::string> parts{"/v/Tom & Jerry1[1.2].mpg", "/v/Tom & Jerry1[2.2].mpg"};
    DesktopApplication many{"celluloid.desktop", "/usr/share/applications/celluloid.desktop", "Celluloid", "io.celluloid",
                            "celluloid --new-window %F %i"};
    EXPECT_TRUE(takesManyFiles(many));
    EXPECT_EQ(launchCommands(many, parts),
              (std::vector<std::vector<std::string>>{{"celluloid", "--new-window", parts[0], parts[1], "--icon",
                                                      "io.celluloid"}}));

    DesktopApplication urls{"vlc.desktop", "", "VLC", "", "/usr/bin/vlc --started-from-file %U"};
    EXPECT_EQ(launchCommands(urls, {"/v/Tom & Jerry1[1.1].mpg"}),
              (std::vector<std::vector<std::string>>{
                  {"/usr/bin/vlc", "--started-from-file", "file:///v/Tom%20%26%20Jerry1%5B1.1%5D.mpg"}}));

    DesktopApplication one{"totem.desktop", "", "Videos", "", R"(sh -c "exec totem \"\$1\"" totem %f)"};
    EXPECT_FALSE(takesManyFiles(one));
    EXPECT_EQ(launchCommands(one, parts),
              (std::vector<std::vector<std::string>>{{"sh", "-c", "exec totem \"$1\"", "totem", parts[0]},
                                                     {"sh", "-c", "exec totem \"$1\"", "totem", parts[1]}}));

    DesktopApplication bare{"old.desktop", "", "Old", "", "oldplayer -fs"};
    EXPECT_EQ(launchCommands(bare, parts),
              (std::vector<std::vector<std::string>>{{"oldplayer", "-fs", parts[0], parts[1]}}));

    DesktopApplication broken{"bad.desktop", "", "Bad", "", "player \"%F"};
    EXPECT_TRUE(launchCommands(broken, parts).empty()) << "an unclosed quote";
}

TEST(M3uPlaylist, ListsThePartsInOrder) {
    EXPECT_EQ(m3uPlaylist({"/v/Film1[1.2].mpg", "/v/Film1[2.2].mpg", "/v/bad\nname.mpg"}),
              "#EXTM3U\n/v/Film1[1.2].mpg\n/v/Film1[2.2].mpg\n");
}
