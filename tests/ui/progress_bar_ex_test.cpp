#include "recorder/ui/keyed_status_bar.h"
#include "recorder/ui/picture_box.h"
#include "recorder/ui/progress_bar_ex.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::ui;

namespace {

// A bar of ten blocks: a picture 16 pixels high and 100 wide gives inner
// height 12, blocks 8 wide, 100 / 11 + 1 = 10 blocks. (The tests that read
// pixels use 106, so that the tenth block lies inside the picture.)
struct TenBlocks {
    explicit TenBlocks(int width = 106) {
        bar.setClient(&picture);  // fits the picture to itself first
        picture.setPictureSize(width, 16);
        bar.Resize();
    }
    // How many blocks show the fore colour, read off the picture itself.
    int filledBlocks() const {
        int n = 0;
        for (int block = 0; block < bar.blockCount(); ++block) {
            const int x = 2 + block * (bar.blockWidth() + 3) + 1;
            if (picture.image().pixelColor(x, 5) == ProgressBarEx::toQColor(255)) ++n;
        }
        return n;
    }
    PictureBox picture;
    ProgressBarEx bar;
};

}  // namespace

TEST(ProgressBarEx, WorksOutItsBlocksFromThePicture) {
    TenBlocks t(100);
    EXPECT_EQ(t.bar.innerHeight(), 12);
    EXPECT_EQ(t.bar.blockWidth(), 8);
    EXPECT_EQ(t.bar.blockCount(), 10);
}

TEST(ProgressBarEx, FillsBlocksRoundingHalvesToEven) {
    TenBlocks t;
    const std::pair<int, int> cases[] = {{54, 5}, {55, 6}, {45, 4}, {100, 10}, {0, 0}, {150, 10}, {-3, 0}};
    for (const auto& [value, blocks] : cases) {
        t.bar.setValue(value);
        EXPECT_EQ(t.filledBlocks(), blocks) << value;
    }
    EXPECT_EQ(t.bar.Value(), 0) << "values are kept within Min and Max";
}

TEST(ProgressBarEx, DrawsOnlyWhenTheFilledCountChanges) {
    TenBlocks t;
    const int before = t.bar.drawCount();
    t.bar.setValue(50);
    t.bar.setValue(50);
    t.bar.setValue(52);  // still five blocks
    EXPECT_EQ(t.bar.drawCount(), before + 1);
    t.bar.setTextOnly(true);
    t.bar.setValue(90);
    EXPECT_EQ(t.bar.drawCount(), before + 1);
    EXPECT_EQ(t.filledBlocks(), 5);
}

TEST(ProgressBarEx, RefusesBadPropertiesWithTheirErrors) {
    ProgressBarEx bar;
    QLabel notAPicture;
    try {
        bar.setClient(&notAPicture);
        FAIL();
    } catch (const ProgressBarError& e) {
        EXPECT_EQ(e.number, 13);
        EXPECT_EQ(e.source, "CProgressBarEx.Client");
        EXPECT_STREQ(e.what(), "Client property must be of type PictureBox.");
    }
    try {
        bar.setHost(&notAPicture);
        FAIL();
    } catch (const ProgressBarError& e) {
        EXPECT_EQ(e.number, 13);
        EXPECT_EQ(e.source, "CProgressBarEx.Host");
        EXPECT_STREQ(e.what(), "Host property must be of type StatusBar.");
    }
    try {
        bar.setMin(100);
        FAIL();
    } catch (const ProgressBarError& e) {
        EXPECT_EQ(e.number, -2147221502L);
        EXPECT_EQ(e.source, "CProgressBar.Min");
        EXPECT_STREQ(e.what(), "Min property must be less than Max.");
    }
    try {
        bar.setMax(0);
        FAIL();
    } catch (const ProgressBarError& e) {
        EXPECT_EQ(e.number, -2147221501L);
        EXPECT_EQ(e.source, "CProgressBar.Max");
        EXPECT_STREQ(e.what(), "Max property must be greater than Min.");
    }
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Client(), nullptr);
    EXPECT_EQ(bar.Forecolor(), 255);
    EXPECT_EQ(bar.BackColor(), 0x8000000FL);
}

TEST(ProgressBarEx, FitsItsPanelAndShowsThere) {
    KeyedStatusBar host;
    host.resize(400, 24);
    host.addPanel(panel::kProgress, 107);
    host.panel(panel::kProgress)->resize(107, 24);
    PictureBox picture;
    ProgressBarEx bar;
    bar.setClient(&picture);
    bar.setHost(&host);
    bar.setPanelKey(panel::kProgress);
    bar.ResizeEx();
    // 103 x 20 pixels: blocks 11 wide, 103 / 14 + 1 = 8 would reach 115
    // pixels, sticking out by more than half a block, so 7 stay.
    EXPECT_EQ(bar.innerHeight(), 16);
    EXPECT_EQ(bar.blockWidth(), 11);
    EXPECT_EQ(bar.blockCount(), 7);
    EXPECT_EQ(picture.pictureWidth(), 7 * 14 + 3);
    bar.setValue(100);
    EXPECT_FALSE(host.panel(panel::kProgress)->pixmap().isNull());
    bar.setTextOnly(true);
    EXPECT_TRUE(host.panel(panel::kProgress)->pixmap().isNull());
}

TEST(KeyedStatusBar, IsTheStatusBarOfTheRecordersLogic) {
    KeyedStatusBar bar;
    bar.addPanel(panel::kProgramme);
    bar.setPanelText(panel::kProgramme, "NO PROGRAMS TO RECORD");
    EXPECT_EQ(bar.panelText(panel::kProgramme), "NO PROGRAMS TO RECORD");
    bar.setPanelVisible(panel::kProgramme, false);
    EXPECT_FALSE(bar.panelVisible(panel::kProgramme));
    ProgressBarView& progress = bar.progressBar();
    EXPECT_EQ(&progress, &bar.progressBar()) << "made once";
    progress.setTextOnly(false);
    progress.setValue(50);
    EXPECT_FALSE(bar.panel(panel::kProgress)->pixmap().isNull());
}
