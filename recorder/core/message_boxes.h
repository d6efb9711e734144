#pragma once

#include <string>

namespace kelbo {

// Every message box and confirmation of the recorder goes through this
// interface, so tests can see and answer them.
class MessageBoxes {
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const std::string& title, const std::string& text, Icon icon,
                        Buttons buttons) = 0;
};

}  // namespace kelbo
