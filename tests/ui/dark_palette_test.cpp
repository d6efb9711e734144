// Under a dark palette the window reads: ordinary rows in the palette's
// text colour, the next programme's red and a clash's blue in readable
// shades of those colours, greyed fields and the stop picture from the
// palette. Under the light palette the list's exact colours stay.
#include "recorder/forms/schedule_listing.h"
#include "main_window_rig.h"

#include "recorder/ui/detail_pane_widget.h"
#include "recorder/ui/palette_colours.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/transport_bar.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, QColor(238, 238, 238));
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    p.setColor(QPalette::Text, QColor(238, 238, 238));
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, QColor(238, 238, 238));
    return p;
}

class PaletteTest : public MainWindowTest {
protected:
    PaletteTest() : light(QApplication::palette()) {
        // The next programme (red), two that clash (blue) and one on its own.
        writeFile(dir / "KelboSchedule.txt", programme("Soon", kNow.plusMinutes(10), 30).text() +
                                                 programme("Film", kNow.plusMinutes(60), 60, "2").text() +
                                                 programme("News", kNow.plusMinutes(90), 30, "3").text() +
                                                 programme("Quiet", kNow.plusMinutes(300), 30).text());
    }
    ~PaletteTest() override {
        if (window) closeWindow();
        QApplication::setPalette(light);
    }
    // The colour row `row` (from 1) is drawn in: its own, or the palette's text.
    QColor rowColour(int row) const {
        const QVariant given = window->listView().model()->index(row - 1, 2).data(Qt::ForegroundRole);
        return given.isValid() ? given.value<QColor>() : window->listView().palette().color(QPalette::Text);
    }
    QColor listBackground() const { return window->listView().palette().color(QPalette::Base); }
    QWidget* field(const char* name) const { return window->detailFrame().findChild<QWidget*>(name); }

    QPalette light;
};

}  // namespace

TEST_F(PaletteTest, UnderADarkPaletteEveryRowAndFieldReads) {
    QApplication::setPalette(darkPalette());
    MainWindow& w = start();
    ASSERT_EQ(w.listing().list().rowCount(), 4);
    for (int row = 1; row <= 4; ++row)
        EXPECT_GE(contrastRatio(rowColour(row), listBackground()), 4.5) << "row " << row;
    EXPECT_NEAR(rowColour(1).hslHue(), 0, 10) << "the next programme is still red";
    EXPECT_NEAR(rowColour(2).hslHue(), 240, 10) << "a clash is still blue";
    EXPECT_NEAR(rowColour(3).hslHue(), 240, 10);

    // Greyed (nothing selected): the fields' text reads on their background.
    for (const char* name : {"Detail_Template", "Detail_FileName", "Detail_AdjustedStart", "Detail_Description"}) {
        QWidget* f = field(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_GE(contrastRatio(f->palette().color(QPalette::Text), f->palette().color(QPalette::Base)), 4.5) << name;
    }

    // The stop picture stands out from its button.
    QToolButton* stop = w.transport().button(4);
    const QImage picture = stop->icon().pixmap(16, 16).toImage();
    EXPECT_GE(contrastRatio(picture.pixelColor(8, 8), stop->palette().color(QPalette::Button)), 3.0);
}

TEST_F(PaletteTest, UnderTheLightPaletteTheListsExactColoursStay) {
    MainWindow& w = start();
    ASSERT_FALSE(isDarkPalette(QApplication::palette()));
    EXPECT_EQ(rowColour(1), QColor(255, 0, 0));
    EXPECT_EQ(rowColour(2), QColor(0, 0, 255));
    EXPECT_EQ(rowColour(4), w.listView().palette().color(QPalette::Text));
    EXPECT_EQ(field("Detail_AdjustedStart")->palette().color(QPalette::Base), QColor(224, 224, 224));
}

TEST(ReadableShade, IsTheLightestNeededOfTheSameHue) {
    const QColor dark(35, 35, 35);
    const QColor red = readableShade(QColor(255, 0, 0), dark, true);
    EXPECT_GE(contrastRatio(red, dark), 4.5);
    EXPECT_LT(contrastRatio(red, dark), 6.0) << "no lighter than it needs to be";
    EXPECT_EQ(readableShade(QColor(255, 0, 0), Qt::white, false), QColor(255, 0, 0));
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
}
