#pragma once

#include "common/settings_store.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/forms/options_form.h"
#include "recorder/device/templates.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_capture_device.h"
#include "support/temp_dir.h"

#include <string>
#include <vector>

namespace kelbo::testing {

// The main window as the Options dialog sees it.
class FakeOptionsHost : public OptionsHost {
public:
    void reloadSchedule() override { ++reloads; }
    std::string exampleFileName() override { return example; }
    int reloads = 0;
    std::string example = "/prog/movies/15-01-02/ThePretender-2230.mpg";
};

// Everything an OptionsForm needs, in a temporary folder: a settings store,
// template folders with the given precanned and user templates, the
// scripted device and message boxes.
struct OptionsRig {
    explicit OptionsRig(const std::vector<std::string>& precanned = {"DVD", "Half"},
                        const std::vector<std::string>& user = {"Mine"})
        : store(dir / "registry.ini"),
          templateKey(templateKeyFor((dir / "device").string())),
          form(live, device, store, boxes, host) {
        std::filesystem::create_directories(templateKey);
        for (const auto& name : precanned) writeFile(templateKey + "/" + name + ".tmpl", "");
        for (const auto& name : user) writeFile(templateRootFor(templateKey) + "/" + name + ".tmpl", "");
    }

    std::string folder() const { return (dir / "prog").string(); }
    std::string stored(const std::string& key) const { return store.GetSetting("Defaults", key, "<missing>"); }
    void setStored(const std::string& key, const std::string& value) { store.SaveSetting("Defaults", key, value); }

    TempDir dir;
    SettingsStore store;
    std::string templateKey;
    LiveSettings live;
    ScriptedCaptureDevice device;
    RecordingMessageBoxes boxes;
    FakeOptionsHost host;
    OptionsForm form;
};

}  // namespace kelbo::testing
