// On a real desktop (Xvfb, openbox) every dialog and message box of the
// recorder opens fully visible above the topmost docked preview: the window
// on top at the centre of each of its buttons is the box itself.
#include "recorder/forms/schedule_listing.h"
#include "desktop_ui.h"
#include "main_window_rig.h"

#include "recorder/forms/detail_pane.h"
#include "recorder/ui/add_schedule_dialog.h"
#include "recorder/ui/qt_message_boxes.h"
#include "recorder/ui/schedule_list_view.h"
#include "recorder/ui/transport_bar.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

class DialogsOnADesktop : public MainWindowTest {
protected:
    DialogsOnADesktop() { windowBoxes = &realBoxes; }

    MainWindow& startOnTheDesktop() {
        MainWindow& w = start();
        realBoxes.setOwnerWindow(&w);
        settleOnTheDesktop(800);
        return w;
    }

    bool previewOnTop() {
        const PreviewForm& p = window->preview();
        return uncovered(&p);
    }

    static QWidget* shownWindow(const char* objectName) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->objectName() == objectName) return top;
        return nullptr;
    }

    // Answers the next confirmation with Cancel once its buttons have been
    // looked at.
    void lookAtTheNextConfirmation(const std::string& title) {
        QTimer::singleShot(0, [this, title] {
            settleOnTheDesktop();
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(top);
                if (!box || !box->isVisible()) continue;
                EXPECT_EQ(box->windowTitle().toStdString(), title);
                EXPECT_TRUE(uncovered(box->button(QMessageBox::Ok))) << title << " OK";
                EXPECT_TRUE(uncovered(box->button(QMessageBox::Cancel))) << title << " Cancel";
                ++confirmationsSeen;
                box->button(QMessageBox::Cancel)->click();
            }
        });
    }

    QtMessageBoxes realBoxes{QtMessageBoxes::Output::Windows};
    int confirmationsSeen = 0;
};

}  // namespace

TEST_F(DialogsOnADesktop, EveryDialogOpensAboveThePreview) {
    MainWindow& w = startOnTheDesktop();
    ASSERT_TRUE(w.preview().isVisible());
    ASSERT_TRUE(previewOnTop()) << "the preview is docked on top of the main window";

    w.transport().button(8)->click();  // Add
    settleOnTheDesktop();
    AddScheduleDialog* add = AddScheduleDialog::current();
    ASSERT_NE(add, nullptr);
    for (const char* name : {"Add", "Cancel", "channels", "Chno"})
        EXPECT_TRUE(uncovered(add->findChild<QWidget*>(name))) << "AddSchedule " << name;
    add->close();
    settleOnTheDesktop();
    EXPECT_TRUE(previewOnTop()) << "on top again once the dialog has gone";

    w.OptionsMenu_Click();
    settleOnTheDesktop();
    QWidget* options = shownWindow("Options");
    ASSERT_NE(options, nullptr);
    for (const char* name : {"Command_OK", "Command_Apply", "Command_Cancel"})
        EXPECT_TRUE(uncovered(options->findChild<QWidget*>(name))) << "Options " << name;
    options->findChild<QPushButton*>("Command_Cancel")->click();
    settleOnTheDesktop();

    w.about_Click();
    settleOnTheDesktop();
    QWidget* about = shownWindow("frmAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(uncovered(about->findChild<QWidget*>("cmdOK"))) << "About OK";
    about->close();
    settleOnTheDesktop();

    realBoxes.notify("Error creating file", "The folder cannot be made", MessageBoxes::Icon::Critical);
    settleOnTheDesktop();
    QMessageBox* notice = realBoxes.openNotice("Error creating file");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(uncovered(notice->button(QMessageBox::Ok))) << "notice OK";
    notice->close();
    settleOnTheDesktop();
    EXPECT_TRUE(previewOnTop());
}

TEST_F(DialogsOnADesktop, ConfirmationsOpenAboveThePreview) {
    MainWindow& w = startOnTheDesktop();
    w.listView().selectRow(2);

    lookAtTheNextConfirmation("Delete Confirmation");
    w.transport().button(9)->click();
    EXPECT_EQ(w.listing().list().rowCount(), 2) << "cancelled";

    lookAtTheNextConfirmation("Confirmation Required");
    w.pane().setFileNameText((dir / "Elsewhere.mpg").string());
    w.pane().Detail_FileName_LostFocus();
    EXPECT_EQ(confirmationsSeen, 2);
    settleOnTheDesktop();
    EXPECT_TRUE(previewOnTop());
}
