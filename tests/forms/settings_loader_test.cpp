// Loading and saving the settings: first run, the stored forms, the guide
// template ticks, and values of the wrong form.
#include "recorder/forms/settings_loader.h"
#include "common/settings_keys.h"
#include "support/options_rig.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

using Values = SettingsStore::Values;

class SettingsLoader : public ::testing::Test {
protected:
    SettingsLoadResult load() { return Load_Settings(rig.form, rig.templateKey, rig.folder()); }
    Values guideSection() const { return rig.store.GetAllSettings("DG Templates"); }

    OptionsRig rig;
};

TEST_F(SettingsLoader, FirstRunAsksOnceAndStoresEveryDefault) {
    EXPECT_EQ(load(), SettingsLoadResult::FirstRun);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].title, "Default configuration not set");
    EXPECT_EQ(rig.boxes.shown[0].text, "Please configure your default options");
    EXPECT_EQ(rig.boxes.shown[0].icon, MessageBoxes::Icon::Information);

    EXPECT_EQ(rig.stored("Template"), "DVD");
    EXPECT_EQ(rig.form.templateIndex(), 0);
    EXPECT_EQ(rig.stored("ScheduleFile"), rig.folder() + "/KelboSchedule.txt");
    EXPECT_EQ(rig.stored("FileString"), rig.folder() + "/movies/%startdate%/%programme%-%starttime%.mpg");
    EXPECT_EQ(rig.stored("StartBuffer"), "0");
    EXPECT_EQ(rig.stored("EndBuffer"), "0");
    EXPECT_EQ(rig.stored("AutoLoadSchedule"), "1");
    for (const char* key : {"PreviewRecording", "HearPreviewAudio", "MinimizeToSystem",
                            "StartInSystemTray", "ExpertMode"})
        EXPECT_EQ(rig.stored(key), "0") << key;
    EXPECT_EQ(rig.stored("SplitType"), "None");
    EXPECT_EQ(rig.stored("SplitValue"), "");
    EXPECT_EQ(rig.stored("Tuners"), "1");
    EXPECT_EQ(guideSection(), (Values{{"DEFAULT Template", "1"}}));
    EXPECT_EQ(rig.store.GetSetting("Defaults", settings::kCaptureSource, "<missing>"), "<missing>");

    OptionsRig again;
    again.store = rig.store;
    EXPECT_EQ(Load_Settings(again.form, rig.templateKey, rig.folder()), SettingsLoadResult::Loaded);
    EXPECT_TRUE(again.boxes.shown.empty());
}

TEST_F(SettingsLoader, FillsTheThreeTemplateListsOnce) {
    load();
    EXPECT_EQ(rig.live.templates, (std::vector<std::string>{"DVD", "Half", "Mine"}));
    EXPECT_EQ(rig.live.detailTemplates,
              (std::vector<std::string>{"DEFAULT Template", "DVD", "Half", "Mine"}));
    EXPECT_EQ(rig.live.guideTemplates,
              (std::vector<GuideTemplate>{{"DEFAULT Template", true}, {"DVD", false},
                                          {"Half", false}, {"Mine", false}}));
}

TEST_F(SettingsLoader, TemplateWithoutScheduleFileIsNoFirstRunAndWritesNothing) {
    rig.setStored("Template", "Mine");
    const std::string before = readFile(rig.store.file());
    EXPECT_EQ(load(), SettingsLoadResult::Loaded);
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.live.ScheduleFile, "");
    EXPECT_EQ(rig.form.scheduleFileText(), "");
    EXPECT_EQ(rig.form.templateIndex(), 2) << "user templates count after the precanned ones";
    EXPECT_EQ(readFile(rig.store.file()), before);
}

TEST_F(SettingsLoader, SplitTypeMatchesExactlyAndTheValueSurvivesTheChoice) {
    rig.setStored("Template", "DVD");
    rig.setStored("SplitType", "none");
    rig.setStored("SplitValue", "30");
    load();
    EXPECT_EQ(rig.live.splitType, SplitType::Time);
    EXPECT_EQ(rig.form.splitUnits(), "Mins");
    EXPECT_EQ(rig.live.SplitValue, "30");

    OptionsRig sized;
    sized.setStored("Template", "DVD");
    sized.setStored("SplitType", "Size");
    Load_Settings(sized.form, sized.templateKey, sized.folder());
    EXPECT_EQ(sized.live.splitType, SplitType::Size);
    EXPECT_EQ(sized.form.splitUnits(), "Mb");
}

