// The topmost preview gives way to every dialog and message box while one
// is open, and is on top again once the last has closed.
#include "main_window_rig.h"

#include "recorder/ui/about_box.h"
#include "recorder/ui/add_schedule_dialog.h"
#include "recorder/ui/dialogs_above_preview.h"
#include "recorder/ui/qt_message_boxes.h"
#include "recorder/ui/transport_bar.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>
#include <QToolButton>
#include <QTimer>
#include <QWindow>

using namespace kelbo;
using namespace kelbo::testing;
using namespace kelbo::ui;

namespace {

class DialogsAbovePreviewTest : public MainWindowTest {
protected:
    bool previewOnTop() {
        QApplication::processEvents();
        QWindow* native = window->preview().windowHandle();
        EXPECT_NE(native, nullptr);
        return native && (native->flags() & Qt::WindowStaysOnTopHint) && window->preview().aboveOthers();
    }
};

}  // namespace

TEST_F(DialogsAbovePreviewTest, ThePreviewGivesWayWhileAnyDialogIsOpen) {
    MainWindow& w = start();
    ASSERT_TRUE(previewOnTop());

    w.transport().button(8)->click();  // Add
    ASSERT_NE(AddScheduleDialog::current(), nullptr);
    EXPECT_FALSE(previewOnTop());
    // The main window moving re-docks the preview; it still stays below.
    w.move(w.pos() + QPoint(10, 10));
    EXPECT_FALSE(previewOnTop());
    AddScheduleDialog::current()->close();
    EXPECT_TRUE(previewOnTop());

    w.about_Click();
    EXPECT_FALSE(previewOnTop());
    // Two at once: the preview waits for the last.
    QtMessageBoxes boxes{QtMessageBoxes::Output::Windows};
    boxes.setOwnerWindow(&w);
    boxes.notify("Error creating file", "The folder cannot be made", MessageBoxes::Icon::Critical);
    QMessageBox* notice = boxes.openNotice("Error creating file");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->parentWidget(), &w);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmAbout") top->close();
    EXPECT_FALSE(previewOnTop());
    notice->close();
    EXPECT_TRUE(previewOnTop());
}

TEST_F(DialogsAbovePreviewTest, AConfirmationBelongsToTheMainWindowNotThePreview) {
    MainWindow& w = start();
    QtMessageBoxes boxes{QtMessageBoxes::Output::Windows};
    boxes.setOwnerWindow(&w);
    w.preview().activateWindow();
    QWidget* parentSeen = nullptr;
    bool previewGaveWay = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible()) continue;
            parentSeen = box->parentWidget();
            previewGaveWay = !w.preview().aboveOthers();
            box->button(QMessageBox::Cancel)->click();
        }
    });
    const auto answer = boxes.show("Delete Confirmation", "Delete?", MessageBoxes::Icon::Question,
                                   MessageBoxes::Buttons::OkCancel);
    EXPECT_EQ(answer, MessageBoxes::Answer::Cancel);
    EXPECT_EQ(parentSeen, &w);
    EXPECT_TRUE(previewGaveWay);
    EXPECT_TRUE(previewOnTop());
}
