#include "guide_addin.h"

#include <cstring>
#include <dlfcn.h>
#include <filesystem>

namespace kelbo::guide {

std::unique_ptr<GuideAddin> GuideAddin::load(const std::string& path, std::string& error) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        error = why ? why : "cannot load " + path;
        return nullptr;
    }
    std::unique_ptr<GuideAddin> addin(new GuideAddin(handle));
    addin->popup_ = reinterpret_cast<KelboPopupProgrammeMenu>(::dlsym(handle, KELBO_EXPORT_POPUP_MENU));
    if (!addin->popup_) {
        error = path + " has no " KELBO_EXPORT_POPUP_MENU " export";
        return nullptr;
    }
    return addin;
}

GuideAddin::~GuideAddin() {
    // The add-in must not call back into a host that is going away.
    if (handler_) onMessage(nullptr);
    ::dlclose(handle_);
}

void GuideAddin::relay(const char* text, void* context) {
    auto* self = static_cast<GuideAddin*>(context);
    if (self->handler_) self->handler_(text ? text : "");
}

void GuideAddin::onMessage(std::function<void(const std::string&)> handler) {
    // The callback export is optional: an add-in without it still works.
    const auto set = reinterpret_cast<KelboSetMessageCallback>(
        ::dlsym(handle_, KELBO_EXPORT_SET_MESSAGE_CALLBACK));
    handler_ = std::move(handler);
    if (set) set(handler_ ? &GuideAddin::relay : nullptr, handler_ ? this : nullptr);
}

std::vector<GuideAddin::MenuEntry> GuideAddin::menu() const {
    int32_t count = 0;
    popup_(&count, 0);
    if (count <= 0 || count > KELBO_MAX_TEMPLATES) return {};
    std::vector<KelboMenuItem> items(static_cast<size_t>(count));
    std::memset(items.data(), 0, items.size() * sizeof(KelboMenuItem));
    popup_(items.data(), 1);
    std::vector<MenuEntry> entries;
    entries.reserve(items.size());
    for (const KelboMenuItem& item : items)
        entries.push_back({std::string(item.text, ::strnlen(item.text, sizeof item.text)), item.command});
    return entries;
}

bool GuideAddin::record(size_t entry, const KelboProgramme& programme) const {
    const std::vector<MenuEntry> entries = menu();
    if (entry >= entries.size() || !entries[entry].command) return false;
    entries[entry].command(&programme);
    return true;
}

std::string GuideAddin::defaultPath() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    // Without its own place (no /proc in a sandbox) the host never looks in
    // the folder it was started in, where anyone may have put a library of
    // that name: only the installation's own, absolute place is tried.
    if (ec || !exe.is_absolute()) return KELBO_ADDIN_INSTALLED_PATH;
    const std::filesystem::path folder = exe.parent_path();
    // In the build folder the add-in sits beside the host; installed, the
    // host is in bin/ and the add-in in its own folder under lib/.
    const auto beside = folder / "kelbo.dgaddin";
    if (std::filesystem::exists(beside, ec)) return beside.string();
    const auto installed = folder.parent_path() / KELBO_ADDIN_INSTALL_DIR / "kelbo.dgaddin";
    return std::filesystem::exists(installed, ec) ? installed.string() : beside.string();
}

}  // namespace kelbo::guide