TEST_F(SettingsLoader, StartInSystemTrayTicksMinimizeAndTheNextSaveStoresIt) {
    rig.setStored("Template", "DVD");
    rig.setStored("StartInSystemTray", "1");
    rig.setStored("MinimizeToSystem", "0");
    rig.setStored("PreviewRecording", "1");
    rig.setStored("HearPreviewAudio", "0");
    load();
    EXPECT_TRUE(rig.live.StartInSystemTray);
    EXPECT_TRUE(rig.live.MinimizeToSystem);
    EXPECT_TRUE(rig.live.PreviewRecording);
    EXPECT_FALSE(rig.live.HearPreviewAudio) << "only the tray boxes leave a trace";
    Save_Settings(rig.form);
    EXPECT_EQ(rig.stored("MinimizeToSystem"), "1");
}

TEST_F(SettingsLoader, TemplateThatNoLongerExistsGivesWayToTheFirst) {
    rig.setStored("Template", "Gone");
    load();
    EXPECT_EQ(rig.form.templateIndex(), 0);
    EXPECT_EQ(rig.live.Template, "DVD");
    EXPECT_EQ(rig.stored("Template"), "Gone") << "stored only by the next save";
    Save_Settings(rig.form);
    EXPECT_EQ(rig.stored("Template"), "DVD");
}

TEST_F(SettingsLoader, GuideTicksAreAddedFromTheStoreAndUnknownNamesDropped) {
    rig.setStored("Template", "DVD");
    rig.store.SaveSetting("DG Templates", "Mine", "1");
    rig.store.SaveSetting("DG Templates", "Gone", "1");
    load();
    std::vector<std::string> ticked;
    for (const auto& entry : rig.live.guideTemplates)
        if (entry.ticked) ticked.push_back(entry.name);
    EXPECT_EQ(ticked, (std::vector<std::string>{"DEFAULT Template", "Mine"}));
    Save_Settings(rig.form);
    EXPECT_EQ(guideSection(), (Values{{"DEFAULT Template", "1"}, {"Mine", "1"}}));

    for (int i = 0; i < static_cast<int>(rig.live.guideTemplates.size()); ++i)
        rig.form.setGuideTemplateTicked(i, false);
    Save_Settings(rig.form);
    EXPECT_TRUE(guideSection().empty());
    EXPECT_EQ(readFile(rig.store.file()).find("DG Templates"), std::string::npos)
        << "an empty list is saved as no section";

    OptionsRig next;
    next.store = rig.store;
    Load_Settings(next.form, next.templateKey, next.folder());
    EXPECT_TRUE(next.live.guideTemplates[0].ticked);
    EXPECT_FALSE(next.live.guideTemplates[3].ticked);
}

TEST_F(SettingsLoader, RoundTripKeepsEveryValue) {
    const Values stored = {
        {"Template", "Half"}, {"StartBuffer", "32767"}, {"EndBuffer", "05"},
        {"ScheduleFile", "/data/My Schedule.txt"}, {"PreviewRecording", "1"},
        {"HearPreviewAudio", "1"}, {"FileString", "C:\\rec\\%programme% – %channelname%.mpg"},
        {"MinimizeToSystem", "1"}, {"StartInSystemTray", "0"}, {"ExpertMode", "1"},
        {"AutoLoadSchedule", "0"}, {"SplitType", "Size"}, {"SplitValue", "650"}, {"Tuners", "3"},
        {"Brightness", "0"}, {"Contrast", "32767"}, {"Saturation", "7000"}, {"Tint", "4999"},
        {"Volume", "10000"}, {"VideoSource", "SVideo"}, {"VideoStandard", "NTSC"}};
    for (const auto& [key, value] : stored) rig.setStored(key, value);
    rig.store.SaveSetting("DG Templates", "DEFAULT Template", "1");
    rig.store.SaveSetting("DG Templates", "Half", "1");
    load();
    EXPECT_EQ(rig.form.startBufferScroll(), 32767);
    EXPECT_EQ(rig.form.endBufferScroll(), 5);
    EXPECT_EQ(rig.form.endBufferText(), "05");
    EXPECT_EQ(rig.live.Tuners, 3);
    EXPECT_EQ(rig.form.tuners(), 3);
    Save_Settings(rig.form);
    EXPECT_EQ(rig.store.GetAllSettings("Defaults"), stored);
    EXPECT_EQ(guideSection(), (Values{{"DEFAULT Template", "1"}, {"Half", "1"}}));
}

