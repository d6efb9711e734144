#include "settings_store.h"

#include "atomic_file.h"
#include "text_util.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace kelbo {

namespace {

const char kKeyRoot[] = "Software\\VB and VBA Program Settings\\Kelbo\\";

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path SettingsStore::defaultLocation() {
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative values are invalid by the XDG rules and are ignored.
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/") / ".config";
    }
    return base / "kelbo" / "registry.ini";
}

std::string SettingsStore::sectionPath(const std::string& section) {
    return kKeyRoot + section;
}

std::vector<SettingsStore::Section> SettingsStore::read() const {
    std::vector<Section> sections;
    std::ifstream in(file_, std::ios::binary);
    if (!in) return sections;
    // Names match without regard to case; the first of a repeated name wins.
    // Looked up by lower-case name, so a big store reads in one linear pass.
    std::unordered_map<std::string, size_t> sectionIndex;
    std::vector<std::unordered_set<std::string>> seenNames;
    std::string line;
    size_t current = std::string::npos;
    bool firstLine = true;
    while (std::getline(in, line)) {
        // An editor may have saved the file with a UTF-8 byte-order mark.
        if (firstLine && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
        firstLine = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            const auto [it, added] = sectionIndex.try_emplace(lowerCase(name), sections.size());
            if (added) {
                sections.push_back({std::move(name), {}});
                seenNames.emplace_back();
            }
            current = it->second;
            continue;
        }
        const auto eq = line.find('=');
        if (current == std::string::npos || eq == std::string::npos || eq == 0) continue;
        std::string name = line.substr(0, eq);
        if (seenNames[current].insert(lowerCase(name)).second)
            sections[current].values.emplace_back(std::move(name), line.substr(eq + 1));
    }
    return sections;
}

bool SettingsStore::write(const std::vector<Section>& sections) const {
    std::string out;
    bool first = true;
    for (const Section& s : sections) {
        if (!first) out += '\n';
        first = false;
        out.append("[").append(s.name).append("]\n");
        for (const auto& [name, data] : s.values) out.append(name).append("=").append(oneLine(data)).append("\n");
    }
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    return writeFileAtomically(file_, out).ok;
}

std::string SettingsStore::GetSetting(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) const {
    const std::string path = sectionPath(section);
    for (const Section& s : read()) {
        if (!equalsIgnoreCase(s.name, path)) continue;
        for (const auto& [name, data] : s.values)
            if (equalsIgnoreCase(name, key)) return data;
    }
    return defaultValue;
}

bool SettingsStore::SaveSetting(const std::string& section, const std::string& key,
                                const std::string& value) {
    // The file format cannot hold such a name.
    if (key.empty() || key.find_first_of("=\r\n") != std::string::npos) return false;
    const std::string path = sectionPath(section);
    std::vector<Section> sections = read();
    Section* target = nullptr;
    for (Section& s : sections)
        if (equalsIgnoreCase(s.name, path)) target = &s;
    if (!target) {
        sections.push_back({path, {}});
        target = &sections.back();
    }
    for (auto& v : target->values) {
        if (equalsIgnoreCase(v.first, key)) {
            v.second = value;
            return write(sections);
        }
    }
    target->values.emplace_back(key, value);
    return write(sections);
}

SettingsStore::Values SettingsStore::GetAllSettings(const std::string& section) const {
    const std::string path = sectionPath(section);
    for (Section& s : read())
        if (equalsIgnoreCase(s.name, path)) return std::move(s.values);
    return {};
}

bool SettingsStore::DeleteSetting(const std::string& section) {
    const std::string path = sectionPath(section);
    std::vector<Section> sections = read();
    const auto before = sections.size();
    std::erase_if(sections, [&](const Section& s) { return equalsIgnoreCase(s.name, path); });
    if (sections.size() == before) return false;
    return write(sections);
}

}  // namespace kelbo
