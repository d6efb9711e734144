#include "recorder/ui/add_schedule_dialog.h"
#include "support/recorder_rig.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace kelbo;
using namespace kelbo::testing;
using kelbo::ui::AddScheduleDialog;

namespace {

const DateTime kNow = DateTime::fromCivil(2026, 12, 7, 14, 30);

void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Types as the user does: replaces the field's text key by key.
void typeInto(QWidget* widget, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(widget);
    if (!edit) edit = qobject_cast<QComboBox*>(widget)->lineEdit();
    edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(edit, &erase);
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
}

class AddScheduleDialogTest : public ::testing::Test {
protected:
    AddScheduleDialogTest() : rig(kNow) { rig.settings.templates = {"DVD", "VCD"}; }
    ~AddScheduleDialogTest() override {
        if (AddScheduleDialog::current()) AddScheduleDialog::current()->close();
        settle();
    }

    AddScheduleDialog* open() {
        AddScheduleDialog* d = AddScheduleDialog::open(
            AddScheduleContext{rig.document, rig.next, rig.device, rig.clock, rig.settings,
                               rig.messages});
        settle();
        return d;
    }
    template <typename T> T* child(AddScheduleDialog* d, const char* name) {
        T* w = d->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Moves the focus as a click or Tab would.
    void focus(AddScheduleDialog* d, const char* name) {
        child<QWidget>(d, name)->setFocus(Qt::TabFocusReason);
        settle();
    }
    QString text(AddScheduleDialog* d, const char* name) {
        if (auto* box = d->findChild<QComboBox*>(name)) return box->currentText();
        return child<QLineEdit>(d, name)->text();
    }

    RecorderRig rig;
};

}  // namespace

TEST_F(AddScheduleDialogTest, ShowsTheControlsWithTheirDefaults) {
    AddScheduleDialog* d = open();
    EXPECT_EQ(d->windowTitle(), "AddSchedule");
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->size(), QSize(308, 240));
    EXPECT_EQ(child<QDateEdit>(d, "DTPicker1")->date(), QDate(2026, 12, 7));
    EXPECT_EQ(text(d, "hours"), "14");
    EXPECT_EQ(text(d, "minutes"), "30");
    EXPECT_EQ(text(d, "duration"), "60");
    EXPECT_EQ(text(d, "programme"), "-Kelbo Recording-");
    EXPECT_EQ(text(d, "channels"), "-NA-");
    EXPECT_EQ(text(d, "Chno"), "N/A");
    EXPECT_EQ(text(d, "template"), "DEFAULT Template");
    EXPECT_EQ(child<QComboBox>(d, "template")->count(), 3);
    auto* spinner = child<QScrollBar>(d, "VScroll1");
    EXPECT_EQ(spinner->minimum(), -1000);
    EXPECT_EQ(spinner->maximum(), 1000);
    EXPECT_EQ(spinner->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(child<QLabel>(d, "Label4")->toolTip(), "Channel Name (use -NA- if not relevant)");
    EXPECT_EQ(child<QPushButton>(d, "Add")->toolTip(), "Confirm the schedule addition");

    const char* order[] = {"DTPicker1", "hours", "minutes", "duration", "channels",
                           "Chno", "programme", "template", "Add", "Cancel"};
    for (size_t i = 1; i < std::size(order); ++i) {
        QWidget* next = child<QWidget>(d, order[i - 1])->nextInFocusChain();
        // Inner parts (a list's edit box) and the spinner take no focus by Tab.
        while (next && (next->parentWidget() != d || next->focusPolicy() == Qt::NoFocus))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, child<QWidget>(d, order[i])) << order[i - 1];
    }
}

TEST_F(AddScheduleDialogTest, OpeningTwiceKeepsOneDialogAndEachOpeningStartsAfresh) {
    AddScheduleDialog* first = open();
    typeInto(child<QLineEdit>(first, "programme"), "Typed");
    EXPECT_EQ(open(), first);
    EXPECT_EQ(text(first, "programme"), "Typed");
    int dialogs = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<AddScheduleDialog*>(w)) ++dialogs;
    EXPECT_EQ(dialogs, 1);

    child<QPushButton>(first, "Cancel")->click();
    settle();
    EXPECT_EQ(AddScheduleDialog::current(), nullptr);
    EXPECT_EQ(rig.listing.list().rowCount(), 0);
    AddScheduleDialog* second = open();
    EXPECT_EQ(text(second, "programme"), "-Kelbo Recording-");

    // Escape is the close box's twin: nothing stored, the dialog gone.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(second, &escape);
    settle();
    EXPECT_EQ(AddScheduleDialog::current(), nullptr);
    EXPECT_EQ(rig.listing.list().rowCount(), 0);
}

TEST_F(AddScheduleDialogTest, LeavingTimeFieldsCorrectsAndTheSpinnerStepsTheFocusedOne) {
    AddScheduleDialog* d = open();
    focus(d, "hours");
    typeInto(child<QLineEdit>(d, "hours"), "7");
    focus(d, "minutes");
    EXPECT_EQ(text(d, "hours"), "07");

    auto* spinner = child<QScrollBar>(d, "VScroll1");
    spinner->triggerAction(QAbstractSlider::SliderSingleStepSub);  // upper arrow
    EXPECT_EQ(text(d, "minutes"), "31");
    EXPECT_EQ(d->focusWidget(), child<QWidget>(d, "minutes"));

    focus(d, "duration");
    spinner->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(text(d, "minutes"), "31");
    EXPECT_EQ(text(d, "hours"), "07");
}

