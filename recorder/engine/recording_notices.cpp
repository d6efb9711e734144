#include "recording_notices.h"

#include "status_texts.h"
#include "recorder/ports/translation.h"

#include <filesystem>

namespace kelbo {

RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file) {
    const std::string name = std::filesystem::path(file).filename().string();
    const std::string text =
        name.empty() ? fillIn(translate("RecordingNotices", "Recording %1"), {programme})
                     : fillIn(translate("RecordingNotices", "Recording %1 into %2"), {programme, name});
    return {translate("RecordingNotices", "Recording started"), text, false, {}};
}

RecordingNotice recordingFinishedNotice(const std::string& programme, const FinishFigures& figures,
                                        std::vector<std::string> files) {
    std::string text = fillIn(translate("RecordingNotices", "Recorded %1: %2, %3"),
                              {programme, hoursMinutesSeconds(figures.mediaMs),
                               Format_Byte_Size(static_cast<std::int64_t>(figures.bytes))});
    if (figures.skippedPictures > 0)
        text += fillIn(figures.skippedPictures == 1 ? translate("RecordingNotices", ", %1 picture skipped")
                                                    : translate("RecordingNotices", ", %1 pictures skipped"),
                       {std::to_string(figures.skippedPictures)});
    // Named in full: the user has to find and rename them.
    for (const auto& file : figures.unnamed)
        text += fillIn(translate("RecordingNotices", "; %1 could not be given its final name"), {file});
    return {translate("RecordingNotices", "Recording finished"), text, false, std::move(files)};
}

RecordingNotice recordingIncompleteNotice(const std::string& shortfall, std::vector<std::string> files) {
    return {translate("RecordingNotices", "Recording incomplete"), shortfall, false, std::move(files)};
}

RecordingNotice recordingFailedNotice(const std::string& programme, const std::string& reason) {
    return {translate("RecordingNotices", "Recording failed"),
            fillIn(translate("RecordingNotices", "%1 was not recorded: %2"),
                   {programme, reason.empty() ? translate("RecordingNotices", "the device recorded nothing") : reason}),
            true,
            {}};
}

std::string shownProgrammeText(const std::string& programme, const std::string& channel) {
    const auto blank = channel.find_first_not_of(' ') == std::string::npos;
    if (!blank && channel != "-NA-")
        return fillIn(translate("RecordingNotices", "\"%1\" on %2"), {programme, channel});
    return fillIn(translate("RecordingNotices", "\"%1\""), {programme});
}

std::string noticeProgrammeText(const std::string& programme, const std::string& channel) {
    std::string text = "\"" + programme + "\"";
    const auto blank = channel.find_first_not_of(' ') == std::string::npos;
    if (!blank && channel != "-NA-") text += " on " + channel;
    return text;
}

}  // namespace kelbo