// A store from before the device's settings were kept leaves the device
// its own values and gains no key at the next save; a store that has them
// gives them to the device as loading ends.
TEST_F(SettingsLoader, DeviceSettingsAreGivenToTheDeviceOnlyWhenStored) {
    rig.setStored("Template", "DVD");
    load();
    EXPECT_TRUE(rig.device.calls.empty()) << ::testing::PrintToString(rig.device.calls);
    EXPECT_EQ(rig.form.pictureText(PictureControl::Brightness), "5000") << "the device's own";
    EXPECT_TRUE(rig.form.pal());
    Save_Settings(rig.form);
    for (const char* key : {"Brightness", "Volume", "VideoSource", "VideoStandard"})
        EXPECT_EQ(rig.stored(key), "<missing>") << key;

    OptionsRig partial;
    partial.setStored("Template", "DVD");
    partial.setStored("Contrast", "0");
    partial.setStored("VideoStandard", "ntsc");
    Load_Settings(partial.form, partial.templateKey, partial.folder());
    EXPECT_EQ(partial.device.calls,
              (std::vector<std::string>{"setContrast 0", "setVideoStandard 53", "CommitVideoSettings"}));
    EXPECT_EQ(partial.form.pictureText(PictureControl::Contrast), "0");
    EXPECT_TRUE(partial.form.composite());
    EXPECT_FALSE(partial.form.pal());
    Save_Settings(partial.form);
    EXPECT_EQ(partial.stored("VideoStandard"), "NTSC");
    EXPECT_EQ(partial.stored("Contrast"), "0");
    EXPECT_EQ(partial.stored("Brightness"), "<missing>");
}

TEST_F(SettingsLoader, UnreadableTemplateFolderEndsTheProgram) {
    OptionsRig broken;
    broken.templateKey = (broken.dir / "nowhere").string();
    EXPECT_EQ(Load_Settings(broken.form, broken.templateKey, broken.folder()),
              SettingsLoadResult::EndProgram);
    ASSERT_FALSE(broken.boxes.shown.empty());
    EXPECT_EQ(broken.boxes.shown.back().text, "Abort at 1");
}

TEST_F(SettingsLoader, NoTemplateAtAllSelectsNothingAndKeepsTheStoredName) {
    OptionsRig empty({}, {});
    empty.setStored("Template", "DVD");
    EXPECT_EQ(Load_Settings(empty.form, empty.templateKey, empty.folder()),
              SettingsLoadResult::Loaded);
    EXPECT_TRUE(empty.live.templates.empty());
    EXPECT_EQ(empty.form.templateIndex(), -1);
    EXPECT_EQ(empty.live.Template, "DVD");
    EXPECT_EQ(empty.live.detailTemplates, (std::vector<std::string>{"DEFAULT Template"}));
}

// A store holding values of the wrong form: the program starts with the
// defaults for what it cannot read and a save never writes them back.
TEST_F(SettingsLoader, ValuesOfTheWrongFormReadAsDefaults) {
    const std::string longName(10000, 'x');
    rig.setStored("Template", longName);
    rig.setStored("StartBuffer", "-5");
    rig.setStored("EndBuffer", "40000");
    rig.setStored("AutoLoadSchedule", "yes");
    rig.setStored("ExpertMode", "yes");
    rig.setStored("SplitType", "Time");
    rig.setStored("SplitValue", "2.5");
    rig.setStored("ScheduleFile", std::string("/data/\xff\xfe.txt"));
    rig.setStored("FileString", std::string(5000, 'p'));
    rig.setStored("Brightness", "-3");
    rig.setStored("Contrast", "bright");
    rig.setStored("Tint", "40000");
    rig.setStored("Volume", "loud");
    rig.setStored("VideoSource", "Tuner");
    rig.setStored("VideoStandard", "SECAM");
    rig.store.SaveSetting("DG Templates", longName, "1");
    EXPECT_EQ(load(), SettingsLoadResult::Loaded);
    EXPECT_TRUE(rig.device.calls.empty()) << "the device keeps its own values";
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.live.Template, "DVD");
    EXPECT_EQ(rig.form.startBufferText(), "0");
    EXPECT_EQ(rig.form.endBufferText(), "0");
    EXPECT_TRUE(rig.live.AutoLoadSchedule);
    EXPECT_FALSE(rig.live.ExpertMode);
    EXPECT_EQ(rig.live.SplitValue, "");
    EXPECT_EQ(rig.live.ScheduleFile, "");
    EXPECT_EQ(rig.live.FileString, rig.folder() + "/movies/%startdate%/%programme%-%starttime%.mpg");

    Save_Settings(rig.form);
    const std::string text = readFile(rig.store.file());
    // Values as written ("=-5"): the temporary folder's random name may
    // hold "-5" itself.
    for (const std::string& bad : {longName, std::string("=-5"), std::string("=yes"), std::string("=2.5"),
                                   std::string("\xff")})
        EXPECT_EQ(text.find(bad), std::string::npos) << bad.substr(0, 20);
    EXPECT_EQ(rig.stored("EndBuffer"), "0");
    // The device's keys are written only from what the device was given.
    EXPECT_EQ(rig.stored("VideoStandard"), "SECAM");
    EXPECT_EQ(rig.stored("Tint"), "40000");
}

