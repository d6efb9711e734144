#pragma once

#include "common/settings_keys.h"

#include <array>
#include <cmath>

namespace kelbo {

// Window geometry in twips (1/1440 inch), settings::kTwipsPerPixel to a
// pixel on every screen and in both directions.
// Pixels for a position or size in twips, to the nearest pixel.
inline int px(double twips) { return static_cast<int>(std::lround(twips / settings::kTwipsPerPixel)); }
// Twips for a position or size in pixels.
inline double twips(int pixels) { return static_cast<double>(pixels) * settings::kTwipsPerPixel; }

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The detail frame's designed size; the frame may need more for the
// desktop's font.
inline constexpr double kDetailFrameWidth = 6375;
inline constexpr double kDetailFrameHeight = 2415;
inline constexpr double kTransportButtonWidth = 375;
inline constexpr double kTransportButtonHeight = 275;
inline constexpr int kTransportButtonCount = 10;

// Where the main window's controls go. `list`, `frame2` and the buttons
// are inside `frame1`; `frame1` is inside the window.
struct WindowLayout {
    TwipsRect frame1;
    TwipsRect list;
    TwipsRect frame2;
    // Buttons 1 to 9; button 0 keeps its place.
    std::array<TwipsRect, kTransportButtonCount> buttons;
};

// The layout for a window of the given size. `frame1` stands 100 twips
// from the window's left and top; it is 400 twips narrower and 1200 twips
// lower than the window.
WindowLayout layoutForWindow(double windowWidth, double windowHeight,
                             double frame2Width = kDetailFrameWidth,
                             double frame2Height = kDetailFrameHeight);

// The preview beside the detail frame, as placed at start-up, on every
// resize, while the main window moves, and when its close box is pressed.
TwipsRect previewBesideFrame(const TwipsRect& window, const TwipsRect& frame2);
// The preview as docked once when the lock is switched on.
TwipsRect previewDockedOnLock(const TwipsRect& window, const TwipsRect& frame2);

// A window's outer rectangle (its frame) or a screen's area, in pixels.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};
// `frame` moved the least to lie wholly inside `area`, keeping its size
// where it fits and shrunk to the area where it does not.
PixelRect pulledInside(const PixelRect& frame, const PixelRect& area);

// The main window's size limits, in pixels.
struct SizeLimits {
    int minWidth = 640;
    int minHeight = 340;
    int maxWidth = 0;
    int maxHeight = 0;
};
SizeLimits mainWindowLimits(double screenWidthTwips, double screenHeightTwips);

}  // namespace kelbo
