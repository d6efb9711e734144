#include "recording_notices.h"

#include "status_texts.h"

#include <filesystem>

namespace kelbo {

RecordingNotice recordingStartedNotice(const std::string& programme, const std::string& file) {
    const std::string name = std::filesystem::path(file).filename().string();
    return {"Recording started", "Recording " + programme + (name.empty() ? "" : " into " + name)};
}

RecordingNotice recordingFinishedNotice(const std::string& programme, std::int64_t mediaMs,
                                        std::uintmax_t bytes) {
    return {"Recording finished", "Recorded " + programme + ": " + hoursMinutesSeconds(mediaMs) + ", " +
                                      Format_Byte_Size(static_cast<std::int64_t>(bytes))};
}

RecordingNotice recordingFailedNotice(const std::string& programme, const std::string& reason) {
    return {"Recording failed",
            programme + " was not recorded: " + (reason.empty() ? "the device recorded nothing" : reason)};
}

}  // namespace kelbo
