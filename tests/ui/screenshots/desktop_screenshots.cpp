// Takes the README's pictures of the real program on a real desktop: Xvfb
// with openbox and a tray (trayer), the recorder recording the test pattern
// with its progress bar and the "Recording started" notification, then its
// tray menu. Run:
//   build/kelbo-desktop-screenshots docs
// which writes docs/notification.png, docs/recording.png and
// docs/tray-menu.png (about 40 seconds).
#include "support/command_output.h"
#include "support/desktop.h"
#include "support/recorder_home.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <csignal>
#include <cstdio>
#include <sstream>
#include <thread>
#include <vector>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

GuideRecord on(const std::string& name, DateTime start, int minutes, const char* number, const char* channel) {
    GuideRecord r = recordAt(name, start, minutes);
    r.channelNumber = number;
    r.channelName = channel;
    return r;
}

void wait(std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < until) {
        QGuiApplication::processEvents();
        std::this_thread::sleep_for(50ms);
    }
}

bool grab(const QRect& area, const std::string& file) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(QString::fromStdString(file), "PNG");
}

// Where the recorder's visible windows are.
std::vector<QRect> windowsOfKelbo(const Desktop& desktop) {
    std::istringstream ids(desktop.xdotool("search --onlyvisible --classname kelbo"));
    std::vector<QRect> found;
    for (std::string id; ids >> id;) {
        const std::string shape = desktop.xdotool("getwindowgeometry --shell " + id);
        int x = 0, y = 0, w = 0, h = 0;
        std::sscanf(shape.c_str(), "WINDOW=%*d\nX=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &x, &y, &w, &h);
        if (w > 0 && h > 0) found.emplace_back(x, y, w, h);
    }
    return found;
}

// The smallest window the recorder shows: its tray icon.
QRect trayIcon(const Desktop& desktop) {
    QRect best;
    for (const QRect& r : windowsOfKelbo(desktop))
        if (r.width() <= 64 && r.height() <= 64 && (best.isNull() || r.width() * r.height() < best.width() * best.height()))
            best = r;
    return best;
}

// The main window and the preview, with their frames.
QRect mainWindows(const Desktop& desktop) {
    QRect all;
    for (const QRect& r : windowsOfKelbo(desktop))
        if (r.width() > 64) all = all.united(r);
    // The window manager's title bars and borders lie outside the clients.
    return all.adjusted(-12, -44, 12, 12);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    Desktop desktop;
    if (!desktop.managed()) return 1;
    BackgroundProgram tray("/usr/bin/trayer",
                           {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
                            "--heighttype", "pixel", "--height", "28"},
                           {{"DISPLAY", desktop.display()}});

    RecorderHome home;
    std::string settings = readFile(home.settingsFile());
    settings.insert(settings.find('\n') + 1, "MinimizeToSystem=1\nPreviewRecording=1\nPosition_Left=1500\n"
                                              "Position_Top=1500\nPosition_Width=11400\nPosition_Height=6600\n");
    writeFile(home.settingsFile(), settings);
    const DateTime now = startOfThisMinute();
    writeFile(home.schedule(), on("Evening News", now.plusMinutes(-1), 3, "1", "BBC One").text() +
                                   on("The Quiz Hour", now.plusMinutes(45), 60, "3", "ITV").text() +
                                   on("Nature Watch", now.plusMinutes(75), 60, "2", "BBC Two").text() +
                                   on("Late Film: Vertigo", now.plusMinutes(150), 128, "4", "Channel 4").text());

    Environment environment = home.environment();
    environment["DISPLAY"] = desktop.display();
    environment["QT_QPA_PLATFORM"] = "xcb";
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, environment, home.errorFile());

    ::setenv("DISPLAY", desktop.display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication app(argc, argv);
    if (!home.waitForRecording(30s)) {
        std::fprintf(stderr, "the recording did not start\n%s", readFile(home.errorFile()).c_str());
        return 1;
    }
    // The notification of the start, beside the tray.
    wait(3s);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    bool saved = grab(QRect(screen.width() - 520, screen.height() - 200, 520, 200), folder + "/notification.png");
    // A fifth of the way through, the progress bar shows it.
    wait(25s);
    saved = grab(mainWindows(desktop), folder + "/recording.png") && saved;

    const QRect icon = trayIcon(desktop);
    if (icon.isNull()) {
        std::fprintf(stderr, "no tray icon found\n");
        return 1;
    }
    desktop.xdotool("mousemove --sync " + std::to_string(icon.center().x()) + " " +
                    std::to_string(icon.center().y()) + " click 3");
    wait(1500ms);
    saved = grab(QRect(screen.width() - 420, screen.height() - 260, 420, 260), folder + "/tray-menu.png") && saved;
    desktop.xdotool("key Escape");
    kelbo.stop(SIGTERM, 15s);
    tray.stop(SIGTERM, 5s);
    return saved ? 0 : 1;
}
