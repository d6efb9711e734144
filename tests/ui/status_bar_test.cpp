// The status bar while recording: every panel stays in sight at every size
// the window allows; the programme's text gives way with "…".
#include "recorder/forms/schedule_listing.h"
#include "main_window_rig.h"

#include "recorder/ui/elided_label.h"
#include "recorder/ui/keyed_status_bar.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

const std::string kLongName =
    "The Extremely Long Documentary About Everything That Ever Happened In The Whole Wide World";

class StatusBarTest : public MainWindowTest {
protected:
    StatusBarTest() {
        writeFile(dir / "KelboSchedule.txt", programme(kLongName, kNow.plusMinutes(10), 30).text());
    }

    MainWindow& recording() {
        MainWindow& w = start();
        clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
        w.Timer1_Timer();
        w.Timer1_Timer();
        EXPECT_EQ(w.listing().list().cell(1, Column::Status), "Recording");
        // Ten minutes in: the progress bar shows.
        clock.advance(std::chrono::minutes(10));
        device->advance(10 * 60000);
        w.Timer1_Timer();
        return w;
    }

    // Each panel shown, inside the bar, and at least as wide as it asks to
    // be at the least.
    static void expectAllPanelsInSight(KeyedStatusBar& bar) {
        QApplication::processEvents();
        for (const char* key : {"pnlStatus", "pnlCounter", "pnlSplit", "pnlProgramme", "pnlProgress",
                                "pnlDate", "pnlTime"}) {
            const QLabel* label = bar.findChild<QLabel*>(key);
            ASSERT_NE(label, nullptr) << key;
            if (std::string(key) == "pnlSplit") continue;  // no split rule: the engine may hide it
            EXPECT_TRUE(label->isVisible()) << key;
            EXPECT_GE(label->width(), label->minimumSizeHint().width()) << key;
            EXPECT_GT(label->width(), 0) << key;
            EXPECT_LE(label->geometry().right(), bar.width()) << key << " runs off the bar";
            EXPECT_LE(label->mapTo(bar.window(), label->rect().topRight()).x(), bar.window()->width())
                << key << " runs off the window";
        }
    }
};

}  // namespace

TEST_F(StatusBarTest, EveryPanelStaysInSightAtTheMinimumSizeWhileRecording) {
    MainWindow& w = recording();
    w.resize(640, 340);
    expectAllPanelsInSight(w.statusPanels());
    EXPECT_EQ(w.size(), QSize(640, 340)) << "the panels must not hold the window wider";
    EXPECT_TRUE(w.statusPanels().panelVisible("pnlProgress"));
    const QLabel* progress = w.statusPanels().findChild<QLabel*>("pnlProgress");
    const QPixmap bar = progress->pixmap();
    EXPECT_FALSE(bar.isNull()) << "the progress panel shows its bar";

    auto* programmePanel = w.statusPanels().findChild<ElidedLabel*>("pnlProgramme");
    ASSERT_NE(programmePanel, nullptr);
    const QString full = programmePanel->text();
    EXPECT_TRUE(full.startsWith(QString::fromStdString(kLongName))) << full.toStdString();
    EXPECT_TRUE(programmePanel->shownText().endsWith(QChar(0x2026))) << programmePanel->shownText().toStdString();
    EXPECT_EQ(programmePanel->toolTip(), full);
    EXPECT_EQ(w.statusPanels().panelText("pnlProgramme"), full.toStdString()) << "the engine reads the full text";
}

TEST_F(StatusBarTest, EveryPanelStaysInSightWithTextsTwiceTheSize) {
    MainWindow& w = recording();
    QFont big = w.statusPanels().font();
    big.setPointSizeF(big.pointSizeF() * 2);
    w.statusPanels().setFont(big);
    for (const QSize size : {QSize(640, 340), QSize(700, 400)}) {
        w.resize(size);
        expectAllPanelsInSight(w.statusPanels());
    }
}

TEST_F(StatusBarTest, AShortProgrammeTextIsShownWhole) {
    MainWindow& w = start();
    w.resize(800, 400);
    w.statusPanels().setPanelText("pnlProgramme", "News");
    QApplication::processEvents();
    auto* programmePanel = w.statusPanels().findChild<ElidedLabel*>("pnlProgramme");
    ASSERT_NE(programmePanel, nullptr);
    EXPECT_EQ(programmePanel->shownText(), "News");
}
