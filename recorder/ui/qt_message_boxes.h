#pragma once

#include "recorder/core/message_boxes.h"

class QWidget;

namespace kelbo::ui {

// Message boxes as modal QMessageBoxes over the active window. Without a
// screen (the offscreen platform) nobody could answer, so the message goes
// to standard error and counts as answered with OK.
class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(const std::string& title, const std::string& text, Icon icon,
                Buttons buttons) override;
};

}  // namespace kelbo::ui
