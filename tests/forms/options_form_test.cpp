// The Options dialog's reactions, OK, Apply and Cancel, without a window.
#include "recorder/forms/options_form.h"
#include "common/settings_keys.h"
#include "recorder/forms/settings_loader.h"
#include "support/options_rig.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

using Calls = std::vector<std::string>;

class RecordingView : public OptionsView {
public:
    void showDialog() override { events.push_back("show"); }
    void hideDialog() override { events.push_back("hide"); }
    void refresh() override { ++refreshes; }
    void focusControl(const std::string& name) override { events.push_back("focus " + name); }
    std::vector<std::string> events;
    int refreshes = 0;
};

class OptionsDialogForm : public ::testing::Test {
protected:
    OptionsDialogForm() {
        rig.setStored("Template", "DVD");
        rig.setStored("ScheduleFile", "/data/schedule.txt");
        Load_Settings(rig.form, rig.templateKey, rig.folder());
        rig.form.setView(&view);
    }

    // The device previewing with the dialog's template, so that an OK
    // without changes leaves it alone.
    void startPreview() {
        rig.device.state = CaptureDevice::Previewing;
        rig.device.setRecordingTemplate("DVD");
        rig.device.calls.clear();
    }
    std::string lastMessage() const {
        return rig.boxes.shown.empty() ? "" : rig.boxes.shown.back().text;
    }

    OptionsRig rig;
    RecordingView view;
    OptionsForm& form = rig.form;
};

TEST_F(OptionsDialogForm, OpeningWhileIdleOrRecordingDisablesAndLeavesTheDevice) {
    for (int state : {int(CaptureDevice::Idle), int(CaptureDevice::Recording)}) {
        rig.device.state = state;
        form.OptionsMenu_Click();
        EXPECT_FALSE(form.deviceControlsEnabled()) << state;
        EXPECT_TRUE(rig.device.calls.empty()) << state;
        EXPECT_TRUE(form.isShown());
        form.setStartBufferText("3");
        form.Command_OK_Click();
        EXPECT_TRUE(rig.device.calls.empty()) << "OK leaves the device alone";
        EXPECT_EQ(rig.stored("StartBuffer"), "3");
        form.setStartBufferText("0");
        form.Command_OK_Click();
    }
    EXPECT_FALSE(form.isShown());
}

TEST_F(OptionsDialogForm, OpeningWhilePreviewingShowsTheDeviceValues) {
    startPreview();
    rig.device.setBrightness(1234);
    rig.device.setVolume(40000);
    rig.device.setVideoSource(CaptureDevice::SVideo);
    rig.device.setVideoStandard(CaptureDevice::NTSC);
    rig.device.calls.clear();
    form.OptionsMenu_Click();
    EXPECT_EQ(rig.device.calls, Calls{"PrepareDevice"});
    EXPECT_TRUE(form.deviceControlsEnabled());
    EXPECT_EQ(form.pictureText(PictureControl::Brightness), "1234");
    EXPECT_EQ(form.pictureScroll(PictureControl::Brightness), 1234);
    EXPECT_EQ(form.pictureText(PictureControl::Volume), "40000");
    EXPECT_EQ(form.pictureScroll(PictureControl::Volume), 32767) << "the spinner stays in range";
    EXPECT_FALSE(form.composite());
    EXPECT_FALSE(form.pal());
    EXPECT_EQ(view.events, Calls{"show"});

    rig.device.calls.clear();
    form.Command_OK_Click();
    EXPECT_EQ(rig.device.count("StopPreview"), 0) << "nothing changed, the preview runs on";
    EXPECT_TRUE(rig.boxes.shown.empty()) << "the device's own value is not refused";
}

TEST_F(OptionsDialogForm, ChangingOnlyTheBrightnessRewritesTheDeviceInOrder) {
    startPreview();
    form.OptionsMenu_Click();
    form.pictureScrolled(PictureControl::Brightness, 6000);
    EXPECT_EQ(form.pictureText(PictureControl::Brightness), "6000");
    rig.device.calls.clear();
    form.Command_OK_Click();
    EXPECT_EQ(rig.device.calls,
              (Calls{"StopPreview", "setBrightness 6000", "setVolume 5000", "setContrast 5000",
                     "setSaturation 5000", "setTint 5000", "setVideoSource 20",
                     "setVideoStandard 54", "CommitVideoSettings", "PrepareDevice",
                     "setRecordingTemplate DVD", "StartPreview"}));
}

