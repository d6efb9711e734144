#include "common/settings_store.h"
#include "recorder/forms/schedule_commands.h"
#include "recorder/ui/detail_pane_widget.h"
#include "recorder/ui/schedule_list_model.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/transport_bar.h"
#include "support/recorder_rig.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>

#include <map>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

const DateTime kToday = DateTime::fromCivil(2026, 12, 7);

DateTime at(int hour, int minute) { return kToday.plusMinutes(hour * 60 + minute); }

void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

void key(QWidget* widget, int code) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void leave(QWidget* widget, Qt::FocusReason reason = Qt::MouseFocusReason) {
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(widget, &out);
}

class ScheduleWidgetsTest : public ::testing::Test {
protected:
    ScheduleWidgetsTest()
        : rig(at(12, 0)),
          pane(rig.listing, rig.settings, rig.clock, rig.messages),
          view(rig.listing.list()),
          paneWidget(pane) {
        rig.settings.detailTemplates = {"DEFAULT Template", "DVD", "VCD"};
        view.attachPane(pane);
        // Started at 11:00 and still running; two clashing in the evening.
        rig.loadSchedule(programme("Running", at(11, 0), 120, "1").text() +
                         programme("Film", at(20, 0), 60, "2").text() +
                         programme("News", at(20, 30), 30, "3").text());
    }
    QModelIndex index(int row, int column) const { return view.model()->index(row - 1, column); }
    QColor foreground(int row, int column) const {
        return view.model()->data(index(row, column), Qt::ForegroundRole).value<QColor>();
    }

    RecorderRig rig;
    DetailPane pane;
    ScheduleListView view;
    DetailPaneWidget paneWidget;
};

}  // namespace

TEST_F(ScheduleWidgetsTest, ListShowsRowsColumnsAndColours) {
    EXPECT_EQ(view.objectName(), "listview_play");
    ASSERT_EQ(view.model()->rowCount(), 3);
    ASSERT_EQ(view.model()->columnCount(), kColumnCount);
    EXPECT_EQ(view.model()->headerData(4, Qt::Horizontal).toString(), "Programme");
    EXPECT_EQ(view.model()->data(index(2, 4)).toString(), "Film");
    EXPECT_TRUE(view.isColumnHidden(0));
    EXPECT_TRUE(view.isColumnHidden(1));
    EXPECT_EQ(view.columnWidth(4), 100);

    EXPECT_EQ(foreground(1, 4), QColor(255, 0, 0));  // the next programme
    EXPECT_EQ(foreground(2, 4), QColor(0, 0, 255));  // a clash
    EXPECT_EQ(foreground(3, 2), QColor(0, 0, 255));
    EXPECT_FALSE(view.model()->data(index(1, 0), Qt::ForegroundRole).isValid());

    // The list changes underneath: rebuilt, a cell changed, a row removed.
    rig.listing.list().setCell(2, Column::Status, "Recorded");
    EXPECT_EQ(view.model()->data(index(2, 14)).toString(), "Recorded");
    rig.listing.list().removeRow(1);
    EXPECT_EQ(view.model()->rowCount(), 2);
    rig.listing.Display_Schedule();
    EXPECT_EQ(view.model()->rowCount(), 3);
    EXPECT_EQ(view.model()->data(index(1, 4)).toString(), "Running");
}

