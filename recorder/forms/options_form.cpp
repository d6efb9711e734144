#include "options_form.h"

#include "common/stream_url.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/text_util.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "recorder/forms/picture_controls.h"
#include "recorder/schedule/setting_values.h"
#include "recorder/device/capture_device.h"

#include <algorithm>

namespace kelbo {

namespace {

int clampToSpinner(long long value) {
    return static_cast<int>(std::clamp<long long>(value, kSpinnerMin, kSpinnerMax));
}

}  // namespace

OptionsForm::OptionsForm(LiveSettings& live, CaptureDevice& device, SettingsStore& store,
                         MessageBoxes& boxes, OptionsHost& host)
    : live_(live), device_(device), store_(store), boxes_(boxes), host_(host) {}

void OptionsForm::setView(OptionsView* view) {
    view_ = view;
    refreshView();
}

void OptionsForm::refreshView() {
    if (view_) view_->refresh();
}

void OptionsForm::OptionsMenu_Click() {
    runOpening();
    shown_ = true;
    refreshView();
    if (view_) view_->showDialog();
    snapshot_ = {templateIndex_, live_.FileString};
}

void OptionsForm::runOpening() {
    deviceControlsEnabled_ = device_.ReadyState() == CaptureDevice::Previewing;
    if (!deviceControlsEnabled_) return;  // the controls keep their contents
    device_.PrepareDevice();
    showDeviceValues();
}

void OptionsForm::showDeviceValues() {
    for (PictureControl control : kDeviceOrder) {
        const int value = readPictureMember(device_, control);
        picture_[static_cast<size_t>(control)] = {std::to_string(value), clampToSpinner(value)};
    }
    composite_ = device_.VideoSource() == CaptureDevice::Composite;
    pal_ = device_.VideoStandard() == CaptureDevice::PAL;
}

void OptionsForm::loadDeviceSettings() {
    applyDeviceSettings(device_, live_.device);
    showDeviceValues();
    refreshView();
}

void OptionsForm::Command_Cancel_Click() {
    templateIndex_ = snapshot_.templateIndex;
    live_.FileString = snapshot_.fileString;
    closeBox();
}

void OptionsForm::closeBox() {
    shown_ = false;
    refreshView();
    if (view_) view_->hideDialog();
}

void OptionsForm::selectTemplate(int index) {
    const int count = static_cast<int>(live_.templates.size());
    templateIndex_ = index >= 0 && index < count ? index : -1;
    refreshView();
}

std::string OptionsForm::selectedTemplateName() const {
    if (templateIndex_ < 0 || templateIndex_ >= static_cast<int>(live_.templates.size())) return {};
    return live_.templates[static_cast<size_t>(templateIndex_)];
}

void OptionsForm::Start_Buffer_Scroll_Change(int value) {
    startBufferScroll_ = clampToSpinner(value);
    startBufferText_ = std::to_string(startBufferScroll_);
    refreshView();
}

void OptionsForm::End_Buffer_Scroll_Change(int value) {
    endBufferScroll_ = clampToSpinner(value);
    endBufferText_ = std::to_string(endBufferScroll_);
    refreshView();
}

void OptionsForm::showLiveStrings() {
    startBufferScroll_ = clampToSpinner(parseWholeNumber(live_.StartBuffer).value_or(0));
    endBufferScroll_ = clampToSpinner(parseWholeNumber(live_.EndBuffer).value_or(0));
    startBufferText_ = live_.StartBuffer;
    endBufferText_ = live_.EndBuffer;
    scheduleFileText_ = live_.ScheduleFile;
    channelPlaylistText_ = live_.ChannelPlaylist;
    tuners_ = live_.Tuners;
    refreshView();
}

void OptionsForm::setTuners(int count) {
    tuners_ = std::clamp(count, kFewestTuners, kMostTuners);
    refreshView();
}

void OptionsForm::scheduleFileBrowsed(const std::string& path) {
    scheduleFileText_ = path;
    live_.ScheduleFile = path;
    refreshView();
}

void OptionsForm::setFileString(const std::string& text) {
    live_.FileString = text;
    refreshView();
}

void OptionsForm::setPreviewRecording(bool on) {
    live_.PreviewRecording = on;
    live_.HearPreviewAudio = on;
    refreshView();
}

void OptionsForm::setHearPreviewAudio(bool on) {
    live_.HearPreviewAudio = on;
    refreshView();
}

void OptionsForm::setAutoLoadSchedule(bool on) {
    live_.AutoLoadSchedule = on;
    refreshView();
}

void OptionsForm::setExpertMode(bool on) {
    live_.ExpertMode = on;
    refreshView();
}

void OptionsForm::setStartInSystemTray(bool on) {
    live_.StartInSystemTray = on;
    if (on) live_.MinimizeToSystem = true;
    refreshView();
}

void OptionsForm::setMinimizeToSystem(bool on) {
    live_.MinimizeToSystem = on;
    refreshView();
}

void OptionsForm::chooseSplit(SplitType type) {
    live_.splitType = type;
    live_.SplitValue.clear();
    acceptedSplitValue_.clear();
    splitUnits_ = type == SplitType::Size   ? translate("OptionsForm", "Mb")
                  : type == SplitType::Time ? translate("OptionsForm", "Mins")
                                            : "";
    refreshView();
}

void OptionsForm::setSplitNumberText(const std::string& text) {
    live_.SplitValue = text;
    refreshView();
}

void OptionsForm::SplitNumber_LostFocus() {
    runSplitCheck();
    refreshView();
}

void OptionsForm::runSplitCheck() {
    if (live_.splitType == SplitType::None) return;
    std::string& value = live_.SplitValue;
    if (value.empty() || value == "0") {
        chooseSplit(SplitType::None);
        return;
    }
    if (!parseNumber(value)) {
        boxes_.show(translate("OptionsForm", "Split Value Error"),
                    translate("OptionsForm", "Split value must be numeric"), MessageBoxes::Icon::None,
                    MessageBoxes::Buttons::Ok);
        value.clear();
        acceptedSplitValue_.clear();
        if (view_) view_->focusControl("SplitNumber");
        return;
    }
    if (!wholeNumberIn(value)) {
        value = acceptedSplitValue_;
        refuse(translate("OptionsForm", "Split Value Error"),
               translate("OptionsForm", "Split value must be a whole number from 0 to 32767"),
               "SplitNumber");
        return;
    }
    acceptedSplitValue_ = value;
}

void OptionsForm::refuse(const std::string& title, const std::string& text,
                         const char* controlName) {
    boxes_.show(title, text, MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
    if (view_) view_->focusControl(controlName);
}

void OptionsForm::setGuideTemplateTicked(int index, bool ticked) {
    if (index < 0 || index >= static_cast<int>(live_.guideTemplates.size())) return;
    live_.guideTemplates[static_cast<size_t>(index)].ticked = ticked;
    refreshView();
}

void OptionsForm::TestFilename_MouseDown() {
    floatFileName_ = host_.exampleFileName();
    floatFileNameVisible_ = true;
    refreshView();
}

void OptionsForm::TestFilename_MouseUp() {
    floatFileName_.clear();
    floatFileNameVisible_ = false;
    refreshView();
}

const std::string& OptionsForm::pictureText(PictureControl control) const {
    return picture_[static_cast<size_t>(control)].text;
}

int OptionsForm::pictureScroll(PictureControl control) const {
    return picture_[static_cast<size_t>(control)].scroll;
}

void OptionsForm::setPictureText(PictureControl control, const std::string& text) {
    picture_[static_cast<size_t>(control)].text = text;
    refreshView();
}

void OptionsForm::pictureScrolled(PictureControl control, int value) {
    if (control == PictureControl::Sharpness) return;  // never updated
    picture_[static_cast<size_t>(control)] = {std::to_string(clampToSpinner(value)),
                                              clampToSpinner(value)};
    refreshView();
}

void OptionsForm::setCaptureSources(std::vector<CaptureSourceChoice> choices) {
    const std::string stored = store_.GetSetting(settings::kDefaults, settings::kCaptureSource);
    const auto isStored = [&](const CaptureSourceChoice& c) { return c.value == stored; };
    if (!stored.empty() && isReadableText(stored, kLongestStoredPath) &&
        std::none_of(choices.begin(), choices.end(), isStored)) {
        const bool file = stored.rfind("file:", 0) == 0;
        choices.push_back({file                  ? fillIn(translate("OptionsForm", "File: %1"), {stored.substr(5)})
                           : isStreamUrl(stored) ? stored
                                                 : fillIn(translate("OptionsForm", "%1 (not found)"), {stored}),
                           stored});
    }
    captureSources_ = std::move(choices);
    const auto found = std::find_if(captureSources_.begin(), captureSources_.end(), isStored);
    captureSourceIndex_ = found != captureSources_.end()
                              ? static_cast<int>(found - captureSources_.begin())
                              : (captureSources_.empty() ? -1 : 0);
    initialCaptureSource_ =
        captureSourceIndex_ < 0
            ? std::string()
            : captureSources_[static_cast<size_t>(captureSourceIndex_)].value;
    refreshView();
}

bool OptionsForm::typeCaptureSource(const std::string& typed) {
    std::string text = typed;
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    if (!isStreamUrl(text) || !isReadableText(text, kLongestStoredPath)) {
        refreshView();  // the drop-down shows the choice it had
        return false;
    }
    const auto same = [&](const CaptureSourceChoice& c) { return c.value == text; };
    auto found = std::find_if(captureSources_.begin(), captureSources_.end(), same);
    if (found == captureSources_.end()) {
        captureSources_.push_back({text, text});
        found = captureSources_.end() - 1;
    }
    captureSourceIndex_ = static_cast<int>(found - captureSources_.begin());
    refreshView();
    return true;
}

void OptionsForm::chooseCaptureSource(int index) {
    if (index >= 0 && index < static_cast<int>(captureSources_.size())) captureSourceIndex_ = index;
    refreshView();
}

}  // namespace kelbo
