#include "recorder/forms/window_geometry.h"

#include <gtest/gtest.h>

using namespace kelbo;

TEST(WindowLayout, FollowsTheWindowSize) {
    for (const auto& [w, h] : {std::pair{9600.0, 6000.0}, std::pair{15000.0, 11000.0}}) {
        const WindowLayout l = layoutForWindow(w, h);
        EXPECT_EQ(l.frame1, (TwipsRect{100, 100, w - 400, h - 1200}));
        EXPECT_EQ(l.list, (TwipsRect{0, 0, w - 400, h - 1200 - 3000}));
        EXPECT_EQ(l.frame2.top, l.list.height + 400);
        EXPECT_EQ(l.frame2.left, 0);
        // Buttons 1 to 9 in a row, 20 twips apart, 10 twips above Frame2.
        for (int i = 1; i < kTransportButtonCount; ++i) {
            EXPECT_EQ(l.buttons[i].left, i * 395.0);
            EXPECT_EQ(l.buttons[i].top + l.buttons[i].height, l.frame2.top - 10);
        }
    }
}

TEST(PreviewPlacement, BesideTheDetailFrameAndWhenLocked) {
    const TwipsRect window{1500, 3000, 9600, 6000};
    const TwipsRect frame2{0, 2200, 6375, 2415};
    EXPECT_EQ(previewBesideFrame(window, frame2), (TwipsRect{1500 + 6375 + 300, 3000 + 2200 + 800, 2750, 2450}));
    EXPECT_EQ(previewDockedOnLock(window, frame2), (TwipsRect{1500 + 6375 + 200, 3000 + 2200 + 450, 2400, 2000}));
}

TEST(MainWindowLimits, AtLeast640By340AndAtMostTheScreen) {
    const SizeLimits limits = mainWindowLimits(1920 * 15 + 7, 1080 * 15 - 7);
    EXPECT_EQ(limits.minWidth, 640);
    EXPECT_EQ(limits.minHeight, 340);
    EXPECT_EQ(limits.maxWidth, 1920);
    EXPECT_EQ(limits.maxHeight, 1080);
}

TEST(TwipsAndPixels, FifteenTwipsToAPixelRoundedToTheNearest) {
    EXPECT_EQ(px(9600), 640);
    EXPECT_EQ(px(22), 1) << "1.47 pixels";
    EXPECT_EQ(px(23), 2) << "1.53 pixels";
    EXPECT_EQ(px(-22), -1) << "a window just left of the screen";
    EXPECT_DOUBLE_EQ(twips(640), 9600);
    for (int pixels : {0, 1, 333, 1919}) EXPECT_EQ(px(twips(pixels)), pixels);
}

TEST(WindowOnScreen, IsPulledOnKeepingItsSizeWhereItFitsAndShrunkWhereItDoesNot) {
    const PixelRect laptop{0, 0, 1024, 576};  // 1024x600 less a 24 px panel at the bottom
    // Saved on a 1920x1200 screen, low and to the right.
    EXPECT_EQ(pulledInside({1200, 700, 800, 450}, laptop), (PixelRect{224, 126, 800, 450}));
    // Larger than the screen: as large as it can be, wholly on it.
    EXPECT_EQ(pulledInside({100, 100, 1600, 1000}, laptop), (PixelRect{0, 0, 1024, 576}));
    // A title bar above the screen comes down; one on it stays.
    EXPECT_EQ(pulledInside({0, -28, 646, 437}, laptop), (PixelRect{0, 0, 646, 437}));
    EXPECT_EQ(pulledInside({30, 40, 646, 437}, laptop), (PixelRect{30, 40, 646, 437}));
    // A second screen to the left of the first (negative coordinates).
    EXPECT_EQ(pulledInside({-2000, 10, 640, 400}, PixelRect{-1280, 0, 1280, 1024}), (PixelRect{-1280, 10, 640, 400}));
}
