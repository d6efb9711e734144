#pragma once

#include <QString>

namespace kelbo::ui {

// Text from outside the program (guide titles, channel names, file names,
// error texts) for a place that reads whatever looks like markup as rich
// text: tooltips and a tray balloon's title. Text that Qt would take for
// markup comes back as escaped rich text, keeping its spaces and line
// breaks; any other text as it is. Either way it shows as written, and no
// tag in it makes Qt load a file or a link.
QString plainForAutoText(const QString& text);

}  // namespace kelbo::ui
