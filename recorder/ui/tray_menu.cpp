#include "tray_menu.h"

namespace kelbo::ui {

TrayMenu::TrayMenu(QWidget* parent) : QMenu(parent) {
    setObjectName("TrayMenu");
    showHide_ = addAction("Hide Kelbo", this, &TrayMenu::showHideRequested);
    showHide_->setObjectName("TrayShowHide");
    stop_ = addAction("Stop Recording", this, &TrayMenu::stopRequested);
    stop_->setObjectName("TrayStopRecording");
    stop_->setEnabled(false);
    addSeparator();
    quit_ = addAction("Quit", this, &TrayMenu::quitRequested);
    quit_->setObjectName("TrayQuit");
    connect(this, &QMenu::aboutToShow, this, &TrayMenu::refresh);
}

void TrayMenu::setRecording(bool recording) { stop_->setEnabled(recording); }

void TrayMenu::refresh() {
    const bool shown = windowShown_ && windowShown_();
    showHide_->setText(shown ? "Hide Kelbo" : "Show Kelbo");
}

}  // namespace kelbo::ui
