#include "status_display.h"

#include "recorder/ports/translation.h"

namespace kelbo {

void StatusDisplay::setStatus(const std::string& text) {
    status_ = text;
    bar_.setPanelText(panel::kStatus, text);
}

void StatusDisplay::setStatus(const std::string& text, const std::string& shown) {
    status_ = text;
    bar_.showPanelText(panel::kStatus, text, shown);
}

void StatusDisplay::setProgress(int value) {
    if (value < 0 || value > 100) return;
    ProgressBarView& bar = bar_.progressBar();
    if (value == 0) {
        bar_.setPanelVisible(panel::kProgress, false);
    } else {
        bar.setTextOnly(false);
        if (!bar_.panelVisible(panel::kProgress)) bar_.setPanelVisible(panel::kProgress, true);
    }
    progress_ = value;
    bar.setValue(value);
}

void StatusDisplay::showNothingToRecord() {
    bar_.setPanelText(panel::kProgramme, KELBO_TRANSLATE_NOOP("StatusPanel", "NO PROGRAMS TO RECORD"));
    bar_.setPanelVisible(panel::kCounter, false);
    bar_.setPanelVisible(panel::kSplit, false);
}

}  // namespace kelbo
