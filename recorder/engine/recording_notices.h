#pragma once

#include "recorder/ports/message_boxes.h"

#include <cstdint>
#include <string>

namespace kelbo {

// The desktop notifications of a recording's start, finish and failure:
// short texts a passer-by reads at a glance.
using RecordingNotice = Announcement;

// `programme` as the log names it: "\"News\" on BBC1" (or "\"News\"" on no
// channel, see noticeProgrammeText). A finished recording carries its files.
RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file);
RecordingNotice recordingFinishedNotice(const std::string& programme, std::int64_t mediaMs,
                                        std::uintmax_t bytes, std::vector<std::string> files = {});
// A recording that came out short: one notice, the finished one's actions
// with it.
RecordingNotice recordingIncompleteNotice(const std::string& shortfall, std::vector<std::string> files);
// Nothing recorded: the one notice that is kept until seen.
RecordingNotice recordingFailedNotice(const std::string& programme, const std::string& reason);

// The programme as notices name it: its name in quotes, "on" its channel
// when it has one (a row on no channel carries a placeholder, not a name).
std::string noticeProgrammeText(const std::string& programme, const std::string& channel);

}  // namespace kelbo
