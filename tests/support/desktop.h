#pragma once

#include "program_process.h"

#include <string>

namespace kelbo::testing {

// A real desktop for a test: Xvfb on a display number it chooses itself (so
// parallel runs never meet) with openbox managing its windows. Both end
// with the object.
class Desktop {
public:
    // `screen` as Xvfb takes it: width x height x depth.
    explicit Desktop(const std::string& screen = "1280x800x24");
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Empty when Xvfb did not start.
    const std::string& display() const { return display_; }
    // The window manager has taken over once it announces its desktops.
    bool managed() const;
    // xdotool's output for `args` on this display.
    std::string xdotool(const std::string& args) const;
    // Ids of the visible windows whose title matches exactly.
    std::string windowsNamed(const std::string& title) const;

private:
    bool start(const std::string& screen);

    BackgroundProgram xvfb_;
    BackgroundProgram openbox_;
    std::string display_;
};

}  // namespace kelbo::testing
