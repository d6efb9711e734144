#include "live_settings.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/text_util.h"

namespace kelbo {

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

LiveSettings readLiveSettings(const SettingsStore& store, const std::string& programFolder) {
    using namespace settings;
    const auto text = [&](const std::string& key) {
        return store.GetSetting(kDefaults, key, defaultValue(key, programFolder));
    };
    // A flag that does not read as a number counts as off.
    const auto flag = [&](const std::string& key) {
        const auto n = parseWholeNumber(text(key));
        return n && *n != 0;
    };
    LiveSettings s;
    s.Template = text(kTemplate);
    s.StartBuffer = text(kStartBuffer);
    s.EndBuffer = text(kEndBuffer);
    s.ScheduleFile = text(kScheduleFile);
    s.PreviewRecording = flag(kPreviewRecording);
    s.HearPreviewAudio = flag(kHearPreviewAudio);
    s.MinimizeToSystem = flag(kMinimizeToSystem);
    s.StartInSystemTray = flag(kStartInSystemTray);
    s.ExpertMode = flag(kExpertMode);
    s.AutoLoadSchedule = flag(kAutoLoadSchedule);
    s.FileString = text(kFileString);
    s.splitType = splitTypeFromText(text(kSplitType));
    s.SplitValue = text(kSplitValue);
    return s;
}

}  // namespace kelbo
