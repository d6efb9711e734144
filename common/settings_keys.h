#pragma once

#include "default_folders.h"

#include <string>
#include <vector>

namespace kelbo::settings {

// Sections of the settings store.
inline const std::string kDefaults = "Defaults";
inline const std::string kDgTemplates = "DG Templates";

// Keys of section "Defaults".
inline const std::string kTemplate = "Template";
inline const std::string kStartBuffer = "StartBuffer";
inline const std::string kEndBuffer = "EndBuffer";
inline const std::string kScheduleFile = "ScheduleFile";
inline const std::string kPreviewRecording = "PreviewRecording";
inline const std::string kHearPreviewAudio = "HearPreviewAudio";
inline const std::string kFileString = "FileString";
inline const std::string kMinimizeToSystem = "MinimizeToSystem";
inline const std::string kStartInSystemTray = "StartInSystemTray";
inline const std::string kExpertMode = "ExpertMode";
inline const std::string kAutoLoadSchedule = "AutoLoadSchedule";
inline const std::string kSplitType = "SplitType";
inline const std::string kSplitValue = "SplitValue";
// How many programmes can be recorded at once: decimal text from 1 to 8.
// Overlapping programmes clash only beyond it. Missing or anything else: 1.
inline const std::string kTuners = "Tuners";
// The capture device's picture and sound as last given to it from the
// Options dialog: decimal text from 0 to 32767. Missing: the device's own.
inline const std::string kBrightness = "Brightness";
inline const std::string kContrast = "Contrast";
inline const std::string kSaturation = "Saturation";
inline const std::string kTint = "Tint";
inline const std::string kVolume = "Volume";
// Its input, "Composite" or "SVideo", and its standard, "PAL" or "NTSC".
// Missing: the device's own.
inline const std::string kVideoSource = "VideoSource";
inline const std::string kVideoStandard = "VideoStandard";
inline const std::string kPositionLeft = "Position_Left";
inline const std::string kPositionTop = "Position_Top";
inline const std::string kPositionWidth = "Position_Width";
inline const std::string kPositionHeight = "Position_Height";
// Which capture source the device uses: "test", "file:PATH", a network
// stream's URL or a V4L2 device path. Missing: the first V4L2 capture
// device, else "test".
inline const std::string kCaptureSource = "CaptureSource";
// An extended M3U playlist file: when set, each recording reads the stream
// of the entry matching the item's channel.
inline const std::string kChannelPlaylist = "ChannelPlaylist";

// View > Hide Finished Programmes: "1" hides them, "0" (the default) shows.
inline const std::string kHideFinishedProgrammes = "HideFinishedProgrammes";

inline const std::string kDefaultTemplateEntry = "DEFAULT Template";

// The fifteen column field names of the saved list layout; the keys are
// "i_" + name and "i_" + name + "_Width".
const std::vector<std::string>& columnFieldNames();

constexpr int kTwipsPerPixel = 15;

// The default of every key of section "Defaults" that has one; the
// default folders are needed for the paths. Keys without a default read
// as "".
std::string defaultValue(const std::string& key, const DefaultFolders& folders);

// Every key of section "Defaults" that the recorder itself stores.
std::vector<std::string> allDefaultsKeys();

}  // namespace kelbo::settings
