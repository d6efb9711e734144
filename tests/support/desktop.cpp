#include "desktop.h"

#include "command_output.h"

#include <chrono>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace kelbo::testing {

Desktop::Desktop(const std::string& screen) {
    // Another X server starting at the same moment (a second test run, a
    // screenshot) may take the display number Xvfb chose: try again afresh.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (start(screen)) return;
        openbox_.stop(SIGTERM, std::chrono::seconds(5));
        xvfb_.stop(SIGTERM, std::chrono::seconds(5));
        display_.clear();
    }
}

bool Desktop::start(const std::string& screen) {
    using namespace std::chrono_literals;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    ::fcntl(ends[1], F_SETFD, 0);  // Xvfb writes its display number here
    xvfb_ = BackgroundProgram("/usr/bin/Xvfb",
                              {"-displayfd", std::to_string(ends[1]), "-screen", "0", screen,
                               "-nolisten", "tcp"},
                              {});
    ::close(ends[1]);
    std::string number;
    pollfd fd{ends[0], POLLIN, 0};
    char c;
    while (::poll(&fd, 1, 10000) > 0 && ::read(ends[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(ends[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    openbox_ = BackgroundProgram("/usr/bin/openbox", {}, {{"DISPLAY", display_}});
    for (int i = 0; i < 50 && !managed(); ++i) std::this_thread::sleep_for(100ms);
    if (!managed()) return false;
    std::this_thread::sleep_for(200ms);  // let it finish taking over
    return true;
}

Desktop::~Desktop() {
    openbox_.stop(SIGTERM, std::chrono::seconds(5));
    xvfb_.stop(SIGTERM, std::chrono::seconds(5));
}

bool Desktop::managed() const {
    if (display_.empty()) return false;
    const std::string desktops = xdotool("get_num_desktops");
    return !desktops.empty() && desktops[0] != '0';
}

std::string Desktop::xdotool(const std::string& args) const {
    return commandOutput("DISPLAY=" + display_ + " xdotool " + args + " 2>/dev/null");
}

std::string Desktop::windowsNamed(const std::string& title) const {
    return xdotool("search --onlyvisible --name '^" + title + "$'");
}

}  // namespace kelbo::testing