// Tuners: missing, not a number or outside 1 to 8 read as one tuner, and
// the next save stores that; the form's spinner shows what was read.
TEST_F(SettingsLoader, TunersReadAsOneUnlessAWholeNumberFromOneToEight) {
    const std::pair<const char*, int> cases[] = {
        {nullptr, 1}, {"", 1}, {"0", 1}, {"9", 1}, {"-2", 1}, {"2.5", 1}, {"два", 1}, {"4tuners", 1},
        {"99999999999999999999", 1}, {"1", 1}, {"2", 2}, {" 4 ", 4}, {"08", 8}, {"8", 8}};
    for (const auto& [text, expected] : cases) {
        OptionsRig each;
        each.setStored("Template", "DVD");
        if (text) each.setStored("Tuners", text);
        EXPECT_EQ(Load_Settings(each.form, each.templateKey, each.folder()), SettingsLoadResult::Loaded);
        const std::string what = text ? text : "<missing>";
        EXPECT_EQ(each.live.Tuners, expected) << what;
        EXPECT_EQ(each.form.tuners(), expected) << what;
        Save_Settings(each.form);
        EXPECT_EQ(each.stored("Tuners"), std::to_string(expected)) << what;
    }
}

TEST_F(SettingsLoader, StoreFileThatIsNotTextIsAFirstRun) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
    writeFile(rig.store.file(), garbage);
    EXPECT_EQ(load(), SettingsLoadResult::FirstRun);
    EXPECT_EQ(rig.stored("Template"), "DVD");
    EXPECT_EQ(rig.stored("AutoLoadSchedule"), "1");
}

TEST_F(SettingsLoader, MissingDefaultsSectionWithGuideTicksIsAFirstRun) {
    rig.store.SaveSetting("DG Templates", "Half", "1");
    EXPECT_EQ(load(), SettingsLoadResult::FirstRun);
    EXPECT_EQ(guideSection(), (Values{{"DEFAULT Template", "1"}}))
        << "the first run stores the fill's ticks only";
}

// A new user's recordings go to the desktop's videos folder and the
// schedule to the data folder, never beside the program; a user who has
// settings keeps them.
TEST_F(SettingsLoader, DesktopFoldersAreTheNewUsersDefaultsOnly) {
    const DefaultFolders desktop("/home/viewer/Videos/Kelbo", "/home/viewer/.local/share/kelbo");
    EXPECT_EQ(Load_Settings(rig.form, rig.templateKey, desktop), SettingsLoadResult::FirstRun);
    EXPECT_EQ(rig.stored("ScheduleFile"), "/home/viewer/.local/share/kelbo/KelboSchedule.txt");
    EXPECT_EQ(rig.stored("FileString"), "/home/viewer/Videos/Kelbo/%startdate%/%programme%-%starttime%.mpg");

    OptionsRig existing;
    existing.setStored("Template", "DVD");
    existing.setStored("ScheduleFile", "/opt/kelbo/KelboSchedule.txt");
    existing.setStored("FileString", "/opt/kelbo/movies/%programme%.mpg");
    EXPECT_EQ(Load_Settings(existing.form, existing.templateKey, desktop), SettingsLoadResult::Loaded);
    EXPECT_EQ(existing.live.ScheduleFile, "/opt/kelbo/KelboSchedule.txt");
    EXPECT_EQ(existing.live.FileString, "/opt/kelbo/movies/%programme%.mpg");
    Save_Settings(existing.form);
    EXPECT_EQ(existing.stored("FileString"), "/opt/kelbo/movies/%programme%.mpg");

    OptionsRig withoutPattern;
    withoutPattern.setStored("Template", "DVD");
    Load_Settings(withoutPattern.form, withoutPattern.templateKey, desktop);
    EXPECT_EQ(withoutPattern.live.FileString, defaultFileString(desktop))
        << "a missing key reads as the desktop default";
}

}  // namespace
