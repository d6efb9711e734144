// What a screen reader hears and what the keyboard reaches.
#include "main_window_rig.h"
#include "recorder/forms/settings_loader.h"
#include "recorder/ui/add_schedule_dialog.h"
#include "recorder/ui/detail_pane_widget.h"
#include "recorder/ui/options_dialog.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/transport_bar.h"
#include "support/options_rig.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
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

}  // namespace

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
