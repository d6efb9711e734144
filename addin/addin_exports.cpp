// The exports the programme guide calls. The guide owns the process, so the
// add-in shows nothing itself: messages go to standard error and to the
// host's callback when it has registered one.
#include "guide_records.h"
#include "schedule_append.h"
#include "template_list.h"

#include "common/schedule_format.h"
#include "common/settings_store.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

using namespace kelbo;

struct AddinState {
    std::mutex mutex;
    // Read at the first call and kept until the library is unloaded.
    std::optional<std::vector<std::string>> templates;
    KelboMessageCallback callback = nullptr;
    void* context = nullptr;
};

AddinState& state() {
    static AddinState s;
    return s;
}

void report(AddinState& s, const char* text) {
    std::fprintf(stderr, "kelbo.dgaddin: %s\n", text);
    if (s.callback) s.callback(text, s.context);
}

const std::vector<std::string>& templates(AddinState& s) {
    if (!s.templates) {
        addin::TemplateList list =
            addin::readTemplateList(SettingsStore(SettingsStore::defaultLocation()));
        if (list.keyUnavailable) report(s, "Could not open key.");
        s.templates = std::move(list.names);
    }
    return *s.templates;
}

void recordCommand(size_t number, const KelboProgramme* programme) {
    if (!programme) return;
    AddinState& s = state();
    const std::lock_guard guard(s.mutex);
    // Read on every command, so a path changed in the recorder's options
    // takes effect at once.
    const std::string file = addin::scheduleFileFor(SettingsStore(SettingsStore::defaultLocation()));
    const std::vector<std::string>& names = templates(s);
    const std::string name = number < names.size() ? names[number] : std::string();
    const ScheduleItem item = addin::itemFromProgramme(*programme, name);
    // A file that cannot be opened loses the entry without a word; a write
    // that fails (a full disk) is told, since the user believes it recorded.
    const addin::AppendResult result = addin::appendToSchedule(file, formatAppendedRecord(item));
    if (result.opened && !result.error.empty())
        report(s, ("\"" + item.ProgrammeName + "\" could not be added to the schedule file " + file +
                   ": " + result.error + ". The file was left as it was.")
                      .c_str());
}

}  // namespace

// Everything else is hidden, so that the shared code inside cannot clash
// with the host's own symbols.
#define KELBO_ADDIN_EXPORT __attribute__((visibility("default")))

extern "C" {

KELBO_ADDIN_EXPORT void OnRecordCommand0(const KelboProgramme* p) { recordCommand(0, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand1(const KelboProgramme* p) { recordCommand(1, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand2(const KelboProgramme* p) { recordCommand(2, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand3(const KelboProgramme* p) { recordCommand(3, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand4(const KelboProgramme* p) { recordCommand(4, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand5(const KelboProgramme* p) { recordCommand(5, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand6(const KelboProgramme* p) { recordCommand(6, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand7(const KelboProgramme* p) { recordCommand(7, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand8(const KelboProgramme* p) { recordCommand(8, p); }
KELBO_ADDIN_EXPORT void OnRecordCommand9(const KelboProgramme* p) { recordCommand(9, p); }

KELBO_ADDIN_EXPORT void OnPopupProgrammeMenuA(void* area, int32_t fill) {
    static const KelboRecordCommand commands[KELBO_MAX_TEMPLATES] = {
        OnRecordCommand0, OnRecordCommand1, OnRecordCommand2, OnRecordCommand3,
        OnRecordCommand4, OnRecordCommand5, OnRecordCommand6, OnRecordCommand7,
        OnRecordCommand8, OnRecordCommand9};
    if (!area) return;
    AddinState& s = state();
    const std::lock_guard guard(s.mutex);
    const std::vector<std::string>& names = templates(s);
    if (fill == 0) {
        const int32_t count = static_cast<int32_t>(names.size());
        std::memcpy(area, &count, sizeof count);
        return;
    }
    auto* items = static_cast<KelboMenuItem*>(area);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string text = addin::menuText(names[i]);
        std::memcpy(items[i].text, text.c_str(), text.size() + 1);
        items[i].flag = 1;
        items[i].command = commands[i];
    }
}

KELBO_ADDIN_EXPORT void SetMessageCallback(KelboMessageCallback callback, void* context) {
    AddinState& s = state();
    const std::lock_guard guard(s.mutex);
    s.callback = callback;
    s.context = context;
}

}  // extern "C"
