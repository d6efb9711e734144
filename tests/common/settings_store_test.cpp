#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace kelbo;
using kelbo::testing::TempDir;
using kelbo::testing::readFile;
using kelbo::testing::writeFile;

TEST(SettingsStore, LivesUnderTheXdgConfigFolder) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(SettingsStore::defaultLocation(), "/tmp/cfg/kelbo/registry.ini");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(SettingsStore::defaultLocation(),
              std::filesystem::path(std::getenv("HOME")) / ".config/kelbo/registry.ini");
    if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}

TEST(SettingsStore, WritesSectionsByFullKeyPathInInsertionOrder) {
    TempDir dir;
    SettingsStore store(dir / "kelbo" / "registry.ini");
    EXPECT_EQ(store.GetSetting("Defaults", "StartBuffer", "0"), "0");
    EXPECT_FALSE(std::filesystem::exists(dir / "kelbo")) << "reading created something";

    ASSERT_TRUE(store.SaveSetting("Defaults", "StartBuffer", "2"));
    ASSERT_TRUE(store.SaveSetting("DG Templates", "DEFAULT Template", "1"));
    ASSERT_TRUE(store.SaveSetting("Defaults", "FileString", " a = b \nc"));
    ASSERT_TRUE(store.SaveSetting("DG Templates", "Half", "1"));
    ASSERT_TRUE(store.SaveSetting("defaults", "startbuffer", "3"));  // names ignore case
    EXPECT_EQ(readFile(store.file()),
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n"
              "StartBuffer=3\n"
              "FileString= a = b  c\n"
              "\n"
              "[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\n"
              "DEFAULT Template=1\n"
              "Half=1\n");
    EXPECT_EQ(store.GetSetting("Defaults", "FileString"), " a = b  c");
    const SettingsStore::Values templates = store.GetAllSettings("DG Templates");
    ASSERT_EQ(templates.size(), 2u);
    EXPECT_EQ(templates[0].first, "DEFAULT Template");
    EXPECT_EQ(templates[1].first, "Half");

    EXPECT_TRUE(store.DeleteSetting("DG Templates"));
    EXPECT_FALSE(store.DeleteSetting("DG Templates"));
    EXPECT_TRUE(store.GetAllSettings("DG Templates").empty());
    EXPECT_EQ(store.GetSetting("Defaults", "StartBuffer"), "3");
    EXPECT_FALSE(store.SaveSetting("Defaults", "a=b", "x"));
}

TEST(SettingsStore, ReadsAHandEditedFileAndIgnoresWhatDoesNotParse) {
    TempDir dir;
    writeFile(dir / "r.ini",
              "junk line\r\nx=outside any section\r\n"
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\r\n"
              "Template=DVD\r\n=no name\r\nno equals\r\nTemplate=second ignored\r\n"
              "ScheduleFile=/home/u/s.txt\r\n");
    SettingsStore store(dir / "r.ini");
    EXPECT_EQ(store.GetSetting("Defaults", "Template"), "DVD");
    EXPECT_EQ(store.GetSetting("Defaults", "ScheduleFile"), "/home/u/s.txt");
    EXPECT_EQ(store.GetAllSettings("Defaults").size(), 2u);
    EXPECT_EQ(store.GetSetting("Defaults", "x", "d"), "d");
}

// A hand-edited file may repeat a section, in another case: its parts read
// as one, the first of a repeated name winning, on disk as in memory.
TEST(SettingsStore, ASectionInPartsReadsAsOneOnDiskAndInMemory) {
    const std::string text =
        "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nA=1\nB=2\n"
        "[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\nA=other\n"
        "[software\\vb and vba program settings\\kelbo\\DEFAULTS]\r\nb=3\r\nC=4\r\n";
    TempDir dir;
    writeFile(dir / "r.ini", text);
    for (SettingsStore store : {SettingsStore(dir / "r.ini"), SettingsStore::inMemory(text)}) {
        EXPECT_EQ(store.GetAllSettings("Defaults"), (SettingsStore::Values{{"A", "1"}, {"B", "2"}, {"C", "4"}}));
        EXPECT_EQ(store.GetSetting("Defaults", "b"), "2");
        ASSERT_TRUE(store.SaveSetting("Defaults", "c", "5"));
        EXPECT_EQ(store.GetAllSettings("Defaults"), (SettingsStore::Values{{"A", "1"}, {"B", "2"}, {"C", "5"}}));
        EXPECT_EQ(store.GetSetting("DG Templates", "a"), "other");
    }
    EXPECT_EQ(readFile(dir / "r.ini"),
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nA=1\nB=2\nC=5\n\n"
              "[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\nA=other\n");
}

TEST(SettingsStore, SkipsAByteOrderMarkBeforeTheFirstSection) {
    TempDir dir;
    writeFile(dir / "r.ini",
              "\xEF\xBB\xBF[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\r\n"
              "Template=DVD\r\n");
    SettingsStore store(dir / "r.ini");
    EXPECT_EQ(store.GetSetting("Defaults", "Template"), "DVD");
    ASSERT_TRUE(store.SaveSetting("Defaults", "StartBuffer", "2"));
    EXPECT_EQ(readFile(dir / "r.ini"),
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nTemplate=DVD\nStartBuffer=2\n");
}

// A store that has gathered tens of thousands of keys (a column layout per
// template, say) must still open at once: reading is one pass.
TEST(SettingsStore, ThirtyThousandKeysReadAndWriteInWellUnderASecond) {
    TempDir dir;
    std::string text = "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n";
    for (int i = 0; i < 30000; ++i) text += "Extra" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
    text += "Template=DVD\n";
    writeFile(dir / "r.ini", text);
    SettingsStore store(dir / "r.ini");
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(store.GetSetting("Defaults", "template"), "DVD");
    EXPECT_EQ(store.GetAllSettings("Defaults").size(), 30001u);
    ASSERT_TRUE(store.SaveSetting("Defaults", "Extra29999", "changed"));
    EXPECT_EQ(store.GetSetting("Defaults", "EXTRA29999"), "changed");
    // About 0.1 s on a busy machine; a pass per key took minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(3));
}

TEST(SettingsKeys, DefaultsOfEveryKey) {
    using namespace settings;
    const std::string folder = "/opt/kelbo";
    EXPECT_EQ(defaultValue(kStartBuffer, folder), "0");
    EXPECT_EQ(defaultValue(kAutoLoadSchedule, folder), "1");
    EXPECT_EQ(defaultValue(kExpertMode, folder), "0");
    EXPECT_EQ(defaultValue(kSplitType, folder), "None");
    EXPECT_EQ(defaultValue(kSplitValue, folder), "");
    EXPECT_EQ(defaultValue(kTuners, folder), "1");
    EXPECT_EQ(defaultValue(kTemplate, folder), "");
    EXPECT_EQ(defaultValue(kScheduleFile, folder), "");
    EXPECT_EQ(defaultValue(kFileString, folder),
              "/opt/kelbo/movies/%startdate%/%programme%-%starttime%.mpg");
    EXPECT_EQ(defaultValue(kPositionWidth, folder), "9600");
    EXPECT_EQ(defaultValue(kPositionHeight, folder), "6000");
    EXPECT_EQ(defaultValue("i_IndexString", folder), "");
    EXPECT_EQ(allDefaultsKeys().size(), 25u + 30u);
}
