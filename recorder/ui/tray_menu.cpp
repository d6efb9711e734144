#include "tray_menu.h"

namespace kelbo::ui {

TrayMenu::TrayMenu(QWidget* parent) : QMenu(parent) {
    setObjectName("TrayMenu");
    showHide_ = addAction(tr("Hide Kelbo"), this, &TrayMenu::showHideRequested);
    showHide_->setObjectName("TrayShowHide");
    stop_ = addAction(tr("Stop Recording"), this, &TrayMenu::stopRequested);
    stop_->setObjectName("TrayStopRecording");
    stop_->setEnabled(false);
    addSeparator();
    quit_ = addAction(tr("Quit"), this, &TrayMenu::quitRequested);
    quit_->setObjectName("TrayQuit");
    connect(this, &QMenu::aboutToShow, this, &TrayMenu::refresh);
}

void TrayMenu::setRecording(bool recording) { stop_->setEnabled(recording); }

void TrayMenu::refresh() {
    const bool shown = windowShown_ && windowShown_();
    showHide_->setText(shown ? tr("Hide Kelbo") : tr("Show Kelbo"));
}

}  // namespace kelbo::ui
