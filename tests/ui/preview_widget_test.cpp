#include "recorder/ui/preview_widget.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace kelbo;
using kelbo::ui::PreviewWidget;

namespace {

PreviewFrame solid(int width, int height, int stride, QRgb colour) {
    PreviewFrame frame{width, height, stride, std::vector<std::uint8_t>(stride * height, 0)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = frame.rgb.data() + y * stride + x * 3;
            p[0] = static_cast<std::uint8_t>(qRed(colour));
            p[1] = static_cast<std::uint8_t>(qGreen(colour));
            p[2] = static_cast<std::uint8_t>(qBlue(colour));
        }
    return frame;
}

}  // namespace

TEST(PreviewWidget, ScalesEachPictureOnceToItsSizeHonouringTheStride) {
    PreviewWidget widget;
    widget.resize(193, 145);
    // Rows padded beyond the picture, as GStreamer may pad them.
    widget.showFrame(solid(320, 240, 964, qRgb(200, 30, 40)));
    const QImage& shown = widget.shownImage();
    ASSERT_EQ(shown.size(), QSize(193, 145));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(200, 30, 40));
    EXPECT_EQ(shown.pixel(192, 144), qRgb(200, 30, 40));
    EXPECT_FALSE(widget.grab().isNull());
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
