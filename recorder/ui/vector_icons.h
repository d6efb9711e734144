#pragma once

#include "recorder/ports/ui_ports.h"

#include <QIcon>

namespace kelbo::ui {

enum class Glyph { Stop, Add, Delete };

// The transport buttons' pictures: the icon theme's media-playback-stop,
// list-add and list-remove, else drawn at whatever size and scale they are
// shown (the stop square in the palette's button text colour, so that it
// reads on a dark theme too).
QIcon glyphIcon(Glyph glyph);

// The tray's picture: `base` (the application's icon) with a small badge
// for the state in its lower right corner; without a base, the badge alone
// fills the picture.
QIcon badgedIcon(const QIcon& base, TrayImage image);

}  // namespace kelbo::ui
