#include "settings_keys.h"

#include "text_util.h"

namespace kelbo::settings {

const std::vector<std::string>& columnFieldNames() {
    static const std::vector<std::string> names = {
        "IndexString", "ArrayID", "StartDate", "StartTime", "ProgrammeName",
        "Duration", "ChannelName", "ChannelNumber", "Filename", "Template",
        "StartBuffer", "EndBuffer", "Description", "Category", "Complete"};
    return names;
}

std::string defaultValue(const std::string& key, const DefaultFolders& folders) {
    if (key == kStartBuffer || key == kEndBuffer) return "0";
    if (key == kAutoLoadSchedule) return "1";
    if (key == kPreviewRecording || key == kHearPreviewAudio || key == kMinimizeToSystem ||
        key == kStartInSystemTray || key == kExpertMode)
        return "0";
    if (key == kSplitType) return "None";
    if (key == kTuners) return "1";
    if (key == kFileString) return defaultFileString(folders);
    if (key == kPositionLeft || key == kPositionTop) return "0";
    if (key == kPositionWidth) return std::to_string(640 * kTwipsPerPixel);
    if (key == kPositionHeight) return std::to_string(400 * kTwipsPerPixel);
    return {};
}

std::vector<std::string> allDefaultsKeys() {
    std::vector<std::string> keys = {
        kTemplate, kStartBuffer, kEndBuffer, kScheduleFile, kPreviewRecording,
        kHearPreviewAudio, kFileString, kMinimizeToSystem, kStartInSystemTray, kExpertMode,
        kAutoLoadSchedule, kSplitType, kSplitValue, kTuners, kBrightness, kContrast, kSaturation,
        kTint, kVolume, kVideoSource, kVideoStandard, kPositionLeft, kPositionTop,
        kPositionWidth, kPositionHeight};
    for (const std::string& field : columnFieldNames()) {
        keys.push_back("i_" + field);
        keys.push_back("i_" + field + "_Width");
    }
    return keys;
}

}  // namespace kelbo::settings
