#pragma once

#include <QIcon>

namespace kelbo::app {

// The name under which the desktop knows the program: its .desktop file,
// icon and metainfo.
inline constexpr const char* kApplicationId = "io.github.kelbo.Kelbo";

// The program's icon from the desktop's icon theme, or the copy built into
// the program when the theme has none (run from the build folder).
QIcon applicationIcon();

}  // namespace kelbo::app
