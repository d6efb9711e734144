#pragma once

// A main window started on a scripted device, a fixed clock and a schedule
// of two programmes, for the widget tests of the main window.
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/app/recorder_program.h"
#include "recorder/device/templates.h"
#include "recorder/engine/recorder.h"
#include "recorder/ui/main_window.h"
#include "recorder/ui/preview_form.h"
#include "support/recorder_rig.h"

#include <QAction>
#include <gtest/gtest.h>

namespace kelbo::testing {

inline const DateTime kNow = DateTime::fromCivil(2026, 12, 7, 12, 0);

// Placed windows land on whole pixels.
inline void expectPlacedAt(const TwipsRect& actual, const TwipsRect& wanted) {
    EXPECT_NEAR(actual.left, wanted.left, 15);
    EXPECT_NEAR(actual.top, wanted.top, 15);
    EXPECT_NEAR(actual.width, wanted.width, 15);
    EXPECT_NEAR(actual.height, wanted.height, 15);
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : store(dir / "registry.ini"), clock(toInstant(kNow)) {
        store.SaveSetting(settings::kDefaults, settings::kTemplate, "DVD Full Quality");
        store.SaveSetting(settings::kDefaults, settings::kScheduleFile, (dir / "KelboSchedule.txt").string());
        store.SaveSetting(settings::kDefaults, settings::kFileString, (dir / "%programme%.mpg").string());
        writeFile(dir / "KelboSchedule.txt", programme("Later", kNow.plusMinutes(60), 30).text() +
                                                 programme("Soon", kNow.plusMinutes(10), 30).text());
    }

    ui::MainWindow& start() {
        MessageBoxes& boxes = windowBoxes ? *windowBoxes : messages;
        window = std::make_unique<ui::MainWindow>(ui::MainWindowServices{boxes, clock});
        program = std::make_unique<app::RecorderProgram>(
            app::ProgramServices{store, boxes, clock, dir.path().string(), {}});
        const bool started = program->startUp(*window, [this]() -> std::unique_ptr<CaptureDevice> {
            auto d = std::make_unique<ScriptedCaptureDevice>();
            d->registryKey = (dir / "device").string();
            const std::string key = templateKeyFor(d->registryKey);
            std::filesystem::create_directories(key);
            writeFile(std::filesystem::path(key) / "DVD Full Quality.tmpl", "Size=D1\n");
            device = d.get();
            return d;
        }, tunerOpener);
        EXPECT_TRUE(started);
        return *window;
    }

    void closeWindow() {
        window->close();
        program.reset();
        window.reset();
    }

    QAction* action(const char* name) const { return window->findChild<QAction*>(name); }

    TempDir dir;
    SettingsStore store;
    RecordingMessageBoxes messages;
    // Real boxes instead of `messages`, when a test sets them before start().
    MessageBoxes* windowBoxes = nullptr;
    FixedClock clock;
    ScriptedCaptureDevice* device = nullptr;
    // Opens tuners 2 on, when a test sets it before start().
    app::TunerOpener tunerOpener;
    std::unique_ptr<ui::MainWindow> window;
    // Goes before the window, which outlives it.
    std::unique_ptr<app::RecorderProgram> program;
};

}  // namespace kelbo::testing
