#include "template_list.h"

#include "guide_records.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "common/text_util.h"

#include <fstream>

namespace kelbo::addin {

namespace {

// A missing store is an empty key, as a registry key created on the spot;
// only a store that exists and cannot be read means the key is unavailable.
bool unreadable(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return ec && ec != std::errc::no_such_file_or_directory;
    if (std::filesystem::is_directory(file, ec)) return true;
    std::ifstream in(file, std::ios::binary);
    return !in.is_open();
}

}  // namespace

TemplateList readTemplateList(const SettingsStore& store) {
    TemplateList list;
    list.keyUnavailable = unreadable(store.file());
    if (!list.keyUnavailable) {
        for (const auto& [name, data] : store.GetAllSettings(settings::kDgTemplates)) {
            if (list.names.size() == KELBO_MAX_TEMPLATES) break;
            list.names.emplace_back(utf8Prefix(name, kMaxNameBytes));
        }
    }
    if (list.names.empty()) list.names.push_back(settings::kDefaultTemplateEntry);
    return list;
}

std::string menuText(const std::string& name) {
    return "Record with " + std::string(utf8Prefix(name, kMaxMenuNameBytes));
}

}  // namespace kelbo::addin
