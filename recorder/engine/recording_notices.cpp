#include "recording_notices.h"

#include "status_texts.h"

#include <filesystem>

namespace kelbo {

RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file) {
    const std::string name = std::filesystem::path(file).filename().string();
    return {"Recording started", "Recording " + programme + (name.empty() ? "" : " into " + name), false, {}};
}

RecordingNotice recordingFinishedNotice(const std::string& programme, std::int64_t mediaMs,
                                        std::uintmax_t bytes, std::vector<std::string> files) {
    return {"Recording finished",
            "Recorded " + programme + ": " + hoursMinutesSeconds(mediaMs) + ", " +
                Format_Byte_Size(static_cast<std::int64_t>(bytes)),
            false, std::move(files)};
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
