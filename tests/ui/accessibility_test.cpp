// What a screen reader hears and what the keyboard reaches.
#include "main_window_rig.h"
#include "recorder/forms/settings_loader.h"
#include "recorder/ui/add_schedule_dialog.h"
#include "recorder/ui/detail_pane_widget.h"
#include "recorder/ui/options_dialog.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/shown_columns_table.h"
#include "recorder/ui/transport_bar.h"
#include "support/options_rig.h"
#include "support/recorder_rig.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

QString accessibleName(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// On Linux a combo box says its value as its name; its label comes to the
// screen reader through the "labelled by" relation.
QString labelledBy(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    if (!face) return {};
    for (const auto& [other, relation] : face->relations(QAccessible::Label))
        if (relation & QAccessible::Label) return other->text(QAccessible::Name);
    return {};
}

// Every control a user can reach in `root`, with what a screen reader
// calls it.
std::vector<std::pair<QString, QString>> controlNames(QWidget& root) {
    std::vector<std::pair<QString, QString>> names;
    for (QWidget* w : root.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QListWidget*>(w) ||
                             qobject_cast<QScrollBar*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        // A combo or spin box speaks for its own line edit.
        if (!control || qobject_cast<QComboBox*>(w->parentWidget()) ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            continue;
        if (qobject_cast<QScrollBar*>(w) && !w->objectName().endsWith("_Scroll")) continue;
        const QString label = labelledBy(w);
        names.emplace_back(w->objectName(), label.isEmpty() ? accessibleName(w) : label);
    }
    return names;
}

// A list of two programmes, as the schedule list shows it at the start:
// the two ID columns sized to nothing and so hidden.
struct ListRig {
    ListRig() : rig(DateTime::fromCivil(2026, 12, 7).plusMinutes(12 * 60)), view(rig.listing.list()) {
        const DateTime today = DateTime::fromCivil(2026, 12, 7);
        rig.loadSchedule(programme("Film", today.plusMinutes(20 * 60), 60, "2").text() +
                         programme("News", today.plusMinutes(22 * 60), 30, "3").text());
    }
    QString text(int row, int column) const {
        return view.model()->index(row, column).data().toString();
    }
    RecorderRig rig;
    ScheduleListView view;
};

std::string columnHeaders(QAccessibleInterface& face) {
    QStringList headers;
    for (int c = 0; c < face.tableInterface()->columnCount(); ++c)
        headers << face.tableInterface()->columnDescription(c);
    return headers.join(", ").toStdString();
}

}  // namespace

TEST(Accessibility, TheListTellsOnlyItsShownColumnsInTheOrderShown) {
    ListRig list;
    ScheduleListView& view = list.view;
    // The user drags Programme to the front and hides Channel.
    view.header()->moveSection(view.header()->visualIndex(4), 0);
    view.setColumnHidden(6, true);

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->tableInterface(), nullptr);
    QAccessibleTableInterface& table = *face->tableInterface();
    const QStringList shown{"Programme", "Date",     "Time", "Duration",    "Ch #",     "Filename",
                            "Template",  "SBuf",     "EBuf", "Description", "Category", "Status"};
    EXPECT_EQ(columnHeaders(*face), shown.join(", ").toStdString());
    EXPECT_EQ(table.rowCount(), 2);
    // The children: a header row, then each row's cells.
    ASSERT_EQ(face->childCount(), 3 * 12);
    QStringList headerCells;
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(face->child(c)->role(), QAccessible::ColumnHeader);
        headerCells << face->child(c)->text(QAccessible::Name);
    }
    EXPECT_EQ(headerCells.join(", ").toStdString(), shown.join(", ").toStdString());

    // The second row's cells say the shown columns' texts.
    QStringList cells, expected;
    for (int c = 0; c < table.columnCount(); ++c) {
        QAccessibleInterface* cell = table.cellAt(1, c);
        ASSERT_NE(cell, nullptr);
        cells << cell->text(QAccessible::Name);
        EXPECT_EQ(face->indexOfChild(cell), 2 * 12 + c);
        EXPECT_EQ(cell->tableCellInterface()->columnIndex(), c);
        EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 1);
        EXPECT_EQ(cell->tableCellInterface()->columnHeaderCells().front()->text(QAccessible::Name), shown[c])
            << c;
    }
    for (int column : {4, 2, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14}) expected << list.text(1, column);
    EXPECT_EQ(cells.join(", ").toStdString(), expected.join(", ").toStdString());
    EXPECT_EQ(cells.front(), "News");

    // Shown again, Channel is told where it is.
    view.setColumnHidden(6, false);
    EXPECT_EQ(table.columnCount(), 13);
    EXPECT_EQ(columnHeaders(*face), "Programme, Date, Time, Duration, Channel, Ch #, Filename, Template, "
                                    "SBuf, EBuf, Description, Category, Status");
    EXPECT_EQ(table.cellAt(0, 4)->text(QAccessible::Name), list.text(0, 6));
    EXPECT_EQ(face->childCount(), 3 * 13);
    // The first row goes: the table says the rows that are left.
    EXPECT_EQ(table.cellAt(0, 0)->text(QAccessible::Name), "Film");
    list.rig.listing.list().removeRow(1);
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.cellAt(0, 0)->text(QAccessible::Name), "News");
    EXPECT_EQ(face->childCount(), 2 * 13);
    // The forms still see every column.
    EXPECT_EQ(view.model()->columnCount(), kColumnCount);
    EXPECT_EQ(view.columnStates().size(), static_cast<size_t>(kColumnCount));
}

