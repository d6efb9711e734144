#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelbo {

// The desktop notifications of a recording's start, finish and failure:
// short texts a passer-by reads at a glance.
struct RecordingNotice {
    std::string title;
    std::string text;
};

// `programme` as the log names it: "\"News\" on BBC1".
RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file);
// What a finished recording holds, over all its parts and file numbers.
struct FinishFigures {
    std::int64_t mediaMs = 0;
    std::uintmax_t bytes = 0;
    std::int64_t skippedPictures = 0;  // lost to a machine that stalled
    std::vector<std::string> unnamed;  // parts left under their working name
};
RecordingNotice recordingFinishedNotice(const std::string& programme, const FinishFigures& figures);
RecordingNotice recordingFailedNotice(const std::string& programme, const std::string& reason);

}  // namespace kelbo
