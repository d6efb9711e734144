#pragma once

#include "recorder/schedule/live_settings.h"
#include "recorder/forms/options_view.h"

#include <array>
#include <string>
#include <vector>

namespace kelbo {

class CaptureDevice;
class MessageBoxes;
class SettingsStore;

// One entry of the "Capture source" drop-down: what the user reads, and
// the value stored under settings::kCaptureSource.
struct CaptureSourceChoice {
    std::string label;
    std::string value;
    bool operator==(const CaptureSourceChoice&) const = default;
};

// The capture device's picture and audio controls, each a text field and
// a spinner.
enum class PictureControl { Brightness, Contrast, Saturation, Sharpness, Tint, Volume };
inline constexpr int kPictureControlCount = 6;

// The Options dialog without its window: its fields and reactions. The
// live settings are edited in place (the dialog keeps no copy of them);
// the fields that only the dialog has live here.
class OptionsForm {
public:
    OptionsForm(LiveSettings& live, CaptureDevice& device, SettingsStore& store,
                MessageBoxes& boxes, OptionsHost& host);

    void setView(OptionsView* view);

    LiveSettings& live() { return live_; }
    const LiveSettings& live() const { return live_; }
    SettingsStore& store() const { return store_; }
    MessageBoxes& messageBoxes() const { return boxes_; }

    // Opens (or refreshes) the dialog.
    void OptionsMenu_Click();
    void Command_OK_Click();
    void Command_Apply_Click();
    void Command_Cancel_Click();
    // The window's close box: hides the dialog and keeps every field.
    void closeBox();
    bool isShown() const { return shown_; }

    // The default template list `template`; -1 selects nothing.
    int templateIndex() const { return templateIndex_; }
    void selectTemplate(int index);
    std::string selectedTemplateName() const;

    // Buffers: the text fields and their spinners. Moving a spinner writes
    // its value into the text field; typing does not move the spinner.
    const std::string& startBufferText() const { return startBufferText_; }
    const std::string& endBufferText() const { return endBufferText_; }
    int startBufferScroll() const { return startBufferScroll_; }
    int endBufferScroll() const { return endBufferScroll_; }
    void setStartBufferText(const std::string& text) { startBufferText_ = text; }
    void setEndBufferText(const std::string& text) { endBufferText_ = text; }
    void Start_Buffer_Scroll_Change(int value);
    void End_Buffer_Scroll_Change(int value);

    const std::string& scheduleFileText() const { return scheduleFileText_; }
    void setScheduleFileText(const std::string& text) { scheduleFileText_ = text; }
    // The channel playlist (an extended M3U file); empty: none.
    const std::string& channelPlaylistText() const { return channelPlaylistText_; }
    void setChannelPlaylistText(const std::string& text) { channelPlaylistText_ = text; }
    // The tuners spinner, 1 to 8; OK or Apply take it.
    int tuners() const { return tuners_; }
    void setTuners(int count);
    // A file picked with "Browse" is live at once.
    void scheduleFileBrowsed(const std::string& path);

    void setFileString(const std::string& text);

    // Check boxes, with the reactions of a user's click.
    void setPreviewRecording(bool on);
    void setHearPreviewAudio(bool on);
    void setAutoLoadSchedule(bool on);
    void setExpertMode(bool on);
    void setStartInSystemTray(bool on);
    void setMinimizeToSystem(bool on);

    // Split choices, value and units.
    void chooseSplit(SplitType type);
    void setSplitNumberText(const std::string& text);
    const std::string& splitUnits() const { return splitUnits_; }
    bool splitNumberEnabled() const { return live_.splitType != SplitType::None; }
    // The split check, run when the user leaves `SplitNumber`.
    void SplitNumber_LostFocus();

    void setGuideTemplateTicked(int index, bool ticked);

    // "Test" held down shows the example file name in `floatfilename`.
    void TestFilename_MouseDown();
    void TestFilename_MouseUp();
    const std::string& floatFileName() const { return floatFileName_; }
    bool floatFileNameVisible() const { return floatFileNameVisible_; }

    // Picture and input controls of the capture device.
    const std::string& pictureText(PictureControl control) const;
    int pictureScroll(PictureControl control) const;
    void setPictureText(PictureControl control, const std::string& text);
    void pictureScrolled(PictureControl control, int value);
    bool composite() const { return composite_; }
    bool pal() const { return pal_; }
    void chooseComposite(bool composite) { composite_ = composite; }
    void choosePal(bool pal) { pal_ = pal; }
    // As the device was at the last opening or Apply: previewing.
    bool deviceControlsEnabled() const { return deviceControlsEnabled_; }
    // Gives the device the stored picture, sound, input and standard (as
    // loading the settings does, before its first picture); the controls
    // then show what the device holds.
    void loadDeviceSettings();

    // The capture source drop-down. The stored choice stays an entry even
    // when it is not among `choices` (a media file, an unplugged device).
    void setCaptureSources(std::vector<CaptureSourceChoice> choices);
    const std::vector<CaptureSourceChoice>& captureSources() const { return captureSources_; }
    int captureSourceIndex() const { return captureSourceIndex_; }
    void chooseCaptureSource(int index);
    // A source typed into the drop-down: a network stream's URL becomes an
    // entry of its own and the choice; false for any other text.
    bool typeCaptureSource(const std::string& text);

    // The buffer spinners and texts, the schedule file, playlist and tuners
    // fields from the live settings, as loading the settings sets them.
    void showLiveStrings();

private:
    void runOpening();
    void showDeviceValues();
    void commit();
    void takeDeviceSettings();
    bool commitTemplate();
    bool commitBuffer(std::string& text, int& scroll, std::string& live, const char* label,
                      const char* controlName);
    void runSplitCheck();
    void updateDevice();
    bool refusePictureTexts();
    bool deviceNeedsUpdate() const;
    int pictureValue(PictureControl control) const;
    void storeCaptureSource();
    void refuse(const std::string& title, const std::string& text, const char* controlName);
    void refreshView();

    LiveSettings& live_;
    CaptureDevice& device_;
    SettingsStore& store_;
    MessageBoxes& boxes_;
    OptionsHost& host_;
    OptionsView* view_ = nullptr;

    bool shown_ = false;
    int templateIndex_ = -1;
    std::string startBufferText_ = "0", endBufferText_ = "0";
    int startBufferScroll_ = 0, endBufferScroll_ = 0;
    std::string scheduleFileText_;
    std::string channelPlaylistText_;
    int tuners_ = 1;
    std::string splitUnits_;
    // The split value the split check last let stand: what a refused value
    // goes back to.
    std::string acceptedSplitValue_;
    std::string floatFileName_;
    bool floatFileNameVisible_ = false;

    struct PictureField {
        std::string text = "0";
        int scroll = 0;
    };
    std::array<PictureField, kPictureControlCount> picture_;
    bool composite_ = true, pal_ = true;
    bool deviceControlsEnabled_ = false;

    // Taken at each opening; Cancel restores exactly these two.
    struct Snapshot {
        int templateIndex = -1;
        std::string fileString;
    } snapshot_;

    std::vector<CaptureSourceChoice> captureSources_;
    int captureSourceIndex_ = -1;
    std::string initialCaptureSource_;
};

}  // namespace kelbo
