#pragma once

#include <cstdint>
#include <string>

namespace kelbo {

// The desktop notifications of a recording's start, finish and failure:
// short texts a passer-by reads at a glance.
struct RecordingNotice {
    std::string title;
    std::string text;
};

// `programme` as the log names it: "\"News\" on BBC1".
RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file);
RecordingNotice recordingFinishedNotice(const std::string& programme, std::int64_t mediaMs,
                                        std::uintmax_t bytes);
RecordingNotice recordingFailedNotice(const std::string& programme, const std::string& reason);

}  // namespace kelbo
