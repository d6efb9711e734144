#include "settings_store.h"

#include "atomic_file.h"
#include "text_util.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace kelbo {

namespace {

const char kKeyRoot[] = "Software\\VB and VBA Program Settings\\Kelbo\\";

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct NoCaseHash {
    size_t operator()(std::string_view text) const {
        std::uint64_t h = 1469598103934665603ull;
        for (const char c : text) {
            h ^= static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
            h *= 1099511628211ull;
        }
        return static_cast<size_t>(h);
    }
};
struct NoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return equalsIgnoreCase(a, b); }
};

// The whole file in one read where its size is known.
std::optional<std::string> fileContents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    std::string text(ec ? 0 : static_cast<size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    // Grown since (or of no known size): the rest as it comes.
    if (in) text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return text;
}

// Calls onSection(name) for each "[name]" line and onValue(name, value) for
// each "name=value" line after the first section, in file order, until one
// of them returns false. Lines end in LF or CR LF.
template <typename OnSection, typename OnValue>
void forEachLine(std::string_view text, OnSection onSection, OnValue onValue) {
    // An editor may have saved the file with a UTF-8 byte-order mark.
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    bool inSection = false;
    // Walked with pointers: a big store is read often (every get), line by line.
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at != end) {
        const auto* newline = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
        const char* lineEnd = newline ? newline : end;
        const char* const next = newline ? newline + 1 : end;
        if (lineEnd != at && lineEnd[-1] == '\r') --lineEnd;
        const std::string_view line(at, static_cast<size_t>(lineEnd - at));
        at = next;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            inSection = true;
            if (!onSection(line.substr(1, line.size() - 2))) return;
            continue;
        }
        if (!inSection) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        if (!onValue(line.substr(0, eq), line.substr(eq + 1))) return;
    }
}

// Calls take(name, value) for each setting of the section named `path`, in
// all of its parts, in file order, until it returns false.
template <typename Take>
void forEachInSection(std::string_view text, const std::string& path, Take take) {
    bool inTarget = false;
    forEachLine(
        text,
        [&](std::string_view name) {
            inTarget = equalsIgnoreCase(name, path);
            return true;
        },
        [&](std::string_view name, std::string_view value) { return !inTarget || take(name, value); });
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

SettingsStore SettingsStore::inMemory(std::string text) {
    SettingsStore store({});
    store.memory_ = std::move(text);
    return store;
}

const std::string* SettingsStore::contents(std::optional<std::string>& buffer) const {
    if (memory_) return &*memory_;
    buffer = fileContents(file_);
    return buffer ? &*buffer : nullptr;
}

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
    std::optional<std::string> buffer;
    const std::string* text = contents(buffer);
    if (!text) return sections;
    // Names match without regard to case; the first of a repeated name wins.
    // Looked up by hash, so a big store reads in one linear pass.
    std::unordered_map<std::string_view, size_t, NoCaseHash, NoCaseEqual> sectionIndex;
    std::vector<std::unordered_set<std::string_view, NoCaseHash, NoCaseEqual>> seenNames;
    size_t current = 0;
    forEachLine(
        *text,
        [&](std::string_view name) {
            const auto [it, added] = sectionIndex.try_emplace(name, sections.size());
            if (added) {
                sections.push_back({std::string(name), {}});
                seenNames.emplace_back();
            }
            current = it->second;
            return true;
        },
        [&](std::string_view name, std::string_view value) {
            if (seenNames[current].insert(name).second)
                sections[current].values.emplace_back(std::string(name), std::string(value));
            return true;
        });
    return sections;
}

bool SettingsStore::write(const std::vector<Section>& sections) {
    std::string out;
    bool first = true;
    for (const Section& s : sections) {
        if (!first) out += '\n';
        first = false;
        out.append("[").append(s.name).append("]\n");
        for (const auto& [name, data] : s.values) out.append(name).append("=").append(oneLine(data)).append("\n");
    }
    if (memory_) {
        memory_ = std::move(out);
        return true;
    }
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    removeStaleTemporaries(file_);
    return writeFileAtomically(file_, out).ok;
}

std::string SettingsStore::GetSetting(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) const {
    std::optional<std::string> buffer;
    const std::string* text = contents(buffer);
    if (!text) return defaultValue;
    // The first value of that name in any of the section's parts wins, as
    // when the sections are read whole.
    const std::string path = sectionPath(section);
    std::optional<std::string> found;
    forEachInSection(*text, path, [&](std::string_view name, std::string_view value) {
        if (equalsIgnoreCase(name, key)) found = std::string(value);
        return !found;
    });
    return found.value_or(defaultValue);
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
    std::optional<std::string> buffer;
    const std::string* text = contents(buffer);
    if (!text) return {};
    // Only the section asked for is kept, from all of its parts, the first
    // of a repeated name winning, as when the sections are read whole.
    const std::string path = sectionPath(section);
    Values values;
    std::unordered_set<std::string_view, NoCaseHash, NoCaseEqual> seen;
    forEachInSection(*text, path, [&](std::string_view name, std::string_view value) {
        if (seen.insert(name).second) values.emplace_back(std::string(name), std::string(value));
        return true;
    });
    return values;
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
