#pragma once

#include <QColor>
#include <QPalette>

namespace kelbo::ui {

// WCAG contrast ratio of two colours (1 to 21).
double contrastRatio(const QColor& a, const QColor& b);
// A dark palette: text lighter than the field it is written on.
bool isDarkPalette(const QPalette& palette);
// A colour that carries meaning (the next programme's red, a clash's blue)
// as given under a light palette; under a dark one the lighter shade of it
// that reads on `background` (contrast at least 4.5:1).
QColor readableShade(const QColor& colour, const QColor& background, bool dark);
// The greyed fields' background: light grey (224, 224, 224) under a light
// palette; under a dark one the palette's own window colour, on which its
// text reads.
QColor greyedFieldColour(const QPalette& palette);

}  // namespace kelbo::ui
