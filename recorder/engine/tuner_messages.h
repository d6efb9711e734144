#pragma once

#include "recorder/ports/message_boxes.h"

#include <functional>

namespace kelbo {

// The boxes and notices as one tuner's recording raises them: with more
// than one tuner their titles name the tuner, "Recording started (tuner 2)".
class TunerMessages : public MessageBoxes {
public:
    TunerMessages(MessageBoxes& boxes, int tuner, std::function<int()> tunerCount)
        : boxes_(boxes), tuner_(tuner), tunerCount_(std::move(tunerCount)) {}

    Answer show(const std::string& title, const std::string& text, Icon icon, Buttons buttons) override;
    void notify(const std::string& title, const std::string& text, Icon icon) override;
    void announce(const Announcement& news) override;

private:
    std::string titled(const std::string& title) const;

    MessageBoxes& boxes_;
    int tuner_;
    std::function<int()> tunerCount_;
};

}  // namespace kelbo
