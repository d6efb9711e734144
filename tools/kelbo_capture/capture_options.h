#pragma once

#include "recorder/media/gst/capture_source.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelbo {

// kelbo-capture [--source test|file:PATH|/dev/videoN] [--template NAME]
//               [--no-preview] [--seconds S | --limit-ms MS]
//               [--split-every-ms MS] FILE
struct CaptureOptions {
    std::optional<CaptureSource> source;  // none: the CaptureSource setting
    std::string templateName;             // empty: the device's first template
    bool preview = true;
    std::int64_t limitMs = 0;  // 0: until interrupted
    std::int64_t splitEveryMs = 0;
    std::string file;
    bool help = false;  // --help or -h: nothing else is read
};

extern const char* const kCaptureUsage;

// Nothing when the arguments do not make a valid command.
std::optional<CaptureOptions> parseCaptureOptions(const std::vector<std::string>& args);

// The name of part `part` (from 1): FILE itself, then FILE with "-2", "-3"
// ... put before the extension.
std::string partFileName(const std::string& file, int part);

}  // namespace kelbo
