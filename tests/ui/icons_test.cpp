// Pictures that stay sharp at any scale and read on any palette.
#include "recorder/ui/system_tray.h"
#include "recorder/ui/transport_bar.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::ui;

namespace {

QImage render(const QIcon& icon, int size) { return icon.pixmap(QSize(size, size)).toImage(); }

// Restores the application's palette and icon after a test changes them.
struct AppLook {
    QPalette palette = QApplication::palette();
    QIcon icon = QApplication::windowIcon();
    ~AppLook() {
        QApplication::setPalette(palette);
        QApplication::setWindowIcon(icon);
    }
};

}  // namespace

TEST(TransportIcons, AreDrawnAtTheSizeAskedAndTheStopSquareTakesThePalettesTextColour) {
    AppLook restore;
    TransportBar bar;
    const QIcon stop = bar.button(4)->icon();
    for (const int size : {16, 32, 64}) {
        const QImage image = render(stop, size);
        EXPECT_EQ(image.size(), QSize(size, size)) << "not a 16-pixel picture blown up";
        EXPECT_EQ(image.pixelColor(size / 2, size / 2), QApplication::palette().color(QPalette::ButtonText));
        EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0);
    }
    for (const int index : {8, 9}) EXPECT_EQ(render(bar.button(index)->icon(), 48).size(), QSize(48, 48));

    QPalette dark = QApplication::palette();
    dark.setColor(QPalette::Button, QColor(40, 40, 40));
    dark.setColor(QPalette::ButtonText, QColor(235, 235, 235));
    QApplication::setPalette(dark);
    EXPECT_EQ(render(stop, 32).pixelColor(16, 16), QColor(235, 235, 235)) << "readable on a dark button";
}

TEST(TrayIcon, IsTheApplicationsIconWithAStateBadgeAndItsTipSaysKelbo) {
    AppLook restore;
    QPixmap blue(64, 64);
    blue.fill(QColor(20, 60, 200));
    QApplication::setWindowIcon(QIcon(blue));

    const QImage recording = render(SystemTray::picture(TrayImage::Recording), 64);
    ASSERT_EQ(recording.size(), QSize(64, 64));
    EXPECT_EQ(recording.pixelColor(8, 8), QColor(20, 60, 200)) << "the application's own icon";
    const QColor badge = recording.pixelColor(48, 48);
    EXPECT_GT(badge.red(), 200);
    EXPECT_LT(badge.blue(), 60) << "a red badge in the corner";
    EXPECT_NE(render(SystemTray::picture(TrayImage::Paused), 64).pixelColor(48, 48), badge);

    SystemTray tray;
    tray.setTip("Film on One starts in 000:00:10:00");
    tray.update();
    EXPECT_EQ(tray.shownToolTip(), "Kelbo: Film on One starts in 000:00:10:00");
    tray.setTip("");
    tray.update();
    EXPECT_EQ(tray.shownToolTip(), "Kelbo");
}
