#include "part_files.h"

#include "common/host_paths.h"
#include "common/own_files.h"
#include "common/text_util.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace kelbo::part_files {

namespace {

std::string workingName(const std::string& stem, int part) {
    return stem + "[" + std::to_string(part) + ".].mpg";
}

std::string finalOf(const std::string& stem, int part, int parts) {
    return stem + "[" + std::to_string(part) + "." + std::to_string(parts) + "].mpg";
}

size_t lastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

}  // namespace

std::string fitBytes(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return std::string(text);
    size_t cut = bytes;
    // Back off to the first byte of the character that would be split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut));
}

std::string baseName(const std::string& fileNameText) {
    if (fileNameText.size() <= 4) return std::string();
    const std::string base = fileNameText.substr(0, fileNameText.size() - 4);
    const size_t slash = lastSeparator(base);
    const size_t from = slash == std::string::npos ? 0 : slash + 1;
    return base.substr(0, from) + fitBytes(std::string_view(base).substr(from), kMostBaseComponentBytes);
}

std::string probeName(const std::string& base, int part) {
    return base + "[" + std::to_string(part) + ".].mpg";
}

std::string writingName(const std::string& base, int fileNumber, int part) {
    return workingName(base + std::to_string(fileNumber), part);
}

std::string finalName(const std::string& base, int fileNumber, int part, int parts) {
    return finalOf(base + std::to_string(fileNumber), part, parts);
}

std::string firstFileName(const std::string& fileNameText) {
    return fileNameText.empty() ? std::string() : finalName(baseName(fileNameText), 1, 1, 1);
}

std::string folderOf(const std::string& path) {
    const size_t slash = lastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

namespace {

// A file number fits the recorder's 16-bit counter with room for one more.
constexpr long kHighestFileNumber = 32766;

bool endsWithMpg(const std::string& name) {
    return name.size() >= 4 && equalsIgnoreCase(std::string_view(name).substr(name.size() - 4), ".mpg");
}

long numberBetween(const std::string& name, size_t from, size_t to) {
    if (to <= from || to - from > 5) return -1;
    long n = 0;
    for (size_t i = from; i < to; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

}  // namespace

int chooseFileNumber(const std::string& probe) {
    const size_t slash = lastSeparator(probe);
    const std::string folder = slash == std::string::npos ? "." : probe.substr(0, slash + 1);
    const std::string component = slash == std::string::npos ? probe : probe.substr(slash + 1);
    const std::string prefix = component.size() > 8 ? component.substr(0, component.size() - 8) : "";

    int fileNumber = 1;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(toHostPath(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0 || !endsWithMpg(name)) continue;
        const size_t bracket = name.find('[', prefix.size());
        if (bracket == std::string::npos) continue;
        const long n = numberBetween(name, prefix.size(), bracket);
        if (n < 0 || n > kHighestFileNumber) continue;
        if (n >= fileNumber) fileNumber = static_cast<int>(n) + 1;
    }
    return fileNumber;
}

bool removeIfEmpty(const std::string& file) {
    const std::string path = toHostPath(file);
    const auto own = ownRegularFile(path);
    return own && own->size == 0 && ::unlink(path.c_str()) == 0;
}

FinalNames nameFinalParts(const WorkingParts& found) {
    FinalNames result;
    std::vector<int> kept;
    for (const int part : found.parts) {
        const std::string name = workingName(found.stem, part);
        if (removeIfEmpty(name)) {
            result.removed.push_back(name);
            continue;
        }
        // A link or another user's file under a part's name is not a part:
        // named, it would be played and counted as the user's recording.
        std::error_code ec;
        if (ownRegularFile(toHostPath(name))) kept.push_back(part);
        else if (std::filesystem::symlink_status(toHostPath(name), ec).type() != std::filesystem::file_type::not_found)
            result.failed.push_back(name);
    }
    const int count = static_cast<int>(kept.size());
    for (int i = 0; i < count; ++i) {
        const std::string from = workingName(found.stem, kept[static_cast<size_t>(i)]);
        const std::string to = finalOf(found.stem, i + 1, count);
        const bool renamed = renameOwnFile(toHostPath(from), toHostPath(to)) == OwnRename::Renamed;
        (renamed ? result.named : result.failed).push_back(renamed ? to : from);
    }
    return result;
}

FinalNames nameFinalParts(const std::string& base, int fileNumber, const std::vector<int>& parts) {
    return nameFinalParts(WorkingParts{base + std::to_string(fileNumber), parts});
}

namespace {

// Calls `visit(name, prefixEnd, bracket)` for each file in `base`'s folder
// whose name begins with `base`'s own name (up to `prefixEnd`), ends with
// `tail` and has a '[' after that beginning (at `bracket`).
template <typename Visit>
void forEachPartName(const std::string& base, const std::string& tail, Visit visit) {
    const std::string folder = folderOf(base);
    const std::string prefix = base.substr(folder.size());
    std::error_code ec;
    for (std::filesystem::directory_iterator it(toHostPath(folder.empty() ? "." : folder), ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() + tail.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        const size_t bracket = name.find('[', prefix.size());
        if (bracket != std::string::npos) visit(name, prefix.size(), bracket);
    }
}

}  // namespace

std::vector<WorkingParts> findWorkingParts(const std::string& base) {
    static const std::string kTail = ".].mpg";
    const std::string folder = folderOf(base);
    std::map<std::string, std::vector<int>> byStem;
    forEachPartName(base, kTail, [&](const std::string& name, size_t prefixEnd, size_t bracket) {
        if (numberBetween(name, prefixEnd, bracket) < 0) return;
        const long part = numberBetween(name, bracket + 1, name.size() - kTail.size());
        if (part >= 1) byStem[folder + name.substr(0, bracket)].push_back(static_cast<int>(part));
    });
    std::vector<WorkingParts> found;
    for (auto& [stem, parts] : byStem) {
        std::sort(parts.begin(), parts.end());
        found.push_back({stem, parts});
    }
    return found;
}

std::vector<PartFile> partsOf(const std::string& base) {
    static const std::string kTail = "].mpg";
    const std::string folder = folderOf(base);
    std::vector<PartFile> found;
    forEachPartName(base, kTail, [&](const std::string& name, size_t prefixEnd, size_t bracket) {
        if (name.find('.', bracket) >= name.size() - kTail.size()) return;
        const long number = numberBetween(name, prefixEnd, bracket);
        if (number >= 1 && number <= kHighestFileNumber && ownRegularFile(toHostPath(folder + name)))
            found.push_back({folder + name, static_cast<int>(number)});
    });
    std::sort(found.begin(), found.end(), [](const PartFile& a, const PartFile& b) { return a.path < b.path; });
    return found;
}

}  // namespace kelbo::part_files
