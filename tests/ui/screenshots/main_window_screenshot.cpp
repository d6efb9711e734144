// Shows the recorder's main window with a small schedule (one clash, the
// next programme marked) and the live test pattern in the preview, then
// saves the screen to a PNG. Run on a display, e.g.:
//   xvfb-run -a -s "-screen 0 1000x640x24" build/kelbo-main-window-screenshot docs/main-window.png
// With --dark after the file name, under a dark palette (docs/main-window-dark.png).
#include "common/clock.h"
#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/app/recorder_program.h"
#include "recorder/forms/column_layout.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/engine/recorder.h"
#include "recorder/ui/main_window.h"
#include "recorder/ui/preview_form.h"
#include "recorder/ui/preview_widget.h"
#include "recorder/ui/qt_dispatcher.h"
#include "recorder/ui/schedule_list_view.h"
#include "support/recording_message_boxes.h"
#include "support/schedule_text.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <map>
#include <string>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

// A programme `fromNow` minutes after the current minute.
GuideRecord record(const char* name, int fromNow, const char* minutes, const char* number,
                   const char* channel, const char* category) {
    const auto now = toLocalDateTime(std::chrono::system_clock::now()).civil();
    const DateTime start =
        DateTime::fromCivil(now.year, now.month, now.day, now.hour, now.minute).plusMinutes(fromNow);
    GuideRecord r;
    r.name = name;
    r.date = start.formatDate();
    r.time = start.formatTime();
    r.duration = minutes;
    r.channelNumber = number;
    r.channelName = channel;
    r.category = category;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && !(argc == 3 && std::string(argv[2]) == "--dark")) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [--dark]\n", argv[0]);
        return 2;
    }
    if (argc == 3) {
        QApplication::setStyle("Fusion");
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(49, 54, 59));
        dark.setColor(QPalette::WindowText, QColor(239, 240, 241));
        dark.setColor(QPalette::Base, QColor(35, 38, 41));
        dark.setColor(QPalette::AlternateBase, QColor(49, 54, 59));
        dark.setColor(QPalette::Text, QColor(239, 240, 241));
        dark.setColor(QPalette::Button, QColor(49, 54, 59));
        dark.setColor(QPalette::ButtonText, QColor(239, 240, 241));
        dark.setColor(QPalette::Highlight, QColor(61, 174, 233));
        dark.setColor(QPalette::HighlightedText, QColor(252, 252, 252));
        dark.setColor(QPalette::ToolTipBase, QColor(49, 54, 59));
        dark.setColor(QPalette::ToolTipText, QColor(239, 240, 241));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(QPalette::Disabled, role, QColor(110, 113, 116));
        QApplication::setPalette(dark);
    }
    TempDir dir;
    SettingsStore store(dir / "registry.ini");
    const auto set = [&](const std::string& key, const std::string& value) {
        store.SaveSetting(settings::kDefaults, key, value);
    };
    set(settings::kTemplate, "DVD Full Quality");
    set(settings::kStartBuffer, "2");
    set(settings::kEndBuffer, "5");
    set(settings::kScheduleFile, (dir / "KelboSchedule.txt").string());
    set(settings::kFileString, "~/Videos/%startdate%/%programme%-%starttime%.mpg");
    set(settings::kPositionWidth, std::to_string(760 * 15));
    set(settings::kPositionHeight, std::to_string(480 * 15));
    // The default column order, some columns wider, as a user would drag them.
    const std::map<std::string, int> widths = {{"StartDate", 1400}, {"ProgrammeName", 2300},
                                               {"ChannelName", 1300}, {"Filename", 3600},
                                               {"Template", 1900}};
    const ColumnLayout defaults = ColumnLayout::defaults();
    for (int c = 0; c < kColumnCount; ++c) {
        const std::string& name = settings::columnFieldNames()[c];
        const auto wider = widths.find(name);
        set("i_" + name, std::to_string(defaults.position(Column(c))));
        set("i_" + name + "_Width",
            std::to_string(wider != widths.end() ? wider->second : defaults.width(Column(c))));
    }
    set(settings::kPositionLeft, "300");
    set(settings::kPositionTop, "300");
    GuideRecord film = record("Late Film: Vertigo", 128, "128", "4", "Channel 4", "Film");
    film.description = "A retired detective with a fear of heights is hired to follow an old "
                       "friend's wife.";
    writeFile(dir / "KelboSchedule.txt",
              record("Evening News", -60, "30", "1", "BBC One", "News").text() +
                  record("The Quiz Hour", 8, "60", "3", "ITV", "Entertainment").text() +
                  record("Nature Watch", 38, "60", "2", "BBC Two", "Documentary").text() +
                  film.text());

    RecordingMessageBoxes messages;
    SystemClock clock;
    ui::QtDispatcher dispatcher(&app);
    ui::MainWindow window({messages, clock});
    app::RecorderProgram program({store, messages, clock, dir.path().string(), {{"Test pattern", "test"}}});
    const bool started = program.startUp(window, [&]() -> std::unique_ptr<CaptureDevice> {
        DeviceOptions options;
        options.registryKey = (dir / "device").string();
        options.audioMonitor = false;
        auto device = createCaptureDevice(CaptureSource{}, dispatcher, messages, options);
        if (!device) return nullptr;
        QPointer<ui::PreviewWidget> picture = window.preview().capture();
        device->setPreviewSink([picture](const PreviewFrame& frame) {
            if (picture) picture->showFrame(frame);
        });
        return device;
    });
    if (!started) return 1;
    window.IsLivePreview_Click();
    window.listView().selectRow(4);

    bool saved = false;
    QTimer::singleShot(2500, &app, [&] {
        window.Timer1_Timer();
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect shown = window.frameGeometry().united(window.preview().frameGeometry()).adjusted(-8, -8, 8, 8);
        saved = screen->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height())
                    .save(QString::fromLocal8Bit(argv[1]), "PNG");
        window.close();
        app.exit(0);
    });
    app.exec();
    return saved ? 0 : 1;
}
