#pragma once

#include "addin/guide_records.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelbo::guide {

// A loaded kelbo.dgaddin, called exactly as the programme guide calls it:
// the count call, then the fill call, then the command function that the
// chosen menu entry carries.
class GuideAddin {
public:
    struct MenuEntry {
        std::string text;
        KelboRecordCommand command = nullptr;
    };

    // Null, with the reason in `error`, when the library cannot be loaded or
    // lacks the menu export.
    static std::unique_ptr<GuideAddin> load(const std::string& path, std::string& error);
    ~GuideAddin();
    GuideAddin(const GuideAddin&) = delete;
    GuideAddin& operator=(const GuideAddin&) = delete;

    // The add-in's messages for the user (it has no window of its own).
    void onMessage(std::function<void(const std::string&)> handler);

    std::vector<MenuEntry> menu() const;
    // False when the menu has no entry `entry` or the entry has no command.
    bool record(size_t entry, const KelboProgramme& programme) const;

    // Beside the running program, else where the installation puts it;
    // always an absolute path.
    static std::string defaultPath();

private:
    explicit GuideAddin(void* handle) : handle_(handle) {}
    static void KELBO_CDECL relay(const char* text, void* context);

    void* handle_;
    KelboPopupProgrammeMenu popup_ = nullptr;
    std::function<void(const std::string&)> handler_;
};

}  // namespace kelbo::guide