TEST_F(OptionsDialogForm, InputAndTemplateChangesAlsoUpdateTheDevice) {
    startPreview();
    form.OptionsMenu_Click();
    form.chooseComposite(false);
    form.choosePal(false);
    form.selectTemplate(1);
    form.Command_Apply_Click();
    EXPECT_EQ(rig.device.VideoSource(), CaptureDevice::SVideo);
    EXPECT_EQ(rig.device.VideoStandard(), CaptureDevice::NTSC);
    EXPECT_EQ(rig.device.RecordingTemplate(), "Half");
    EXPECT_EQ(rig.stored("Template"), "Half");
    EXPECT_TRUE(form.isShown()) << "Apply keeps the dialog";
}

TEST_F(OptionsDialogForm, PictureTextThatIsNoWholeNumberIsRefused) {
    startPreview();
    form.OptionsMenu_Click();
    form.setPictureText(PictureControl::Tint, "abc");
    form.setPictureText(PictureControl::Contrast, "-5");
    form.Command_Apply_Click();
    ASSERT_EQ(rig.boxes.shown.size(), 1u) << "one message for the whole OK";
    EXPECT_EQ(rig.boxes.shown[0].title, "Picture Value Error");
    EXPECT_EQ(rig.boxes.shown[0].text, "Contrast must be a whole number from 0 to 32767");
    EXPECT_EQ(form.pictureText(PictureControl::Tint), "5000");
    EXPECT_EQ(form.pictureText(PictureControl::Contrast), "5000");
    EXPECT_EQ(rig.device.count("StopPreview"), 0);
}

// What the picture, sound, input and standard controls give the device is
// stored with the other settings, and the next start gives it back to the
// device before its first picture.
TEST_F(OptionsDialogForm, DeviceSettingsGivenWhilePreviewingAreStoredAndComeBackAtTheNextStart) {
    form.OptionsMenu_Click();
    form.Command_OK_Click();
    for (const char* key : {"Brightness", "Contrast", "Saturation", "Tint", "Volume", "VideoSource",
                            "VideoStandard"})
        EXPECT_EQ(rig.stored(key), "<missing>") << key << ": OK while idle gives the device nothing";

    startPreview();
    form.OptionsMenu_Click();
    form.pictureScrolled(PictureControl::Brightness, 7100);
    form.setPictureText(PictureControl::Saturation, " 1200 ");
    form.setPictureText(PictureControl::Tint, "red");
    form.chooseComposite(false);
    form.choosePal(false);
    form.Command_OK_Click();
    EXPECT_EQ(rig.boxes.shown.size(), 1u) << "the tint is refused";
    EXPECT_EQ(rig.device.VideoStandard(), CaptureDevice::NTSC);
    const std::pair<const char*, const char*> expected[] = {
        {"Brightness", "7100"}, {"Contrast", "5000"}, {"Saturation", "1200"}, {"Tint", "5000"},
        {"Volume", "5000"}, {"VideoSource", "SVideo"}, {"VideoStandard", "NTSC"}};
    for (const auto& [key, value] : expected) EXPECT_EQ(rig.stored(key), value) << key;

    OptionsRig restarted;
    restarted.store = rig.store;
    Load_Settings(restarted.form, restarted.templateKey, restarted.folder());
    EXPECT_EQ(restarted.device.calls,
              (Calls{"setBrightness 7100", "setVolume 5000", "setContrast 5000", "setSaturation 1200",
                     "setTint 5000", "setVideoSource 21", "setVideoStandard 53", "CommitVideoSettings"}));
    EXPECT_EQ(restarted.device.VideoStandard(), CaptureDevice::NTSC);
    EXPECT_EQ(restarted.form.pictureText(PictureControl::Brightness), "7100");
    EXPECT_EQ(restarted.form.pictureScroll(PictureControl::Saturation), 1200);
    EXPECT_FALSE(restarted.form.composite());
    EXPECT_FALSE(restarted.form.pal()) << "Options shows NTSC, even with its controls disabled";

    // An OK with the device idle keeps what is stored.
    restarted.form.OptionsMenu_Click();
    restarted.form.Command_OK_Click();
    for (const auto& [key, value] : expected) EXPECT_EQ(restarted.stored(key), value) << key;
}

TEST_F(OptionsDialogForm, SplitChoicesSetUnitsAndEmptyTheValue) {
    form.chooseSplit(SplitType::Size);
    EXPECT_EQ(form.splitUnits(), "Mb");
    EXPECT_TRUE(form.splitNumberEnabled());
    form.setSplitNumberText("650");
    form.chooseSplit(SplitType::Time);
    EXPECT_EQ(form.splitUnits(), "Mins");
    EXPECT_EQ(rig.live.SplitValue, "");
    form.chooseSplit(SplitType::None);
    EXPECT_EQ(form.splitUnits(), "");
    EXPECT_FALSE(form.splitNumberEnabled());
}

