// Notices the recorder raises by itself: boxes that never block, one per
// title, later ones counted; each also logged and passed to the desktop.
#include "recorder/ui/qt_message_boxes.h"
#include "support/scoped_state_home.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using kelbo::ui::QtMessageBoxes;

namespace {

constexpr auto kExclamation = MessageBoxes::Icon::Exclamation;

int openBoxesTitled(const QString& title) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w) && w->isVisible() && w->windowTitle() == title) ++n;
    return n;
}

void closeAllBoxes() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w)) w->close();
    QTest::qWait(10);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class NoticeBoxesTest : public ::testing::Test {
protected:
    ~NoticeBoxesTest() override { closeAllBoxes(); }
    ScopedStateHome state;
    QtMessageBoxes boxes{QtMessageBoxes::Output::Windows};
};

}  // namespace

TEST_F(NoticeBoxesTest, ANoticeReturnsAtOnceAndTheEventLoopRunsWhileItsBoxIsOpen) {
    // Should a notice wait for an answer, this closes it after a while so
    // the test can fail instead of hanging.
    bool hadToClose = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&hadToClose] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            hadToClose = true;
            modal->close();
        }
    });
    rescue.start(2000);

    boxes.notify("Error creating file", "Error checking/creating file path for : /x/y[1.].mpg", kExclamation);
    EXPECT_FALSE(hadToClose);
    QMessageBox* box = boxes.openNotice("Error creating file");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->text(), "Error checking/creating file path for : /x/y[1.].mpg");

    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(20);
    QTest::qWait(200);
    EXPECT_GE(ticks, 3) << "a timer like the recording tick keeps firing";
    EXPECT_TRUE(box->isVisible()) << "the box waits for someone at the desk";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(NoticeBoxesTest, OneBoxPerTitleCountsTheLaterNoticesAndKeepsTheFirstText) {
    const std::string first = "Error checking/creating file path for : /a[1.].mpg";
    boxes.notify("Error creating file", first, kExclamation);
    boxes.notify("Error creating file", first, kExclamation);
    boxes.notify("Error creating file", "Error checking/creating file path for : /b[1.].mpg", kExclamation);
    boxes.notify("Error writing schedule", "The schedule could not be saved", kExclamation);

    EXPECT_EQ(openBoxesTitled("Error creating file"), 1);
    EXPECT_EQ(openBoxesTitled("Error writing schedule"), 1);
    QMessageBox* box = boxes.openNotice("Error creating file");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), first);
    const std::string more = box->informativeText().toStdString();
    EXPECT_NE(more.find("(2 more since)"), std::string::npos) << more;
    EXPECT_NE(more.find("/b[1.].mpg"), std::string::npos) << "the newest is shown too: " << more;

    // Once closed, the next notice opens a box of its own, counted afresh.
    box->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(boxes.openNotice("Error creating file"), nullptr);
    boxes.notify("Error creating file", first, kExclamation);
    ASSERT_NE(boxes.openNotice("Error creating file"), nullptr);
    EXPECT_EQ(boxes.openNotice("Error creating file")->informativeText(), "");
    EXPECT_EQ(openBoxesTitled("Error creating file"), 1);
}

// Programme names come from guides: markup in them is shown as written,
// never as a link or formatting.
TEST_F(NoticeBoxesTest, GuideTextIsShownAsPlainText) {
    const std::string name = "Recording \"<a href='http://evil.example'>Free</a> <b>News</b>\" failed";
    boxes.notify("Recording failed", name, kExclamation);
    boxes.notify("Recording failed", name + " again", kExclamation);
    QMessageBox* box = boxes.openNotice("Recording failed");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    for (QLabel* label : box->findChildren<QLabel*>()) {
        if (!label->text().contains("evil.example")) continue;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
}

TEST_F(NoticeBoxesTest, EachNoticeIsABoxLoggedOnceWhileItsBoxIsOpenAndNoNotificationBesides) {
    std::vector<std::string> passedOn;
    boxes.setDesktopNotifier([&passedOn](const Announcement& news) { passedOn.push_back(news.title); });
    boxes.notify("Error creating file", "path A", kExclamation);
    boxes.notify("Error creating file", "path A", kExclamation);
    boxes.notify("Error creating file", "path B", kExclamation);
    boxes.notify("Error creating file", "path B", kExclamation);
    boxes.notify("Error writing schedule", "path A", kExclamation);
    EXPECT_TRUE(passedOn.empty()) << "one event, one box: " << passedOn.front();
    EXPECT_NE(boxes.openNotice("Error creating file"), nullptr);
    const std::string log = state.logText();
    const std::string lineA = "[warning] Notice \"Error creating file\": path A\n";
    ASSERT_NE(log.find(lineA), std::string::npos) << log;
    EXPECT_EQ(log.find(lineA, log.find(lineA) + 1), std::string::npos) << "a repeat every tick is not logged: " << log;
    EXPECT_NE(log.find("[warning] Notice \"Error creating file\": path B\n"), std::string::npos) << log;
}

TEST(NoticeBoxesOffscreen, WithoutAScreenANoticeGoesToStandardErrorAndTheLog) {
    ScopedStateHome state;
    QtMessageBoxes boxes;  // offscreen in these tests
    ::testing::internal::CaptureStderr();
    boxes.notify("No video Source Detected", "There is no video source for the Dazzle DVCII", kExclamation);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "kelbo: No video Source Detected: There is no video source for the Dazzle DVCII\n");
    EXPECT_EQ(boxes.openNotice("No video Source Detected"), nullptr);
    EXPECT_NE(state.logText().find("Notice \"No video Source Detected\""), std::string::npos);
}

TEST_F(NoticeBoxesTest, NewsGoesToTheDesktopNotifierAndTheLogButNeverABox) {
    std::vector<std::string> passedOn;
    boxes.setDesktopNotifier([&passedOn](const Announcement& news) { passedOn.push_back(news.title + ": " + news.text); });
    boxes.announce({"Recording started", "Recording \"News\" on BBC1 into News-20001[1.].mpg", false, {}});
    EXPECT_EQ(passedOn, (std::vector<std::string>{"Recording started: Recording \"News\" on BBC1 into News-20001[1.].mpg"}));
    EXPECT_EQ(boxes.openNotice("Recording started"), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<QMessageBox*>(w), nullptr);
    EXPECT_NE(state.logText().find("Notification \"Recording started\""), std::string::npos);
}

TEST_F(NoticeBoxesTest, EnterInADestructiveConfirmationCancelsWhileAPlainOneGoesAhead) {
    const auto pressEnterInTheBox = [] {
        QTimer::singleShot(50, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) QTest::keyClick(modal, Qt::Key_Return);
        });
    };
    pressEnterInTheBox();
    EXPECT_EQ(boxes.show("Quit Kelbo", "A programme is being recorded. Quit Kelbo and stop the recording?",
                         MessageBoxes::Icon::Question, MessageBoxes::Buttons::OkCancelDefaultCancel),
              MessageBoxes::Answer::Cancel);
    pressEnterInTheBox();
    EXPECT_EQ(boxes.show("Confirmation Required", "Move it?", MessageBoxes::Icon::None,
                         MessageBoxes::Buttons::OkCancel),
              MessageBoxes::Answer::Ok);
}
