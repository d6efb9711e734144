#include "recording_notices.h"

#include "status_texts.h"

#include <filesystem>

namespace kelbo {

RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file) {
    const std::string name = std::filesystem::path(file).filename().string();
    return {"Recording started", "Recording " + programme + (name.empty() ? "" : " into " + name), false, {}};
}

RecordingNotice recordingFinishedNotice(const std::string& programme, const FinishFigures& figures,
                                        std::vector<std::string> files) {
    std::string text = "Recorded " + programme + ": " + hoursMinutesSeconds(figures.mediaMs) + ", " +
                       Format_Byte_Size(static_cast<std::int64_t>(figures.bytes));
    if (figures.skippedPictures > 0)
        text += ", " + std::to_string(figures.skippedPictures) +
                (figures.skippedPictures == 1 ? " picture skipped" : " pictures skipped");
    // Named in full: the user has to find and rename them.
    for (const auto& file : figures.unnamed) text += "; " + file + " could not be given its final name";
    return {"Recording finished", text, false, std::move(files)};
}

RecordingNotice recordingIncompleteNotice(const std::string& shortfall, std::vector<std::string> files) {
    return {"Recording incomplete", shortfall, false, std::move(files)};
}

RecordingNotice recordingFailedNotice(const std::string& programme, const std::string& reason) {
    return {"Recording failed",
            programme + " was not recorded: " + (reason.empty() ? "the device recorded nothing" : reason), true,
            {}};
}

std::string noticeProgrammeText(const std::string& programme, const std::string& channel) {
    std::string text = "\"" + programme + "\"";
    const auto blank = channel.find_first_not_of(' ') == std::string::npos;
    if (!blank && channel != "-NA-") text += " on " + channel;
    return text;
}

}  // namespace kelbo