TEST_F(OptionsDialogForm, SplitCheckSwitchesEmptyOrZeroToNone) {
    for (const char* value : {"", "0"}) {
        form.chooseSplit(SplitType::Size);
        form.setSplitNumberText(value);
        form.OptionsMenu_Click();
        form.Command_OK_Click();
        EXPECT_EQ(rig.live.splitType, SplitType::None) << value;
        EXPECT_EQ(rig.stored("SplitType"), "None");
    }
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST_F(OptionsDialogForm, SplitValueThatIsNotANumberIsEmptiedWithTheMessage) {
    form.chooseSplit(SplitType::Time);
    form.setSplitNumberText("abc");
    form.OptionsMenu_Click();
    form.Command_OK_Click();
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].title, "Split Value Error");
    EXPECT_EQ(rig.boxes.shown[0].text, "Split value must be numeric");
    EXPECT_FALSE(form.isShown());
    EXPECT_EQ(rig.stored("SplitType"), "Time");
    EXPECT_EQ(rig.stored("SplitValue"), "");
    EXPECT_NE(std::find(view.events.begin(), view.events.end(), "focus SplitNumber"), view.events.end());
}

TEST_F(OptionsDialogForm, SplitValueOutOfRangeGoesBackToTheLastAcceptedOne) {
    form.chooseSplit(SplitType::Time);
    form.setSplitNumberText("45");
    form.SplitNumber_LostFocus();
    for (const char* bad : {"2.5", "-5", "99999"}) {
        form.setSplitNumberText(bad);
        form.SplitNumber_LostFocus();
        EXPECT_EQ(lastMessage(), "Split value must be a whole number from 0 to 32767") << bad;
        EXPECT_EQ(rig.live.SplitValue, "45") << bad;
    }
    form.setSplitNumberText("32768");
    form.Command_OK_Click();
    EXPECT_EQ(rig.stored("SplitValue"), "45");
    EXPECT_EQ(rig.stored("SplitType"), "Time");
}

TEST_F(OptionsDialogForm, BuffersAreStoredAsNumbersAndReloadOnlyWhenNotRecording) {
    form.OptionsMenu_Click();
    form.Start_Buffer_Scroll_Change(5);
    EXPECT_EQ(form.startBufferText(), "5");
    form.Command_OK_Click();
    EXPECT_EQ(rig.host.reloads, 1);
    EXPECT_EQ(rig.live.StartBuffer, "5");

    rig.device.state = CaptureDevice::Recording;
    form.OptionsMenu_Click();
    form.setEndBufferText("07");
    EXPECT_EQ(form.endBufferScroll(), 0) << "typing does not move the spinner";
    form.Command_OK_Click();
    EXPECT_EQ(rig.host.reloads, 1) << "no reload during a recording";
    EXPECT_EQ(rig.stored("EndBuffer"), "7");

    rig.device.state = CaptureDevice::Idle;
    form.OptionsMenu_Click();
    form.setEndBufferText("7");
    form.Command_OK_Click();
    EXPECT_EQ(rig.host.reloads, 1) << "the same number is no change";
}

TEST_F(OptionsDialogForm, BufferThatIsNoWholeNumberIsRefusedAndTheOldOneKept) {
    rig.setStored("StartBuffer", "2");
    rig.live.StartBuffer = "2";
    for (const char* bad : {"abc", "-5", "40000", "1.5", ""}) {
        form.OptionsMenu_Click();
        form.setStartBufferText(bad);
        form.Command_OK_Click();
        EXPECT_EQ(rig.boxes.shown.back().title, "Buffer Value Error") << bad;
        EXPECT_EQ(lastMessage(), "Default Start Buffer must be a whole number of minutes from 0 to 32767");
        EXPECT_EQ(form.startBufferText(), "2") << bad;
        EXPECT_EQ(rig.live.StartBuffer, "2");
        EXPECT_EQ(rig.stored("StartBuffer"), "2");
    }
    EXPECT_EQ(rig.host.reloads, 0);
}

TEST_F(OptionsDialogForm, ScheduleFileAndPatternChangesReload) {
    form.OptionsMenu_Click();
    form.setScheduleFileText("/data/other.txt");
    form.Command_Apply_Click();
    EXPECT_EQ(rig.host.reloads, 1);
    EXPECT_EQ(rig.stored("ScheduleFile"), "/data/other.txt");

    form.setFileString("/rec/%programme%.mpg");
    form.Command_Apply_Click();
    EXPECT_EQ(rig.host.reloads, 2);
    form.Command_OK_Click();
    EXPECT_EQ(rig.host.reloads, 2) << "the pattern was taken by the Apply before";
}

