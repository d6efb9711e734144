#include "recordings.h"

#include "recorder/device/capture_device.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "recorder/schedule/part_files.h"
#include "common/own_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <tuple>

namespace kelbo {

namespace fs = std::filesystem;

std::string recordingsFolder(const std::string& pattern) {
    fs::path fixed;
    const fs::path whole(pattern);
    for (auto it = whole.begin(); it != whole.end(); ++it) {
        // The last component is the file's own name, never a folder.
        if (std::next(it) == whole.end() || it->string().find('%') != std::string::npos) break;
        fixed /= *it;
    }
    std::error_code error;
    const fs::path absolute = fs::absolute(fixed.empty() ? fs::path(".") : fixed, error);
    return (error ? fixed : absolute).lexically_normal().string();
}

namespace {
// (-file number, part, path) of each final-named part, the latest
// recording first.
std::vector<std::tuple<long, long, std::string>> recordedParts(const std::string& fileNameText) {
    const std::string base = part_files::baseName(fileNameText);
    if (base.empty()) return {};
    const fs::path basePath(base);
    const std::string stem = basePath.filename().string();
    const fs::path folder = basePath.has_parent_path() ? basePath.parent_path() : fs::path(".");
    // stem + file number + "[" + part + "." + parts + "].mpg"
    static const std::regex finalPart(R"((\d{1,9})\[(\d{1,9})\.(\d{1,9})\]\.mpg)");
    std::vector<std::tuple<long, long, std::string>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) continue;
        std::smatch m;
        const std::string rest = name.substr(stem.size());
        // A link or another user's file under the name is no recording of
        // the user's, whatever it leads to: it is never handed to a player.
        if (!std::regex_match(rest, m, finalPart) || !ownRegularFile(entry.path().string())) continue;
        found.emplace_back(-std::stol(m[1].str()), std::stol(m[2].str()), entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}
}  // namespace

std::vector<std::string> latestRecording(const std::string& fileNameText) {
    const auto found = recordedParts(fileNameText);
    std::vector<std::string> files;
    for (const auto& f : found)
        if (std::get<0>(f) == std::get<0>(found.front())) files.push_back(std::get<2>(f));
    return files;
}

std::vector<std::string> recordedFiles(const std::string& fileNameText) {
    const auto found = recordedParts(fileNameText);
    std::vector<std::string> files;
    files.reserve(found.size());
    for (const auto& f : found) files.push_back(std::get<2>(f));
    return files;
}

bool confirmQuit(const CaptureDevice& device, MessageBoxes& messages) {
    if (device.ReadyState() != CaptureDevice::Recording) return true;
    return messages.show(translate("Recordings", "Quit Kelbo"),
                         translate("Recordings", "A programme is being recorded. Quit Kelbo and stop the recording?"),
                         MessageBoxes::Icon::Question,
                         MessageBoxes::Buttons::OkCancelDefaultCancel) == MessageBoxes::Answer::Ok;
}

}  // namespace kelbo
