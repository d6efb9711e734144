#pragma once

#include <string>

namespace kelbo {

// What the Options dialog's window does for its form. The window reads
// every field back from the form on refresh().
class OptionsView {
public:
    virtual ~OptionsView() = default;
    virtual void showDialog() = 0;
    virtual void hideDialog() = 0;
    // Shows the form's fields as they stand now.
    virtual void refresh() = 0;
    // Puts the input focus into the control with this object name.
    virtual void focusControl(const std::string& objectName) = 0;
};

// What the Options dialog needs of the main window.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;
    // Load_Schedule, Display_Schedule, Find_Next_Schedule.
    virtual void reloadSchedule() = 0;
    // Example_FileName for list row 1 with the live file-name pattern.
    virtual std::string exampleFileName() = 0;
};

}  // namespace kelbo