TEST_F(ScheduleWidgetsTest, SelectingARowFillsAndEnablesThePane) {
    EXPECT_EQ(paneWidget.objectName(), "Frame2");
    EXPECT_FALSE(paneWidget.isEnabled());

    view.selectRow(2);
    EXPECT_EQ(rig.listing.list().selectedRow(), 2);
    EXPECT_TRUE(paneWidget.isEnabled());
    EXPECT_EQ(paneWidget.adjustedStart()->text(), "07-12-2026 20:00:00");
    EXPECT_EQ(paneWidget.templateList()->currentText(), "DVD");
    EXPECT_EQ(paneWidget.startBuffer()->palette().color(QPalette::Base), QPalette().color(QPalette::Base));
    // Selecting a blue row shows what it clashes with at once.
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Clash with: News on Channel3");

    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    EXPECT_EQ(pane.listToolTip(), "");

    // The running programme cannot be edited.
    view.selectRow(1);
    EXPECT_FALSE(paneWidget.isEnabled());
    EXPECT_EQ(paneWidget.startBuffer()->palette().color(QPalette::Base), QColor(224, 224, 224));
    EXPECT_EQ(paneWidget.fileName()->text().toStdString(), rig.cell(1, Column::Filename));

    // A key released in the list shows the then-selected row.
    rig.listing.list().select(3);
    key(&view, Qt::Key_A);
    EXPECT_EQ(pane.shownRow(), 3);
    EXPECT_EQ(paneWidget.adjustedEnd()->text(), "07-12-2026 21:00:00");
}

TEST_F(ScheduleWidgetsTest, FieldCommitsOnLeavingAndOnEnter) {
    view.selectRow(2);
    QLineEdit* start = paneWidget.startBuffer();
    // Captions are not cut in the desktop's font, and each field stands
    // right of its caption.
    paneWidget.resize(paneWidget.sizeHint());
    paneWidget.layout()->activate();
    for (const char* name : {"Label_StartBuffer", "Label_AdjustedStart", "Label_EndBuffer", "Label_AdjustedEnd"}) {
        const QLabel* caption = paneWidget.findChild<QLabel*>(name);
        ASSERT_NE(caption, nullptr) << name;
        EXPECT_GE(caption->width(), caption->sizeHint().width()) << name;
    }
    EXPECT_GE(start->x(), paneWidget.findChild<QLabel*>("Label_StartBuffer")->geometry().right());

    start->selectAll();
    type(start, "5");
    // The question box taking the focus is not leaving the field.
    leave(start, Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(rig.messages.shown.empty());
    leave(start);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Confirmation Required");
    EXPECT_EQ(rig.document.table()[1].StartBuffer, "5");
    EXPECT_EQ(paneWidget.adjustedStart()->text(), "07-12-2026 19:55:00");

    rig.messages.answer = MessageBoxes::Answer::Cancel;
    QLineEdit* end = paneWidget.endBuffer();
    end->selectAll();
    type(end, "9");
    key(end, Qt::Key_Return);
    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].text, "Are you sure you want to change the EndBuffer?");
    EXPECT_EQ(end->text(), "0");
    EXPECT_EQ(rig.document.table()[1].EndBuffer, "");

    rig.messages.answer = MessageBoxes::Answer::Ok;
    paneWidget.templateList()->setCurrentIndex(2);
    emit paneWidget.templateList()->activated(2);
    leave(paneWidget.templateList(), Qt::PopupFocusReason);
    EXPECT_EQ(rig.messages.shown.size(), 2u);
    leave(paneWidget.templateList());
    EXPECT_EQ(rig.document.table()[1].Template, "VCD");
    EXPECT_EQ(rig.cell(2, Column::Template), "VCD");
}

TEST_F(ScheduleWidgetsTest, DeletingTheSelectedRowClearsTheSelection) {
    ScheduleCommands commands(rig.listing, rig.device, rig.settings, rig.messages);
    rig.settings.ExpertMode = true;
    view.selectRow(3);
    const std::string shownBefore = paneWidget.adjustedStart()->text().toStdString();
    commands.Delete_Selected_Item();
    EXPECT_EQ(view.model()->rowCount(), 2);
    EXPECT_EQ(rig.listing.list().selectedRow(), 0);
    EXPECT_TRUE(view.selectionModel()->selectedRows().isEmpty());
    // The pane keeps the deleted item's values, greyed.
    EXPECT_EQ(paneWidget.adjustedStart()->text().toStdString(), shownBefore);
    EXPECT_FALSE(paneWidget.isEnabled());
}

