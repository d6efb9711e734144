#pragma once

#include "recorder/ports/message_boxes.h"

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
        bool notice = false;  // raised by the recorder itself, not waited on
    };

    Answer show(const std::string& title, const std::string& text, Icon icon,
                Buttons buttons) override {
        shown.push_back({title, text, icon, buttons});
        return answer;
    }
    void notify(const std::string& title, const std::string& text, Icon icon) override {
        shown.push_back({title, text, icon, Buttons::Ok, true});
    }

    void announce(const Announcement& news) override { announced.push_back(news); }

    std::vector<Shown> shown;
    // The titles of the boxes shown, in order.
    std::vector<std::string> titles() const {
        std::vector<std::string> all;
        for (const auto& box : shown) all.push_back(box.title);
        return all;
    }
    // The desktop notifications, apart: they never interrupt anyone.
    std::vector<Announcement> announced;
    Answer answer = Answer::Ok;
};

}  // namespace kelbo::testing
