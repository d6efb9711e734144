#include "part_files.h"

#include "common/host_paths.h"
#include "common/text_util.h"

#include <cctype>
#include <filesystem>

namespace kelbo::part_files {

std::string baseName(const std::string& fileNameText) {
    return fileNameText.size() > 4 ? fileNameText.substr(0, fileNameText.size() - 4) : std::string();
}

std::string probeName(const std::string& base, int part) {
    return base + "[" + std::to_string(part) + ".].mpg";
}

std::string writingName(const std::string& base, int fileNumber, int part) {
    return base + std::to_string(fileNumber) + "[" + std::to_string(part) + ".].mpg";
}

std::string finalName(const std::string& base, int fileNumber, int part, int parts) {
    return base + std::to_string(fileNumber) + "[" + std::to_string(part) + "." +
           std::to_string(parts) + "].mpg";
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
    const size_t slash = probe.find_last_of("\\/");
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

}  // namespace kelbo::part_files
