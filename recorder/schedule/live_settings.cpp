#include "live_settings.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/text_util.h"
#include "setting_values.h"

namespace kelbo {

namespace {

// The stored choice between two words (any case); none for anything else.
std::optional<bool> choiceOf(const std::string& text, const char* first, const char* second) {
    if (equalsIgnoreCase(text, first)) return true;
    if (equalsIgnoreCase(text, second)) return false;
    return std::nullopt;
}

DeviceSettings readDeviceSettings(const SettingsStore& store) {
    using namespace settings;
    const auto value = [&](const std::string& key) -> std::optional<int> {
        return wholeNumberIn(store.GetSetting(kDefaults, key));
    };
    DeviceSettings d;
    d.Brightness = value(kBrightness);
    d.Contrast = value(kContrast);
    d.Saturation = value(kSaturation);
    d.Tint = value(kTint);
    d.Volume = value(kVolume);
    d.Composite = choiceOf(store.GetSetting(kDefaults, kVideoSource), "Composite", "SVideo");
    d.PAL = choiceOf(store.GetSetting(kDefaults, kVideoStandard), "PAL", "NTSC");
    return d;
}

}  // namespace

SplitType splitTypeFromText(const std::string& text) {
    if (text == "None") return SplitType::None;
    if (text == "Size") return SplitType::Size;
    return SplitType::Time;
}

const char* splitTypeText(SplitType type) {
    switch (type) {
    case SplitType::None: return "None";
    case SplitType::Size: return "Size";
    case SplitType::Time: return "Time";
    }
    return "None";
}

LiveSettings readLiveSettings(const SettingsStore& store, const DefaultFolders& folders) {
    using namespace settings;
    const auto stored = [&](const std::string& key) {
        return store.GetSetting(kDefaults, key, defaultValue(key, folders));
    };
    // A value of the wrong form reads as the key's default, so that it is
    // neither acted on nor written back by the next save.
    const auto readIf = [&](const std::string& key, auto isRightForm) {
        std::string text = stored(key);
        return isRightForm(text) ? text : defaultValue(key, folders);
    };
    const auto buffer = [&](const std::string& key) {
        return readIf(key, [](const std::string& t) { return wholeNumberIn(t).has_value(); });
    };
    const auto path = [&](const std::string& key) {
        return readIf(key, [](const std::string& t) { return isReadableText(t, kLongestStoredPath); });
    };
    const auto flag = [&](const std::string& key) {
        const auto on = wholeNumberIn(stored(key), 0, 1);
        return on ? *on == 1 : defaultValue(key, folders) == "1";
    };
    LiveSettings s;
    s.Template = stored(kTemplate);
    s.StartBuffer = buffer(kStartBuffer);
    s.EndBuffer = buffer(kEndBuffer);
    s.ScheduleFile = path(kScheduleFile);
    s.PreviewRecording = flag(kPreviewRecording);
    s.HearPreviewAudio = flag(kHearPreviewAudio);
    s.MinimizeToSystem = flag(kMinimizeToSystem);
    s.StartInSystemTray = flag(kStartInSystemTray);
    s.ExpertMode = flag(kExpertMode);
    s.AutoLoadSchedule = flag(kAutoLoadSchedule);
    s.FileString = path(kFileString);
    s.ChannelPlaylist = path(kChannelPlaylist);
    s.splitType = splitTypeFromText(stored(kSplitType));
    s.SplitValue = readIf(kSplitValue, [](const std::string& t) {
        return t.empty() || wholeNumberIn(t).has_value();
    });
    s.Tuners = wholeNumberIn(stored(kTuners), kFewestTuners, kMostTuners).value_or(kFewestTuners);
    s.device = readDeviceSettings(store);
    return s;
}

}  // namespace kelbo