// Focus and selection events name a cell by the table's own numbering;
// a row whose current cell is in a hidden column is said by a shown one.
TEST(Accessibility, TheSelectedRowIsSaidByAShownCell) {
    ListRig list;
    ScheduleListView& view = list.view;
    // Selecting a row makes its first cell current, in the hidden ID column.
    view.selectRow(2);
    ASSERT_TRUE(view.isColumnHidden(view.currentIndex().column()));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(face, nullptr);
    auto* table = dynamic_cast<ShownColumnsTable*>(face);
    ASSERT_NE(table, nullptr);
    for (QAccessibleInterface* cell : {face->focusChild(), face->child(table->eventChildOf(view.currentIndex()))}) {
        ASSERT_NE(cell, nullptr);
        ASSERT_NE(cell->tableCellInterface(), nullptr);
        EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 1);
        EXPECT_EQ(cell->tableCellInterface()->columnHeaderCells().front()->text(QAccessible::Name), "Date");
        EXPECT_EQ(cell->text(QAccessible::Name), list.text(1, 2));
        EXPECT_TRUE(cell->state().selected);
    }
    EXPECT_EQ(face->tableInterface()->selectedRows(), QList<int>{1});
    // Selecting through the table selects the list's row.
    ASSERT_TRUE(face->tableInterface()->selectRow(0));
    EXPECT_EQ(list.rig.listing.list().selectedRow(), 1);
}

TEST(Accessibility, TheGlyphButtonsAreNamedForWhatTheyDo) {
    TransportBar bar;
    EXPECT_EQ(accessibleName(bar.button(4)), "Stop");
    EXPECT_EQ(accessibleName(bar.button(8)), "Add");
    EXPECT_EQ(accessibleName(bar.button(9)), "Delete");
}

TEST(Accessibility, EveryOptionsControlHasANameAndTheCaptureFieldsTheirLabels) {
    OptionsRig rig;
    rig.setStored("Template", "DVD");
    Load_Settings(rig.form, rig.templateKey, rig.folder());
    OptionsDialog dialog{rig.form};
    for (const auto& [object, name] : controlNames(dialog))
        EXPECT_FALSE(name.isEmpty()) << object.toStdString() << " has no accessible name";
    EXPECT_EQ(accessibleName(dialog.findChild<QWidget*>("Default_Brightness")), "Brightness");
    EXPECT_EQ(accessibleName(dialog.findChild<QWidget*>("Default_Volume")), "Audio Volume");
    EXPECT_EQ(accessibleName(dialog.findChild<QWidget*>("Brightness_Scroll")), "Brightness");
    EXPECT_EQ(labelledBy(dialog.findChild<QWidget*>("template")), "Default Record Template");
    EXPECT_EQ(labelledBy(dialog.findChild<QWidget*>("CaptureSource")), "Capture source");
    EXPECT_EQ(accessibleName(dialog.findChild<QWidget*>("Tuners")), "Tuners");
    EXPECT_EQ(labelledBy(dialog.findChild<QWidget*>("Tuners")), "Tuners");
}

TEST_F(MainWindowTest, TheMenuKeyAndShiftF10OpenTheSelectedRowsMenu) {
    MainWindow& w = start();
    ScheduleListView& list = w.listView();
    w.show();
    list.selectRow(1);
    list.setFocus();
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        QStringList items;
        QTimer::singleShot(0, [&items] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : menu->actions())
                    if (!a->isSeparator()) items << a->text();
                menu->close();
            }
        });
        QTest::keyClick(&list, key, modifiers);
        EXPECT_EQ(items, (QStringList{"Play", "Open Containing Folder", "Delete"})) << key;
    }
}

TEST_F(MainWindowTest, TheDetailPaneAndTheAddDialogNameEveryField) {
    MainWindow& w = start();
    auto* pane = w.findChild<DetailPaneWidget*>();
    ASSERT_NE(pane, nullptr);
    for (const auto& [object, name] : controlNames(*pane))
        EXPECT_FALSE(name.isEmpty()) << object.toStdString() << " has no accessible name";
    EXPECT_EQ(accessibleName(pane->findChild<QWidget*>("Detail_StartBuffer")), "Start Buffer");

    action("AddItem")->trigger();
    AddScheduleDialog* dialog = AddScheduleDialog::current();
    ASSERT_NE(dialog, nullptr);
    for (const auto& [object, name] : controlNames(*dialog))
        EXPECT_FALSE(name.isEmpty()) << object.toStdString() << " has no accessible name";
    EXPECT_EQ(accessibleName(dialog->findChild<QWidget*>("duration")), "Duration");
    EXPECT_EQ(accessibleName(dialog->findChild<QWidget*>("programme")), "Programme");
    // Alt+P reaches the programme's name.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    QTest::keyClick(dialog, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog->findChild<QWidget*>("programme"));
    dialog->close();
}
