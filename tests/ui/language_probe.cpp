// Starts the main window as the program does, in the language of its
// environment, and prints what a user would read first: the menu titles,
// a box button of Qt's own, a notice of the recorder's engine and the date
// panel. The language tests run it with LANG and friends set.
#include "common/clock.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/app/recorder_program.h"
#include "recorder/device/templates.h"
#include "recorder/engine/recording_notices.h"
#include "recorder/ui/main_window.h"
#include "recorder/ui/user_language.h"
#include "support/recording_message_boxes.h"
#include "support/schedule_text.h"
#include "support/scripted_capture_device.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include <filesystem>
#include <iostream>

using namespace kelbo;
using namespace kelbo::testing;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool own = ui::loadUserLanguage(app);

    TempDir dir;
    SettingsStore store(dir / "registry.ini");
    store.SaveSetting(settings::kDefaults, settings::kTemplate, "DVD Full Quality");
    store.SaveSetting(settings::kDefaults, settings::kScheduleFile, (dir / "KelboSchedule.txt").string());
    store.SaveSetting(settings::kDefaults, settings::kFileString, (dir / "%programme%.mpg").string());
    RecordingMessageBoxes boxes;
    FixedClock clock(toInstant(DateTime::fromCivil(2026, 12, 7, 12, 0)));
    ui::MainWindow window(ui::MainWindowServices{boxes, clock});
    app::RecorderProgram program(app::ProgramServices{store, boxes, clock, dir.path().string(), {}});
    const bool started = program.startUp(window, [&dir]() -> std::unique_ptr<CaptureDevice> {
        auto device = std::make_unique<ScriptedCaptureDevice>();
        device->registryKey = (dir / "device").string();
        const std::string key = templateKeyFor(device->registryKey);
        std::filesystem::create_directories(key);
        writeFile(std::filesystem::path(key) / "DVD Full Quality.tmpl", "Size=D1\n");
        return device;
    });
    if (!started) return 1;

    std::cout << "translation: " << (own ? "found" : "none") << '\n';
    std::cout << "menus:";
    for (QAction* menu : window.menuBar()->actions()) std::cout << ' ' << menu->text().toStdString();
    std::cout << '\n';
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    std::cout << "cancel: " << buttons.button(QDialogButtonBox::Cancel)->text().toStdString() << '\n';
    const RecordingNotice notice = recordingStartedNotice(shownProgrammeText("News", "BBC1"), "/videos/News.mpg");
    std::cout << "notice: " << notice.title << " | " << notice.text << '\n';
    std::cout << "date: " << window.findChild<QLabel*>("pnlDate")->text().toStdString() << '\n';
    // The status bar shows its fixed texts translated and gives the
    // recorder (and kelbo --status) back what it was given.
    std::cout << "programme panel: " << window.findChild<QLabel*>("pnlProgramme")->text().toStdString() << '\n';
    std::cout << "programme read back: " << window.statusBarPort().panelText("pnlProgramme") << '\n';
    window.closeWithoutAsking();
    return 0;
}
