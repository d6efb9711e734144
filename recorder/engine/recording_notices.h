#pragma once

#include "recorder/ports/message_boxes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelbo {

// The desktop notifications of a recording's start, finish and failure:
// short texts a passer-by reads at a glance.
using RecordingNotice = Announcement;

// `programme` as the log names it: "\"News\" on BBC1" (or "\"News\"" on no
// channel, see noticeProgrammeText). A finished recording carries its files.
RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file);
// What a finished recording holds, over all its parts and file numbers.
struct FinishFigures {
    std::int64_t mediaMs = 0;
    std::uintmax_t bytes = 0;
    std::int64_t skippedPictures = 0;  // lost to a machine that stalled
    std::vector<std::string> unnamed;  // parts left under their working name
};
RecordingNotice recordingFinishedNotice(const std::string& programme, const FinishFigures& figures,
                                        std::vector<std::string> files = {});
// A recording that came out short: one notice, the finished one's actions
// with it.
RecordingNotice recordingIncompleteNotice(const std::string& shortfall, std::vector<std::string> files);
// Nothing recorded: the one notice that is kept until seen.
RecordingNotice recordingFailedNotice(const std::string& programme, const std::string& reason);

// The programme as notices name it: its name in quotes, "on" its channel
// when it has one (a row on no channel carries a placeholder, not a name).
std::string noticeProgrammeText(const std::string& programme, const std::string& channel);
// The same in the user's language, for the notices and boxes (the log keeps
// noticeProgrammeText's English).
std::string shownProgrammeText(const std::string& programme, const std::string& channel);

}  // namespace kelbo
