#pragma once

#include "common/default_folders.h"

#include <optional>
#include <string>
#include <vector>

namespace kelbo {

class SettingsStore;

enum class SplitType { None, Size, Time };

// An entry of the guide's template list; ticked entries are offered by the
// guide add-in.
struct GuideTemplate {
    std::string name;
    bool ticked = false;
    bool operator==(const GuideTemplate&) const = default;
};

// The capture device's picture, sound, input and standard as last given
// to it from the Options dialog. A value never given is none: the device
// keeps its own.
struct DeviceSettings {
    std::optional<int> Brightness, Contrast, Saturation, Tint, Volume;
    std::optional<bool> Composite;  // the input: Composite, else S-Video
    std::optional<bool> PAL;        // the standard: PAL, else NTSC
    bool operator==(const DeviceSettings&) const = default;
};

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
    // An extended M3U playlist; when set, each recording tunes the device
    // to the stream of its channel's entry.
    std::string ChannelPlaylist;
    SplitType splitType = SplitType::None;
    std::string SplitValue;
    // How many programmes can be recorded at once; overlapping programmes
    // clash only beyond it.
    int Tuners = 1;
    DeviceSettings device;

    // The template lists, filled once from the device's templates.
    // The options dialog's default template list: precanned, then user.
    std::vector<std::string> templates;
    // "Digiguide Templates": "DEFAULT Template", precanned, user.
    std::vector<GuideTemplate> guideTemplates;
    // The detail pane's list: "DEFAULT Template", precanned, user.
    std::vector<std::string> detailTemplates;
};

// "None" (exactly) is no splitting, "Size" is by size, anything else by time.
SplitType splitTypeFromText(const std::string& text);
const char* splitTypeText(SplitType type);

// The stored settings with their defaults: no first-run handling and no
// check of the template against the device's list. A flag other than "0"
// or "1", a buffer or split value that is not a whole number from 0 to
// 32767, a tuner count that is not a whole number from 1 to 8, and a path
// or pattern that is not readable text read as the key's default (for the
// device's settings: none).
LiveSettings readLiveSettings(const SettingsStore& store, const DefaultFolders& folders);

}  // namespace kelbo
