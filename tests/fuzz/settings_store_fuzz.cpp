// Feeds arbitrary bytes to the settings store as its file. Besides not
// crashing: names of a section are unique without regard to case, and a
// save keeps every name the file held and stores the new value.
#include "common/settings_store.h"
#include "common/text_util.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

using namespace kelbo;

namespace {

std::filesystem::path storeFile() {
    static const std::filesystem::path file = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::filesystem::path(tmp && *tmp ? tmp : "/tmp") /
               ("kelbo-settings-fuzz-" + std::to_string(::getpid()) + ".ini");
    }();
    return file;
}

void checkUnique(const SettingsStore::Values& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].first.empty() || values[i].first.find('=') != std::string::npos) std::abort();
        for (size_t j = 0; j < i; ++j)
            if (equalsIgnoreCase(values[i].first, values[j].first)) std::abort();
    }
}

std::vector<std::string> names(const SettingsStore::Values& values) {
    std::vector<std::string> out;
    for (const auto& v : values) out.push_back(v.first);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    {
        std::ofstream out(storeFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    SettingsStore store(storeFile());
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
