#pragma once

#include "support/command_output.h"
#include "support/desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPoint>
#include <QWidget>

#include <string>
#include <thread>

namespace kelbo::testing {

// The run's desktop (desktop_ui_main.cpp).
extern Desktop* desktopOfTheRun;

// Lets the window manager map, place and stack what was just shown.
inline void settleOnTheDesktop(int ms = 400) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// The X window the pointer finds on top at `global`, as xdotool reports
// it after moving the pointer there.
inline std::string windowOnTopAt(QPoint global) {
    const std::string out = desktopOfTheRun->xdotool("mousemove --sync " + std::to_string(global.x()) + " " +
                                                     std::to_string(global.y()) + " getmouselocation --shell");
    const auto at = out.find("WINDOW=");
    if (at == std::string::npos) return out;
    return out.substr(at + 7, out.find('\n', at) - at - 7);
}

// The window manager's frame around client window `id`: the ancestor that
// is a child of the root window.
inline std::string frameOf(unsigned long long id) {
    std::string window = std::to_string(id);
    for (int depth = 0; depth < 8; ++depth) {
        const std::string tree = commandOutput("DISPLAY=" + desktopOfTheRun->display() + " xwininfo -children -id " +
                                               window + " 2>/dev/null");
        const auto at = tree.find("Parent window id: ");
        if (at == std::string::npos || tree.find("(the root window)", at) < tree.find('\n', at)) break;
        window = std::to_string(std::stoull(tree.substr(at + 18), nullptr, 16));
    }
    return window;
}

// Whether `widget` can be seen and pressed: its window is the one on top
// at its centre.
inline bool uncovered(const QWidget* widget) {
    const QPoint centre = widget->mapToGlobal(widget->rect().center());
    return windowOnTopAt(centre) == frameOf(widget->window()->winId());
}

}  // namespace kelbo::testing
