#include "palette_colours.h"

#include <algorithm>
#include <cmath>

namespace kelbo::ui {

namespace {
double channel(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double luminance(const QColor& c) {
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
constexpr double kReadable = 4.5;
}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDarkPalette(const QPalette& palette) {
    return luminance(palette.color(QPalette::Text)) > luminance(palette.color(QPalette::Base));
}

QColor readableShade(const QColor& colour, const QColor& background, bool dark) {
    if (!dark) return colour;
    // The same hue, lighter, until it reads; white at the end of the scale.
    QColor shade = colour.toHsl();
    for (int lightness = shade.lightness(); lightness <= 255; lightness += 5) {
        const QColor tried = QColor::fromHsl(shade.hslHue(), shade.hslSaturation(), lightness).toRgb();
        if (contrastRatio(tried, background) >= kReadable) return tried;
    }
    return QColor(Qt::white);
}

QColor greyedFieldColour(const QPalette& palette) {
    if (!isDarkPalette(palette)) return QColor(224, 224, 224);
    return palette.color(QPalette::Window);
}

}  // namespace kelbo::ui
