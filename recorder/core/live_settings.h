#pragma once

#include <string>
#include <vector>

namespace kelbo {

class SettingsStore;

enum class SplitType { None, Size, Time };

// The settings the running recorder reads at the moment of use. The options
// dialog edits these very fields, so a change acts at once.
struct LiveSettings {
    // Application-wide texts, as stored (buffers are not converted).
    std::string Template;
    std::string StartBuffer = "0";
    std::string EndBuffer = "0";
    std::string ScheduleFile;

    bool PreviewRecording = false;
    bool HearPreviewAudio = false;
    bool MinimizeToSystem = false;
    bool StartInSystemTray = false;
    bool ExpertMode = false;
    bool AutoLoadSchedule = true;
    std::string FileString;
    SplitType splitType = SplitType::None;
    std::string SplitValue;
};

// "None" (exactly) is no splitting, "Size" is by size, anything else by time.
SplitType splitTypeFromText(const std::string& text);
const char* splitTypeText(SplitType type);

// The stored settings with their defaults, as they stand: no first-run
// handling and no check of the template against the device's list.
LiveSettings readLiveSettings(const SettingsStore& store, const std::string& programFolder);

}  // namespace kelbo
