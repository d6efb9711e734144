#pragma once

#include "recorder/ports/ui_ports.h"

#include <string>

namespace kelbo {

// The main window's Status and Progress properties.
class StatusDisplay {
public:
    explicit StatusDisplay(StatusBarPort& bar) : bar_(bar) {}

    const std::string& Status() const { return status_; }
    void setStatus(const std::string& text);
    // `text` as read back, `shown` in the user's language.
    void setStatus(const std::string& text, const std::string& shown);

    int Progress() const { return progress_; }
    // 0 hides the bar, 1 to 100 shows it; other values are ignored.
    void setProgress(int value);

    // The programme panel's idle text, the counter and split panels hidden:
    // shown as each choice of the next programme begins.
    void showNothingToRecord();

private:
    StatusBarPort& bar_;
    std::string status_;
    int progress_ = 0;
};

}  // namespace kelbo
