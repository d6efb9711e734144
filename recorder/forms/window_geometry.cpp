#include "window_geometry.h"

#include <algorithm>
#include <cmath>

namespace kelbo {

namespace {
constexpr double kButtonGap = 20;
constexpr double kButtonsAboveFrame2 = 10;
constexpr double kListShorterThanFrame1 = 3000;
constexpr double kFrame2BelowList = 400;
}  // namespace

WindowLayout layoutForWindow(double windowWidth, double windowHeight, double frame2Width,
                             double frame2Height) {
    WindowLayout l;
    l.frame1 = {100, 100, windowWidth - 400, windowHeight - 1200};
    l.list = {0, 0, l.frame1.width, l.frame1.height - kListShorterThanFrame1};
    l.frame2 = {l.list.left, l.list.top + l.list.height + kFrame2BelowList, frame2Width,
                frame2Height};
    for (int i = 1; i < kTransportButtonCount; ++i) {
        l.buttons[static_cast<size_t>(i)] = {
            l.list.left + i * kButtonGap + i * kTransportButtonWidth,
            l.frame2.top - kTransportButtonHeight - kButtonsAboveFrame2, kTransportButtonWidth,
            kTransportButtonHeight};
    }
    return l;
}

TwipsRect previewBesideFrame(const TwipsRect& window, const TwipsRect& frame2) {
    return {frame2.left + frame2.width + window.left + 300, window.top + frame2.top + 800, 2750,
            2450};
}

TwipsRect previewDockedOnLock(const TwipsRect& window, const TwipsRect& frame2) {
    return {window.left + frame2.left + frame2.width + 200, window.top + frame2.top + 450, 2400,
            2000};
}

SizeLimits mainWindowLimits(double screenWidthTwips, double screenHeightTwips) {
    SizeLimits limits;
    limits.maxWidth = px(screenWidthTwips);
    limits.maxHeight = px(screenHeightTwips);
    return limits;
}

PixelRect pulledInside(const PixelRect& frame, const PixelRect& area) {
    PixelRect r = frame;
    r.width = std::min(r.width, area.width);
    r.height = std::min(r.height, area.height);
    r.x = std::clamp(r.x, area.x, area.x + area.width - r.width);
    r.y = std::clamp(r.y, area.y, area.y + area.height - r.height);
    return r;
}

}  // namespace kelbo