TEST_F(AddScheduleDialogTest, LeavingTheChannelNameSetsTheNumber) {
    GuideRecord record = programme("News", kNow.plusMinutes(60), 30, "101");
    record.channelName = "BBC1";
    rig.loadSchedule(record.text());
    AddScheduleDialog* d = open();
    auto* channels = child<QComboBox>(d, "channels");
    ASSERT_EQ(channels->count(), 2);
    focus(d, "channels");
    channels->setCurrentIndex(1);
    emit channels->activated(1);
    focus(d, "programme");
    EXPECT_EQ(text(d, "Chno"), "101");

    // A channel the schedule does not hold yet keeps its name, and the
    // number box is not emptied.
    focus(d, "channels");
    typeInto(channels, "XYZ");
    focus(d, "programme");
    EXPECT_EQ(text(d, "channels"), "XYZ");
    EXPECT_EQ(text(d, "Chno"), "N/A");
}

TEST_F(AddScheduleDialogTest, EnterAddsAProgrammeOnANewChannelToAnEmptySchedule) {
    AddScheduleDialog* d = open();
    focus(d, "channels");
    typeInto(child<QComboBox>(d, "channels"), "Film4");
    focus(d, "Chno");
    typeInto(child<QComboBox>(d, "Chno"), "15");
    focus(d, "programme");
    typeInto(child<QLineEdit>(d, "programme"), "Late Film");
    focus(d, "hours");
    typeInto(child<QLineEdit>(d, "hours"), "7");
    // Enter in the hours field: the field is put right first, then added.
    QTest::keyClick(child<QLineEdit>(d, "hours"), Qt::Key_Return);
    settle();
    EXPECT_TRUE(rig.messages.shown.empty()) << rig.messages.shown[0].text;
    EXPECT_EQ(AddScheduleDialog::current(), nullptr);
    ASSERT_EQ(rig.listing.list().rowCount(), 1);
    EXPECT_EQ(rig.cell(1, Column::Channel), "Film4");
    EXPECT_EQ(rig.cell(1, Column::ChannelNumber), "15");
    EXPECT_EQ(rig.cell(1, Column::Time).substr(0, 3), "07:");
}

TEST_F(AddScheduleDialogTest, EnterInAChannelBoxAddsToo) {
    AddScheduleDialog* d = open();
    focus(d, "channels");
    typeInto(child<QComboBox>(d, "channels"), "More4");
    QTest::keyClick(child<QComboBox>(d, "channels")->lineEdit(), Qt::Key_Return);
    settle();
    EXPECT_TRUE(rig.messages.shown.empty()) << rig.messages.shown[0].text;
    ASSERT_EQ(rig.listing.list().rowCount(), 1);
    EXPECT_EQ(rig.cell(1, Column::Channel), "More4");
    EXPECT_EQ(rig.cell(1, Column::ChannelNumber), "N/A");
}

TEST_F(AddScheduleDialogTest, RefusedAddShowsTheMessageAndFocusesTheField) {
    AddScheduleDialog* d = open();
    focus(d, "programme");
    typeInto(child<QLineEdit>(d, "programme"), "X");
    focus(d, "Add");
    child<QPushButton>(d, "Add")->click();
    settle();
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Incomplete Data");
    EXPECT_EQ(rig.messages.shown[0].text, "Must enter a program name at least 2 chars");
    EXPECT_EQ(AddScheduleDialog::current(), d);
    EXPECT_EQ(d->focusWidget(), child<QWidget>(d, "programme"));
    EXPECT_EQ(text(d, "programme"), "X");
}

TEST_F(AddScheduleDialogTest, GoodAddStoresTheItemAndCloses) {
    AddScheduleDialog* d = open();
    typeInto(child<QLineEdit>(d, "programme"), "News at Ten");
    child<QComboBox>(d, "template")->setCurrentIndex(1);
    emit child<QComboBox>(d, "template")->activated(1);
    child<QDateEdit>(d, "DTPicker1")->setDate(QDate(2027, 3, 5));
    child<QPushButton>(d, "Add")->click();
    settle();
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(AddScheduleDialog::current(), nullptr);
    ASSERT_EQ(rig.listing.list().rowCount(), 1);
    EXPECT_EQ(rig.cell(1, Column::Programme), "News at Ten");
    EXPECT_EQ(rig.cell(1, Column::Date), "05-03-2027");
    EXPECT_EQ(rig.cell(1, Column::Template), "VCD");
    EXPECT_NE(rig.scheduleText().find("ProgrammeName: News at Ten"), std::string::npos);
}

// Renders the dialog as the user sees it; with KELBO_SCREENSHOT_DIR set the
// picture is kept there (docs/add-schedule-dialog.png is made this way).
TEST_F(AddScheduleDialogTest, RendersAtItsOwnSize) {
    std::string text;
    for (const auto& [name, number] : {std::pair{"BBC One", "101"}, {"Channel 4", "104"}}) {
        GuideRecord r = programme("News", kNow.plusMinutes(60 + std::atoi(number)), 30, number);
        r.channelName = name;
        text += r.text();
    }
    rig.loadSchedule(text);
    AddScheduleDialog* d = open();
    const QImage picture = d->grab().toImage();
    EXPECT_EQ(picture.size(), d->size() * d->devicePixelRatio());
    if (const char* dir = std::getenv("KELBO_SCREENSHOT_DIR")) {
        EXPECT_TRUE(picture.save(QString(dir) + "/add-schedule-dialog.png"));
    }
}
