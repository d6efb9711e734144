#pragma once

#include <QRect>

class QWidget;

namespace kelbo::ui {

// Time for the window manager to put its frame round a window just shown.
inline constexpr int kWindowFramedMs = 400;

// The available area (less panels) of the screen a window is on, or of the
// primary screen.
QRect availableArea(const QWidget& window);

// Moves a shown window, frame and all, wholly onto its screen's available
// area, keeping its size where it fits and shrinking it where it does not.
void pullOntoScreen(QWidget& window);

// Before a window is shown: no larger than the available area less room
// for a frame, and placed so that its frame can be wholly on it.
void fitBeforeShow(QWidget& window);

}  // namespace kelbo::ui
