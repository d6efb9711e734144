#include "tuner_messages.h"

#include "recorder/ports/translation.h"

#include <string>

namespace kelbo {

std::string TunerMessages::titled(const std::string& title) const {
    if (tunerCount_() <= 1) return title;
    return fillIn(translate("TunerMessages", "%1 (tuner %2)"), {title, std::to_string(tuner_)});
}

MessageBoxes::Answer TunerMessages::show(const std::string& title, const std::string& text, Icon icon,
                                         Buttons buttons) {
    return boxes_.show(titled(title), text, icon, buttons);
}

void TunerMessages::notify(const std::string& title, const std::string& text, Icon icon) {
    boxes_.notify(titled(title), text, icon);
}

void TunerMessages::announce(const Announcement& news) {
    Announcement named = news;
    named.title = titled(news.title);
    boxes_.announce(named);
}

}  // namespace kelbo
