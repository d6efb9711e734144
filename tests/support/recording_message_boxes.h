#pragma once

#include "recorder/core/message_boxes.h"

#include <string>
#include <vector>

namespace kelbo::testing {

// Remembers every message box shown and answers with `answer`.
class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string title, text;
        Icon icon;
        Buttons buttons;
    };

    Answer show(const std::string& title, const std::string& text, Icon icon,
                Buttons buttons) override {
        shown.push_back({title, text, icon, buttons});
        return answer;
    }

    std::vector<Shown> shown;
    Answer answer = Answer::Ok;
};

}  // namespace kelbo::testing
