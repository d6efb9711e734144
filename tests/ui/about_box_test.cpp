#include "recorder/ui/about_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using kelbo::ui::AboutBox;

namespace {
void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}  // namespace

TEST(AboutBox, NamesTheProgramAndItsVersion) {
    AboutBox* box = AboutBox::showAbout();
    settle();
    EXPECT_EQ(box->windowTitle(), "About Kelbo");
    EXPECT_EQ(box->objectName(), "frmAbout");
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
    AboutBox* box = AboutBox::showAbout();
    EXPECT_EQ(AboutBox::showAbout(), box);
    int boxes = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<AboutBox*>(w)) ++boxes;
    EXPECT_EQ(boxes, 1);

    box->findChild<QPushButton*>("cmdOK")->click();
    settle();
    EXPECT_EQ(AboutBox::current(), nullptr);
    AboutBox* again = AboutBox::showAbout();
    EXPECT_NE(again, nullptr);
    again->close();
    settle();
}

TEST(AboutBox, LinksTheProjectPageAndStatesTheLicence) {
    AboutBox* box = AboutBox::showAbout();
    settle();
    const QLabel* link = box->findChild<QLabel*>("lblProjectPage");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->openExternalLinks());
    EXPECT_TRUE(link->text().contains("href=\"https://github.com/kelbo/kelbo\"")) << link->text().toStdString();
    EXPECT_TRUE(box->findChild<QLabel*>("lblLicence")->text().contains(
        "GNU General Public License, version 3 or (at your option) any later version"));
    box->close();
    settle();
}