TEST_F(OptionsDialogForm, BrowsedFileIsLiveAtOnceAndSurvivesCancel) {
    form.OptionsMenu_Click();
    form.scheduleFileBrowsed("/data/picked.txt");
    EXPECT_EQ(rig.live.ScheduleFile, "/data/picked.txt");
    EXPECT_EQ(form.scheduleFileText(), "/data/picked.txt");
    form.Command_Cancel_Click();
    EXPECT_EQ(rig.live.ScheduleFile, "/data/picked.txt");
    form.OptionsMenu_Click();
    form.Command_OK_Click();
    EXPECT_EQ(rig.host.reloads, 0) << "a browsed file is already live";
    EXPECT_EQ(rig.stored("ScheduleFile"), "/data/picked.txt");
}

TEST_F(OptionsDialogForm, CancelRestoresTemplateAndPatternOnly) {
    const std::string pattern = rig.live.FileString;
    form.OptionsMenu_Click();
    form.selectTemplate(2);
    form.setFileString("/x/%programme%.mpg");
    form.setExpertMode(true);
    form.Command_Cancel_Click();
    EXPECT_EQ(form.templateIndex(), 0);
    EXPECT_EQ(rig.live.FileString, pattern);
    EXPECT_TRUE(rig.live.ExpertMode) << "live for the rest of the run";
    EXPECT_NE(rig.stored("ExpertMode"), "1") << "stored only by OK or Apply";
    EXPECT_FALSE(form.isShown());
    EXPECT_EQ(view.events.back(), "hide");
}

TEST_F(OptionsDialogForm, ApplyTakesANewSnapshotForCancel) {
    form.OptionsMenu_Click();
    form.selectTemplate(1);
    form.setFileString("/applied/%programme%.mpg");
    form.Command_Apply_Click();
    form.selectTemplate(2);
    form.setFileString("/later/%programme%.mpg");
    form.Command_Cancel_Click();
    EXPECT_EQ(form.templateIndex(), 1);
    EXPECT_EQ(rig.live.FileString, "/applied/%programme%.mpg");
}

TEST_F(OptionsDialogForm, CheckBoxesReactLikeClicks) {
    form.setPreviewRecording(true);
    EXPECT_TRUE(rig.live.HearPreviewAudio);
    form.setPreviewRecording(false);
    EXPECT_FALSE(rig.live.HearPreviewAudio);
    form.setStartInSystemTray(true);
    EXPECT_TRUE(rig.live.MinimizeToSystem);
    form.setStartInSystemTray(false);
    EXPECT_TRUE(rig.live.MinimizeToSystem);
}

TEST_F(OptionsDialogForm, TestButtonShowsTheExampleWhileHeld) {
    form.TestFilename_MouseDown();
    EXPECT_TRUE(form.floatFileNameVisible());
    EXPECT_EQ(form.floatFileName(), rig.host.example);
    form.TestFilename_MouseUp();
    EXPECT_FALSE(form.floatFileNameVisible());
    EXPECT_EQ(form.floatFileName(), "");
}

TEST_F(OptionsDialogForm, CloseBoxHidesAndKeepsTheFields) {
    form.OptionsMenu_Click();
    form.selectTemplate(2);
    form.setStartBufferText("9");
    form.closeBox();
    EXPECT_FALSE(form.isShown());
    EXPECT_EQ(form.templateIndex(), 2);
    EXPECT_EQ(form.startBufferText(), "9");
}

TEST_F(OptionsDialogForm, CaptureSourceIsStoredOnlyWhenChosen) {
    const std::vector<CaptureSourceChoice> sources = {{"Webcam", "/dev/video0"},
                                                      {"Test pattern", "test"}};
    form.setCaptureSources(sources);
    EXPECT_EQ(form.captureSourceIndex(), 0);
    form.Command_OK_Click();
    EXPECT_EQ(rig.stored(settings::kCaptureSource), "<missing>")
        << "while nothing is chosen the device keeps picking the first one found";
    form.chooseCaptureSource(1);
    form.Command_Apply_Click();
    EXPECT_EQ(rig.stored(settings::kCaptureSource), "test");

    rig.setStored(settings::kCaptureSource, "file:/media/clip.mpg");
    form.setCaptureSources(sources);
    ASSERT_EQ(form.captureSources().size(), 3u);
    EXPECT_EQ(form.captureSources()[2], (CaptureSourceChoice{"File: /media/clip.mpg", "file:/media/clip.mpg"}));
    EXPECT_EQ(form.captureSourceIndex(), 2);
    form.Command_OK_Click();
    EXPECT_EQ(rig.stored(settings::kCaptureSource), "file:/media/clip.mpg");
}

