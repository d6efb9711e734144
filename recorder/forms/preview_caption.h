#pragma once

#include "recorder/ports/translation.h"

#include <string>

namespace kelbo {

class CaptureDevice;

inline constexpr const char* kNoPictureCaption = KELBO_TRANSLATE_NOOP("PreviewCaption", "No picture");
inline constexpr const char* kRecordingPreviewOffCaption =
    KELBO_TRANSLATE_NOOP("PreviewCaption", "Recording \u2014 preview off");
inline constexpr const char* kRadioCaption = KELBO_TRANSLATE_NOOP("PreviewCaption", "Radio \u2014 sound only");

// What the preview window says instead of a picture: during a recording
// without "Preview When Recording" that the picture is off on purpose, and
// without "Live Preview" that there is none; that a radio stream has no
// picture to show; empty while a live picture is shown.
std::string previewCaption(const CaptureDevice& device, bool livePreviewTicked);

}  // namespace kelbo
