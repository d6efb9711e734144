// Feeds arbitrary bytes to the settings store as its file (held in memory:
// the disk would only slow it down). Besides not crashing: names of a
// section are unique without regard to case, and a save keeps every name
// the file held and stores the new value.
#include "common/settings_store.h"
#include "common/text_util.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

using namespace kelbo;

namespace {

void checkUnique(const SettingsStore::Values& values) {
    std::unordered_set<std::string> lowered;
    for (const auto& [name, value] : values) {
        if (name.empty() || name.find('=') != std::string::npos) std::abort();
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!lowered.insert(std::move(lower)).second) std::abort();
    }
}

std::vector<std::string> names(const SettingsStore::Values& values) {
    std::vector<std::string> out;
    for (const auto& v : values) out.push_back(v.first);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    SettingsStore store = SettingsStore::inMemory(std::string(reinterpret_cast<const char*>(data), size));
    const SettingsStore::Values templates = store.GetAllSettings("DG Templates");
    const SettingsStore::Values defaults = store.GetAllSettings("Defaults");
    checkUnique(templates);
    checkUnique(defaults);
    for (const auto& [name, value] : defaults)
        if (store.GetSetting("Defaults", name) != value) std::abort();

    if (!store.SaveSetting("Defaults", "FuzzKey", "fuzz value")) return 0;
    if (store.GetSetting("Defaults", "fuzzkey") != "fuzz value") std::abort();
    if (names(store.GetAllSettings("DG Templates")) != names(templates)) std::abort();
    std::vector<std::string> before = names(defaults), after = names(store.GetAllSettings("Defaults"));
    bool hadKey = false;
    for (const auto& n : before) hadKey = hadKey || equalsIgnoreCase(n, "FuzzKey");
    if (!hadKey) before.push_back("FuzzKey");
    if (after != before) std::abort();
    return 0;
}