TEST_F(ScheduleWidgetsTest, DraggedColumnsAreReportedForSaving) {
    view.setColumnWidth(4, 200);
    view.header()->moveSection(view.header()->visualIndex(4), 0);  // Programme to the front
    const std::vector<ColumnState> states = view.columnStates();
    ASSERT_EQ(states.size(), static_cast<size_t>(kColumnCount));
    std::map<std::string, ColumnState> byHeader;
    for (const ColumnState& s : states) byHeader[s.header] = s;
    EXPECT_EQ(byHeader["Programme"].position, 1);
    EXPECT_EQ(byHeader["Programme"].widthTwips, 3000);
    EXPECT_EQ(byHeader["IndexString"].position, 2);
    EXPECT_EQ(byHeader["IndexString"].widthTwips, 0);
    EXPECT_EQ(byHeader["Date"].position, 4);
    EXPECT_EQ(byHeader["Duration"].position, 6);

    SettingsStore store(rig.dir / "registry.ini");
    Save_Layout(store, states);
    const ColumnLayout loaded = Load_Column_Layout(store);
    EXPECT_EQ(loaded.position(Column::Programme), 1);
    EXPECT_EQ(loaded.width(Column::Programme), 3000);
    EXPECT_EQ(loaded.position(Column::IndexString), 2);
}

TEST(TransportBarTest, CommandButtonsShowAndReportTheirIndex) {
    TransportBar bar;
    std::vector<int> clicks;
    QObject::connect(&bar, &TransportBar::clicked, [&](int index) { clicks.push_back(index); });
    for (int i = 0; i < TransportBar::kButtons; ++i) {
        const bool command = i == 4 || i == 8 || i == 9;
        EXPECT_EQ(bar.button(i)->isHidden(), !command) << i;
        EXPECT_EQ(bar.button(i)->objectName(), "TransportControl");
        EXPECT_EQ(bar.button(i)->size(), QSize(25, 18));
        if (command) bar.button(i)->click();
    }
    EXPECT_EQ(bar.button(9)->toolTip(), "Delete the selected item from the recording schedule");
    EXPECT_EQ(bar.button(9)->x(), 9 * 395 / 15);
    EXPECT_FALSE(bar.button(4)->icon().isNull());
    EXPECT_EQ(clicks, (std::vector<int>{4, 8, 9}));
}

TEST_F(ScheduleWidgetsTest, ClickingTheSelectedRowAgainShowsItAgain) {
    view.resize(800, 300);
    view.show();
    const auto click = [this](int row) {
        const QPoint point = view.visualRect(index(row, 4)).center();
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, point, view.viewport()->mapToGlobal(point), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(view.viewport(), &event);
        }
    };
    click(3);
    EXPECT_EQ(pane.shownRow(), 3);
    EXPECT_EQ(rig.listing.list().tag(3), "Clash with: Film on Channel2");
    rig.listing.list().setTag(3, "Clash with: Film on Channel2 AND Other AND ");
    click(3);
    EXPECT_EQ(rig.listing.list().tag(3), "Clash with: Film on Channel2 AND Other");
    EXPECT_EQ(QToolTip::text(), "Clash with: Film on Channel2 AND Other");
}

TEST_F(ScheduleWidgetsTest, HoveringABlueRowShowsWhatItClashesWithEvenAfterTheMouseMoved) {
    const auto hover = [this](int row) {
        const QPoint point = view.visualRect(index(row, 4)).center();
        QMouseEvent move(QEvent::MouseMove, point, view.viewport()->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        QHelpEvent help(QEvent::ToolTip, point, view.viewport()->mapToGlobal(point));
        QApplication::sendEvent(view.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string("(none)");
    };
    EXPECT_EQ(hover(2), "Clash with: News on Channel3");
    EXPECT_EQ(hover(3), "Clash with: Film on Channel2");
    // A row that clashes with nothing, and the list after a selection and
    // a move, still say what the list is.
    EXPECT_EQ(hover(1), "Schedule listing for items to record");
    view.selectRow(2);
    EXPECT_EQ(hover(1), "Schedule listing for items to record");
    EXPECT_EQ(hover(2), "Clash with: News on Channel3");
    QToolTip::hideText();
}
