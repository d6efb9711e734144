// OK and Apply of the Options dialog: take the dialog's fields into the
// live settings, store them, and push the picture settings to the device.
#include "options_form.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/text_util.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "recorder/forms/picture_controls.h"
#include "recorder/schedule/setting_values.h"
#include "recorder/forms/settings_loader.h"
#include "recorder/device/capture_device.h"

#include <algorithm>

namespace kelbo {

void OptionsForm::Command_OK_Click() {
    commit();
    closeBox();
}

void OptionsForm::Command_Apply_Click() {
    commit();
    OptionsMenu_Click();
}

void OptionsForm::commit() {
    bool changed = commitTemplate();
    changed |= commitBuffer(startBufferText_, startBufferScroll_, live_.StartBuffer,
                            KELBO_TRANSLATE_NOOP("OptionsForm", "Default Start Buffer"), "Default_Start_Buffer");
    changed |= commitBuffer(endBufferText_, endBufferScroll_, live_.EndBuffer,
                            KELBO_TRANSLATE_NOOP("OptionsForm", "Default End Buffer"), "Default_End_Buffer");
    if (scheduleFileText_ != live_.ScheduleFile) {
        changed = true;
        live_.ScheduleFile = scheduleFileText_;
    }
    // Read at each recording's start: nothing else to do.
    live_.ChannelPlaylist = channelPlaylistText_;
    // The clashes depend on it: the list is marked again.
    if (tuners_ != live_.Tuners) {
        changed = true;
        live_.Tuners = tuners_;
    }
    if (live_.FileString != snapshot_.fileString) {
        changed = true;
        snapshot_.fileString = live_.FileString;
    }
    if (changed && device_.ReadyState() != CaptureDevice::Recording) host_.reloadSchedule();
    runSplitCheck();
    // The device's controls act only while it previews; what they then
    // give it is stored with the rest.
    const bool previewing = device_.ReadyState() == CaptureDevice::Previewing;
    if (previewing) takeDeviceSettings();
    Save_Settings(*this);
    storeCaptureSource();
    if (previewing) updateDevice();
    refreshView();
}

bool OptionsForm::commitTemplate() {
    if (templateIndex_ < 0) return false;
    const std::string name = selectedTemplateName();
    if (name == live_.Template) return false;
    live_.Template = name;
    return true;
}

// A buffer that is not a whole number in the spinner's range is refused:
// the field goes back to the live value, which stays as it is.
bool OptionsForm::commitBuffer(std::string& text, int& scroll, std::string& live,
                               const char* label, const char* controlName) {
    const long long current = parseWholeNumber(live).value_or(0);
    const auto typed = wholeNumberIn(text);
    if (!typed) {
        text = live;
        scroll = static_cast<int>(current);
        refuse(translate("OptionsForm", "Buffer Value Error"),
               fillIn(translate("OptionsForm", "%1 must be a whole number of minutes from 0 to 32767"),
                      {translate("OptionsForm", label)}),
               controlName);
        return false;
    }
    if (*typed == current) return false;
    live = std::to_string(*typed);
    return true;
}

void OptionsForm::takeDeviceSettings() {
    refusePictureTexts();
    for (PictureControl control : kDeviceOrder) *settingOf(live_.device, control) = pictureValue(control);
    live_.device.Composite = composite_;
    live_.device.PAL = pal_;
}

// After takeDeviceSettings.
void OptionsForm::updateDevice() {
    if (!deviceNeedsUpdate()) return;
    device_.StopPreview();
    for (PictureControl control : kDeviceOrder)
        writePictureMember(device_, control, pictureValue(control));
    device_.setVideoSource(composite_ ? CaptureDevice::Composite : CaptureDevice::SVideo);
    device_.setVideoStandard(pal_ ? CaptureDevice::PAL : CaptureDevice::NTSC);
    device_.CommitVideoSettings();
    device_.PrepareDevice();
    device_.setRecordingTemplate(selectedTemplateName());
    device_.StartPreview();
}

// A picture text that is not a whole number in the spinner's range goes
// back to the device's value; the device's own value always stands, even
// outside that range. Returns whether any text was refused.
bool OptionsForm::refusePictureTexts() {
    bool refused = false;
    for (PictureControl control : kDeviceOrder) {
        PictureField& field = picture_[static_cast<size_t>(control)];
        const int member = readPictureMember(device_, control);
        if (wholeNumberIn(field.text) || field.text == std::to_string(member)) continue;
        field.text = std::to_string(member);
        field.scroll = std::clamp(member, kSpinnerMin, kSpinnerMax);
        if (!refused)
            refuse(translate("OptionsForm", "Picture Value Error"),
                   fillIn(translate("OptionsForm", "%1 must be a whole number from 0 to 32767"),
                          {translate("PictureControls", namesOf(control).label)}),
                   namesOf(control).textField);
        refused = true;
    }
    return refused;
}

// After refusePictureTexts every text is a whole number in range or the
// device's own value.
int OptionsForm::pictureValue(PictureControl control) const {
    const auto typed = wholeNumberIn(pictureText(control));
    return typed ? *typed : readPictureMember(device_, control);
}

bool OptionsForm::deviceNeedsUpdate() const {
    for (PictureControl control : kDeviceOrder)
        if (pictureValue(control) != readPictureMember(device_, control)) return true;
    const int source = device_.VideoSource(), standard = device_.VideoStandard();
    return selectedTemplateName() != device_.RecordingTemplate() ||
           (composite_ && source != CaptureDevice::Composite) ||
           (!composite_ && source != CaptureDevice::SVideo) ||
           (pal_ && standard != CaptureDevice::PAL) || (!pal_ && standard != CaptureDevice::NTSC);
}

// Only a source the user chose is stored: while the key is missing the
// device keeps picking the first capture device found.
void OptionsForm::storeCaptureSource() {
    if (captureSourceIndex_ < 0) return;
    const std::string& chosen = captureSources_[static_cast<size_t>(captureSourceIndex_)].value;
    const std::string stored = store_.GetSetting(settings::kDefaults, settings::kCaptureSource);
    if (chosen == stored || (stored.empty() && chosen == initialCaptureSource_)) return;
    store_.SaveSetting(settings::kDefaults, settings::kCaptureSource, chosen);
}

}  // namespace kelbo