TEST_F(OptionsDialogForm, TheChannelPlaylistIsStoredOnlyOnceSet) {
    form.Command_OK_Click();
    EXPECT_EQ(rig.stored(settings::kChannelPlaylist), "<missing>") << "no key for those without one";
    form.setChannelPlaylistText("/home/me/tv.m3u");
    EXPECT_EQ(form.live().ChannelPlaylist, "") << "only OK or Apply take it";
    form.Command_Apply_Click();
    EXPECT_EQ(form.live().ChannelPlaylist, "/home/me/tv.m3u");
    EXPECT_EQ(rig.stored(settings::kChannelPlaylist), "/home/me/tv.m3u");
    form.setChannelPlaylistText("");
    form.Command_OK_Click();
    EXPECT_EQ(rig.stored(settings::kChannelPlaylist), "") << "cleared, not left behind";
}

// The spinner holds 1 to 8; OK or Apply take it into the live settings,
// store it, and mark the list again when not recording, since the clashes
// follow it. Cancel does not undo it, as with the buffers.
TEST_F(OptionsDialogForm, TunersAreTakenAndStoredByOkAndMarkTheListAgain) {
    form.OptionsMenu_Click();
    EXPECT_EQ(form.tuners(), 1);
    form.setTuners(3);
    EXPECT_EQ(rig.live.Tuners, 1) << "only OK or Apply take it";
    form.Command_OK_Click();
    EXPECT_EQ(rig.live.Tuners, 3);
    EXPECT_EQ(rig.stored("Tuners"), "3");
    EXPECT_EQ(rig.host.reloads, 1);

    form.OptionsMenu_Click();
    form.Command_OK_Click();
    EXPECT_EQ(rig.host.reloads, 1) << "the same number is no change";

    for (const auto& [asked, kept] : {std::pair{0, 1}, std::pair{-4, 1}, std::pair{9, 8}, std::pair{1000, 8}}) {
        form.setTuners(asked);
        EXPECT_EQ(form.tuners(), kept) << asked;
    }
    rig.device.state = CaptureDevice::Recording;
    form.OptionsMenu_Click();
    form.setTuners(2);
    form.Command_Apply_Click();
    EXPECT_EQ(rig.live.Tuners, 2);
    EXPECT_EQ(rig.stored("Tuners"), "2");
    EXPECT_EQ(rig.host.reloads, 1) << "no reload during a recording";

    form.setTuners(5);
    form.Command_Cancel_Click();
    EXPECT_EQ(rig.live.Tuners, 2);
    EXPECT_EQ(rig.stored("Tuners"), "2");
    EXPECT_EQ(form.tuners(), 5) << "the field keeps what the user set";
}

TEST_F(OptionsDialogForm, ATypedStreamUrlBecomesTheCaptureSource) {
    const std::vector<CaptureSourceChoice> sources = {{"Webcam", "/dev/video0"},
                                                      {"Test pattern", "test"}};
    form.setCaptureSources(sources);
    EXPECT_FALSE(form.typeCaptureSource("Webcam 2")) << "only a stream's URL can be typed";
    EXPECT_FALSE(form.typeCaptureSource("ftp://example.net/a.ts"));
    EXPECT_EQ(form.captureSources().size(), 2u);
    EXPECT_EQ(form.captureSourceIndex(), 0);

    EXPECT_TRUE(form.typeCaptureSource("  http://192.168.1.5:8080/live.m3u8 "));
    ASSERT_EQ(form.captureSources().size(), 3u);
    EXPECT_EQ(form.captureSources()[2],
              (CaptureSourceChoice{"http://192.168.1.5:8080/live.m3u8", "http://192.168.1.5:8080/live.m3u8"}));
    EXPECT_EQ(form.captureSourceIndex(), 2);
    EXPECT_TRUE(form.typeCaptureSource("http://192.168.1.5:8080/live.m3u8"));
    EXPECT_EQ(form.captureSources().size(), 3u) << "typed again: the same entry";
    form.Command_OK_Click();
    EXPECT_EQ(rig.stored(settings::kCaptureSource), "http://192.168.1.5:8080/live.m3u8");

    // Stored, it is offered as itself, not as a device that is missing.
    form.setCaptureSources(sources);
    ASSERT_EQ(form.captureSources().size(), 3u);
    EXPECT_EQ(form.captureSources()[2].label, "http://192.168.1.5:8080/live.m3u8");
    EXPECT_EQ(form.captureSourceIndex(), 2);
}

}  // namespace
