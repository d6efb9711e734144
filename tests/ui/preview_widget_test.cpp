#include "recorder/ui/preview_widget.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace kelbo;
using kelbo::ui::PreviewWidget;

namespace {

// A picture as the device makes it: 0xffRRGGBB pixels in the machine's order.
PreviewFrame solid(int width, int height, int stride, QRgb colour) {
    PreviewFrame frame{width, height, stride, std::vector<std::uint8_t>(stride * height, 0)};
    const std::uint32_t pixel = 0xff000000u | colour;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(frame.pixels.data() + y * stride + x * 4, &pixel, 4);
    return frame;
}

}  // namespace

TEST(PreviewWidget, ScalesEachPictureOnceToItsSizeHonouringTheStride) {
    PreviewWidget widget;
    widget.resize(193, 145);
    // Rows padded beyond the picture, as GStreamer may pad them.
    widget.showFrame(solid(320, 240, 1288, qRgb(200, 30, 40)));
    const QImage& shown = widget.shownImage();
    ASSERT_EQ(shown.size(), QSize(193, 145));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(200, 30, 40));
    EXPECT_EQ(shown.pixel(192, 144), qRgb(200, 30, 40));
    EXPECT_FALSE(widget.grab().isNull());
}

TEST(PreviewWidget, PaintsAPictureOfItsOwnSizeAsItComes) {
    PreviewWidget widget;
    widget.resize(200, 150);
    PreviewFrame frame = solid(200, 150, 800, qRgb(10, 120, 250));
    const std::uint32_t corner = 0xff000000u | qRgb(250, 250, 0);
    std::memcpy(frame.pixels.data() + 149 * 800 + 199 * 4, &corner, 4);
    widget.showFrame(frame);
    const QImage& shown = widget.shownImage();
    ASSERT_EQ(shown.size(), QSize(200, 150));
    EXPECT_EQ(shown.format(), QImage::Format_RGB32);  // nothing to convert when painted
    EXPECT_EQ(shown.pixel(0, 0), qRgb(10, 120, 250));
    EXPECT_EQ(shown.pixel(199, 149), qRgb(250, 250, 0));
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
