#include "recorder/ui/about_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using kelbo::ui::frmAbout;

namespace {
void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}  // namespace

TEST(AboutBox, NamesTheProgramAndItsVersion) {
    frmAbout* box = frmAbout::showAbout();
    settle();
    EXPECT_EQ(box->windowTitle(), "About Kelbo");
    EXPECT_EQ(box->findChild<QLabel*>("lblTitle")->text(), "Kelbo");
    EXPECT_EQ(box->findChild<QLabel*>("lblVersion")->text(), "Version 0.2.3");
    EXPECT_EQ(box->findChild<QLabel*>("Label3")->text(), "To receive updates and provide feedback");
    EXPECT_FALSE(box->findChild<QLabel*>("Label4")->text().isEmpty());
    EXPECT_FALSE(box->findChild<QLabel*>("Label2")->text().isEmpty());
    EXPECT_FALSE(box->isModal());
    box->close();
    settle();
}

TEST(AboutBox, OneBoxAtATimeAndOkClosesIt) {
    frmAbout* box = frmAbout::showAbout();
    EXPECT_EQ(frmAbout::showAbout(), box);
    int boxes = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmAbout*>(w)) ++boxes;
    EXPECT_EQ(boxes, 1);

    box->findChild<QPushButton*>("cmdOK")->click();
    settle();
    EXPECT_EQ(frmAbout::current(), nullptr);
    frmAbout* again = frmAbout::showAbout();
    EXPECT_NE(again, nullptr);
    again->close();
    settle();
}
