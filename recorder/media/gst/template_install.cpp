#include "template_install.h"

#include "common/default_folders.h"
#include "recorder/device/templates.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace kelbo {

namespace fs = std::filesystem;

namespace {

// "Key=Value" lines of a template's text, by key.
std::vector<std::pair<std::string, std::string>> settingLines(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
        lines.emplace_back(key, line);
    }
    return lines;
}

// Keys added to the shipped templates after their first release.
const std::set<std::string> kLaterKeys = {"VideoCodec", "Layout"};

// A template put in place by an earlier version lacks the later keys: they
// are appended, and every value already there stays as it is.
void addMissingKeys(const fs::path& file, const std::string& shippedText) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    std::ostringstream present;
    present << in.rdbuf();
    in.close();
    const std::string text = present.str();
    std::set<std::string> keys;
    for (const auto& [key, line] : settingLines(text)) keys.insert(key);
    std::string missing;
    for (const auto& [key, line] : settingLines(shippedText))
        if (kLaterKeys.count(key) && !keys.count(key)) missing += line + "\n";
    if (missing.empty()) return;
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!text.empty() && text.back() != '\n') out << "\n";
    out << missing;
}

}  // namespace

std::string defaultDeviceRegistryKey() {
    return xdgDataHome() + "/kelbo/device";
}

bool installPrecannedTemplates(const std::string& deviceRegistryKey) {
    const fs::path folder = templateKeyFor(deviceRegistryKey);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return false;
    for (const ShippedTemplate& t : shippedTemplates()) {
        const fs::path file = folder / (std::string(t.name) + std::string(kTemplateFileExtension));
        if (fs::exists(file, ec)) addMissingKeys(file, t.text);
        else std::ofstream(file, std::ios::binary) << t.text;
    }
    return true;
}

}  // namespace kelbo
