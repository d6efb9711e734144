#include "settings_store.h"

#include "atomic_file.h"
#include "text_util.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kelbo {

namespace {

const char kKeyRoot[] = "Software\\VB and VBA Program Settings\\Kelbo\\";

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
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            current = nullptr;
            for (Section& s : sections)
                if (equalsIgnoreCase(s.name, name)) current = &s;
            if (!current) {
                sections.push_back({name, {}});
                current = &sections.back();
            }
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string::npos || eq == 0) continue;
        std::string name = line.substr(0, eq);
        bool seen = false;
        for (const auto& v : current->values) seen = seen || equalsIgnoreCase(v.first, name);
        if (!seen) current->values.emplace_back(std::move(name), line.substr(eq + 1));
    }
    return sections;
}

bool SettingsStore::write(const std::vector<Section>& sections) const {
    std::ostringstream out;
    bool first = true;
    for (const Section& s : sections) {
        if (!first) out << '\n';
        first = false;
        out << '[' << s.name << "]\n";
        for (const auto& [name, data] : s.values) out << name << '=' << oneLine(data) << '\n';
    }
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    return writeFileAtomically(file_, out.str()).ok;
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
