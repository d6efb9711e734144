#include "screen_fit.h"

#include "recorder/forms/window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kelbo::ui {

namespace {
PixelRect pixelRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The window manager's frame is not known before the window is shown; room
// for a usual title bar and borders.
constexpr int kFrameSides = 8;
constexpr int kFrameTop = 40;
}  // namespace

QRect availableArea(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void pullOntoScreen(QWidget& window) {
    const QRect area = availableArea(window);
    if (area.isEmpty()) return;
    const QRect frame = window.frameGeometry();
    const PixelRect wanted = pulledInside(pixelRect(frame), pixelRect(area));
    if (wanted == pixelRect(frame)) return;
    const QSize shrink(frame.width() - wanted.width, frame.height() - wanted.height);
    if (!shrink.isNull()) window.resize(window.size() - shrink);
    // For a window, move() places its frame.
    window.move(wanted.x, wanted.y);
}

void fitBeforeShow(QWidget& window) {
    const QRect area = availableArea(window);
    if (area.isEmpty()) return;
    const QSize room(std::max(1, area.width() - 2 * kFrameSides), std::max(1, area.height() - kFrameTop - kFrameSides));
    if (window.width() > room.width() || window.height() > room.height()) window.resize(window.size().boundedTo(room));
    const QRect client = window.geometry();
    const PixelRect framed{client.x() - kFrameSides, client.y() - kFrameTop, client.width() + 2 * kFrameSides,
                           client.height() + kFrameTop + kFrameSides};
    const PixelRect wanted = pulledInside(framed, pixelRect(area));
    if (!(wanted == framed)) window.move(window.pos() + QPoint(wanted.x - framed.x, wanted.y - framed.y));
}

}  // namespace kelbo::ui
