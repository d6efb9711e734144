// Kelbo, the recorder: one main window over the program's start-up.
#include "app_icon.h"
#include "command_line.h"
#include "recorder_program.h"
#include "remote_commands.h"
#include "signal_bridge.h"
#include "single_instance.h"
#include "common/clock.h"
#include "common/default_folders.h"
#include "common/settings_store.h"
#include "recorder/engine/recorder.h"
#include "recorder/media/gst/device_factory.h"
#include "recorder/media/gst/tuner_devices.h"
#include "recorder/media/gst/v4l2_devices.h"
#include "recorder/ui/main_window.h"
#include "recorder/ui/preview_form.h"
#include "recorder/ui/preview_widget.h"
#include "recorder/ui/qt_dispatcher.h"
#include "recorder/ui/qt_message_boxes.h"
#include "recorder/ui/system_tray.h"
#include "recorder/ui/user_language.h"

#include <QApplication>
#include <QPointer>
#include <QStandardPaths>

#include <cstdlib>
#include <iostream>

#include <unistd.h>

using namespace kelbo;

namespace {

// Without a display the recorder still records on schedule, offscreen.
void chooseOffscreenWithoutDisplay() {
    if (std::getenv("QT_QPA_PLATFORM")) return;
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) return;
    std::cerr << "kelbo: no display found; the recorder runs offscreen and still records on "
                 "schedule. Stop it with Ctrl+C.\n";
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// Offscreen, the platform plugin warns about every window operation it
// cannot do (raise, resize hints); those say nothing to the user.
void quietOffscreenPlugin() {
    if (QGuiApplication::platformName() != "offscreen") return;
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.startsWith("This plugin does not support")) return;
        if (previous) previous(type, context, text);
    });
}

QString settingsFolder() {
    return QString::fromStdString(SettingsStore::defaultLocation().parent_path().string());
}

// A command to the running recorder needs no display.
int sendCommand(int argc, char** argv, const app::RemoteRequest& request) {
    QCoreApplication app(argc, argv);
    ui::loadUserLanguage(app);
    const app::SingleInstance instance(settingsFolder());
    return app::sendRemoteRequest(instance, request);
}

// A second start (a menu, a script, a second click) waits for nobody: the
// running recorder comes forward and this one ends, saying so only to a
// terminal.
int bringRunningForward(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const app::SingleInstance instance(settingsFolder());
    const bool answered = instance.askToComeForward();
    if (::isatty(STDERR_FILENO))
        std::cerr << (answered ? "kelbo: Kelbo is already running for this user; its window has been "
                                 "brought forward.\n"
                               : "kelbo: Kelbo is already running for this user but did not answer; "
                                 "its window was not brought forward.\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const app::CommandLine line = app::readCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action == app::CommandLine::Action::Command) return sendCommand(argc, argv, line.request);
    if (line.action != app::CommandLine::Action::StartRecorder)
        return app::answerCommandLine(line, std::cout, std::cerr);
    // Two recorders would fight over the device and the schedule file.
    const app::InstanceLock lock(settingsFolder());
    if (!lock.held()) return bringRunningForward(argc, argv);

    chooseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    ui::loadUserLanguage(app);
    QApplication::setApplicationName("Kelbo");
    QApplication::setDesktopFileName(app::kApplicationId);
    QApplication::setWindowIcon(app::applicationIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    quietOffscreenPlugin();

    app::SingleInstance instance(settingsFolder());
    const bool listening = instance.listen();

    ui::QtMessageBoxes messages;
    SettingsStore store(SettingsStore::defaultLocation());

    SystemClock clock;
    ui::QtDispatcher dispatcher(&app);
    std::vector<CaptureSourceChoice> sources;
    for (const std::string& device : v4l2CaptureDevices()) sources.push_back({device, device});
    sources.push_back({QCoreApplication::translate("main", "Test pattern").toStdString(), "test"});
    const auto videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation).toStdString();
    ui::MainWindow window({messages, clock});
    messages.setOwnerWindow(&window);
    messages.setDesktopNotifier([&window](const Announcement& news) { window.tray().showNotice(news); });

    // The preview window shows the pictures of one device at a time.
    const auto showPicturesOf = [&window](GstCaptureDevice* device) {
        if (!device) return;
        QPointer<ui::PreviewWidget> picture = window.preview().capture();
        // The device drops its sink before it goes, so the sink may call it.
        device->setPreviewSink([picture, device](const PreviewFrame& frame) {
            if (!picture) return;
            picture->showFrame(frame);
            // Pictures at the widget's size are painted without scaling.
            if (frame.width != picture->width() || frame.height != picture->height())
                device->setPreviewSize(picture->width(), picture->height());
        });
    };
    const auto loadDevice = [&]() -> std::unique_ptr<CaptureDevice> {
        auto device = createCaptureDevice(store, dispatcher, messages);
        if (!device) return nullptr;
        showPicturesOf(device.get());
        return device;
    };
    // Every tuner records from the source tuner 1 was opened on: a change
    // of source takes effect the next time Kelbo starts.
    const CaptureSource source = captureSourceFromSettings(store);
    const auto openTuner = [&dispatcher, source](int number) -> std::unique_ptr<CaptureDevice> {
        return createOtherTuner(source, dispatcher, number);
    };
    // Made after the window so that it goes first: the window outlives it.
    app::RecorderProgram program({store, messages, clock, desktopDefaultFolders(videos), sources});
    if (!program.startUp(window, loadDevice, openTuner)) return 1;
    // A tuner nobody watches makes no pictures: the sink goes with the choice.
    program.recorder().setPreviewMoveListener([&showPicturesOf](CaptureDevice& from, CaptureDevice& to) {
        if (auto* watched = dynamic_cast<GstCaptureDevice*>(&from)) watched->setPreviewSink(nullptr);
        showPicturesOf(dynamic_cast<GstCaptureDevice*>(&to));
    });

    if (!listening) {
        // The recorder still records; only the commands cannot reach it.
        const std::string why = "Commands from the command line cannot reach this recorder: " +
                                instance.listenError().toStdString() + ".";
        std::cerr << "kelbo: " << why << '\n';
        window.tray().showNotice(
            {"Kelbo",
             QCoreApplication::translate("main", "Commands from the command line cannot reach this recorder: %1.")
                 .arg(instance.listenError())
                 .toStdString(),
             false,
             {}});
    }
    QObject::connect(&instance, &app::SingleInstance::raiseRequested, &window,
                     &ui::MainWindow::Restore_From_Tray);
    instance.setCommandHandler([&program](const QByteArray& request) {
        return app::answerRemoteRequest(program.recorder(), program.panels(), request);
    });
    app::SignalBridge termination;
    QObject::connect(&termination, &app::SignalBridge::terminationRequested, &window,
                     [&window] { window.closeWithoutAsking(); });
    // Not quit(): that asks every window again, and one that refuses (an open
    // dialog) would keep a program that has already shut down running.
    QObject::connect(&window, &ui::MainWindow::closed, &app, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    return app.exec();
}
