#include "settings_loader.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "recorder/forms/options_form.h"
#include "recorder/device/templates.h"

#include <algorithm>

namespace kelbo {

namespace {

bool fillTemplateLists(LiveSettings& live, const std::string& templateKey, MessageBoxes& boxes) {
    if (!live.templates.empty()) return true;
    auto lists = Fill_Template_Lists(templateKey, live.Template, boxes);
    if (!lists) return false;
    live.templates = std::move(lists->templates);
    live.guideTemplates.clear();
    for (auto& [name, ticked] : lists->digiguideTemplates) live.guideTemplates.push_back({name, ticked});
    live.detailTemplates = std::move(lists->detailTemplates);
    return true;
}

// The entry named like `Template`, else the first entry, which becomes the
// live `Template`. With no entry at all, `Template` is left as it is.
void selectDefaultTemplate(OptionsForm& form) {
    LiveSettings& live = form.live();
    const auto found = std::find(live.templates.begin(), live.templates.end(), live.Template);
    if (found != live.templates.end()) {
        form.selectTemplate(static_cast<int>(found - live.templates.begin()));
    } else if (!live.templates.empty()) {
        form.selectTemplate(0);
        live.Template = live.templates.front();
    } else {
        form.selectTemplate(-1);
    }
}

// Ticks are only added: entries ticked by the fill stay ticked.
void tickStoredGuideTemplates(OptionsForm& form) {
    const auto stored = form.store().GetAllSettings(settings::kDgTemplates);
    const auto& entries = form.live().guideTemplates;
    for (size_t i = 0; i < entries.size(); ++i)
        for (const auto& value : stored)
            if (entries[i].name == value.first) form.setGuideTemplateTicked(static_cast<int>(i), true);
}

// Only what was given to the device: a missing key leaves it its own value.
void saveDeviceSettings(SettingsStore& store, const DeviceSettings& device) {
    using namespace settings;
    const std::pair<const std::string&, const std::optional<int>&> values[] = {
        {kBrightness, device.Brightness}, {kContrast, device.Contrast},
        {kSaturation, device.Saturation}, {kTint, device.Tint}, {kVolume, device.Volume}};
    for (const auto& [key, value] : values)
        if (value) store.SaveSetting(kDefaults, key, std::to_string(*value));
    if (device.Composite)
        store.SaveSetting(kDefaults, kVideoSource, *device.Composite ? "Composite" : "SVideo");
    if (device.PAL) store.SaveSetting(kDefaults, kVideoStandard, *device.PAL ? "PAL" : "NTSC");
}

}  // namespace

SettingsLoadResult Load_Settings(OptionsForm& form, const std::string& templateKey,
                                 const DefaultFolders& folders) {
    const LiveSettings stored = readLiveSettings(form.store(), folders);
    LiveSettings& live = form.live();
    live.Template = stored.Template;
    live.StartBuffer = stored.StartBuffer;
    live.EndBuffer = stored.EndBuffer;
    live.ScheduleFile = stored.ScheduleFile;
    live.ChannelPlaylist = stored.ChannelPlaylist;
    live.Tuners = stored.Tuners;
    live.device = stored.device;
    form.loadDeviceSettings();

    // Each box reacts as to a click; in this order only "Start in System
    // Tray" leaves a trace, by ticking "Minimize to System Tray".
    form.setPreviewRecording(stored.PreviewRecording);
    form.setHearPreviewAudio(stored.HearPreviewAudio);
    form.setMinimizeToSystem(stored.MinimizeToSystem);
    form.setStartInSystemTray(stored.StartInSystemTray);
    form.setExpertMode(stored.ExpertMode);
    form.setAutoLoadSchedule(stored.AutoLoadSchedule);
    form.setFileString(stored.FileString);
    // Choosing the split type empties the value, so the value comes second.
    form.chooseSplit(stored.splitType);
    form.setSplitNumberText(stored.SplitValue);

    const bool firstRun = live.Template.empty();
    if (firstRun) {
        form.messageBoxes().show(translate("SettingsLoader", "Default configuration not set"),
                                 translate("SettingsLoader", "Please configure your default options"),
                                 MessageBoxes::Icon::Information, MessageBoxes::Buttons::Ok);
        live.ScheduleFile = defaultScheduleFile(folders);
    }
    if (!fillTemplateLists(live, templateKey, form.messageBoxes()))
        return SettingsLoadResult::EndProgram;
    selectDefaultTemplate(form);
    form.showLiveStrings();

    if (!firstRun) {
        tickStoredGuideTemplates(form);
        return SettingsLoadResult::Loaded;
    }
    Save_Settings(form);
    return SettingsLoadResult::FirstRun;
}

void Save_Settings(const OptionsForm& form) {
    using namespace settings;
    const LiveSettings& live = form.live();
    SettingsStore& store = form.store();
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    const std::pair<const std::string&, std::string> values[] = {
        {kTemplate, live.Template},
        {kStartBuffer, live.StartBuffer},
        {kEndBuffer, live.EndBuffer},
        {kScheduleFile, live.ScheduleFile},
        {kPreviewRecording, flag(live.PreviewRecording)},
        {kHearPreviewAudio, flag(live.HearPreviewAudio)},
        {kFileString, live.FileString},
        {kMinimizeToSystem, flag(live.MinimizeToSystem)},
        {kStartInSystemTray, flag(live.StartInSystemTray)},
        {kExpertMode, flag(live.ExpertMode)},
        {kAutoLoadSchedule, flag(live.AutoLoadSchedule)},
        {kSplitType, splitTypeText(live.splitType)},
        {kSplitValue, live.SplitValue},
        {kTuners, std::to_string(live.Tuners)},
    };
    for (const auto& [key, value] : values) store.SaveSetting(kDefaults, key, value);
    saveDeviceSettings(store, live.device);
    // Written only once there is one, so stores without streams stay as they were.
    if (!live.ChannelPlaylist.empty() || !store.GetSetting(kDefaults, kChannelPlaylist).empty())
        store.SaveSetting(kDefaults, kChannelPlaylist, live.ChannelPlaylist);
    store.DeleteSetting(kDgTemplates);
    for (const GuideTemplate& entry : live.guideTemplates)
        if (entry.ticked) store.SaveSetting(kDgTemplates, entry.name, "1");
}

}  // namespace kelbo
