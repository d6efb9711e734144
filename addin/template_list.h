#pragma once

#include <string>
#include <vector>

namespace kelbo {
class SettingsStore;
}

namespace kelbo::addin {

// Sizes of the guide's buffers: a name buffer holds 63 characters and a NUL;
// the menu text field holds "Record with ", 39 characters and a NUL.
inline constexpr size_t kMaxNameBytes = 63;
inline constexpr size_t kMaxMenuNameBytes = 39;

struct TemplateList {
    std::vector<std::string> names;  // 1 to 10 names, in the store's order
    bool keyUnavailable = false;     // the store exists but cannot be read
};

// The "DG Templates" names of the settings store: at most ten, each cut to
// fit its buffer; "DEFAULT Template" alone when there are none. Only reads.
TemplateList readTemplateList(const SettingsStore& store);

// "Record with " and the name, cut so that the text fits the menu field.
std::string menuText(const std::string& name);

}  // namespace kelbo::addin
