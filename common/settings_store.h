#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelbo {

// Per-user string settings, shared by the recorder and the guide add-in.
// One plain text file holds one section per key path:
//
//   [Software\VB and VBA Program Settings\Kelbo\Defaults]
//   StartBuffer=2
//
// Values keep their insertion order. Names and sections match without
// regard to letter case, as registry names do. Reading never creates
// anything; every write replaces the whole file atomically, so a reader in
// another process never sees half of it.
class SettingsStore {
public:
    using Values = std::vector<std::pair<std::string, std::string>>;

    explicit SettingsStore(std::filesystem::path file);
    // A store whose file is `text` held in memory: read and written as the
    // file would be, with nothing on disk (for checking the format at the
    // speed of memory).
    static SettingsStore inMemory(std::string text);

    // $XDG_CONFIG_HOME/kelbo/registry.ini, or ~/.config/kelbo/registry.ini.
    static std::filesystem::path defaultLocation();

    const std::filesystem::path& file() const { return file_; }

    // `section` is the short name ("Defaults", "DG Templates"); the file
    // names sections by their full key path.
    std::string GetSetting(const std::string& section, const std::string& key,
                           const std::string& defaultValue = {}) const;
    bool SaveSetting(const std::string& section, const std::string& key, const std::string& value);
    Values GetAllSettings(const std::string& section) const;
    bool DeleteSetting(const std::string& section);

    static std::string sectionPath(const std::string& section);

private:
    struct Section {
        std::string name;
        Values values;
    };
    // The text to read: the one in memory, else the file's, read into
    // `buffer`; null when there is no file.
    const std::string* contents(std::optional<std::string>& buffer) const;
    std::vector<Section> read() const;
    bool write(const std::vector<Section>& sections);

    std::filesystem::path file_;
    std::optional<std::string> memory_;  // the file's text, for a store in memory
};

}  // namespace kelbo
