#include "about_options.h"

#include <algorithm>

namespace kelbo::app {

namespace {

constexpr const char* kUsage =
    "Usage: kelbo [OPTION]\n"
    "A personal video recorder: records the programmes of its schedule file on time.\n"
    "Without an option it starts the recorder (offscreen when there is no display);\n"
    "a second start brings the running recorder forward.\n"
    "\n"
    "Commands to the running recorder:\n"
    "  --status [--json]   print what the status bar shows\n"
    "  --stop-recording    stop the recording, as the stop button\n"
    "  --reload            reload the schedule file (not while recording)\n"
    "\n"
    "  -h, --help          print this help and exit\n"
    "      --version       print the version and exit\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/kelbo/registry.ini (default ~/.config/kelbo/registry.ini)\n"
    "Log:      $XDG_STATE_HOME/kelbo/kelbo.log (default ~/.local/state/kelbo/kelbo.log)\n";

}  // namespace

std::optional<int> answerAboutOptions(const std::vector<std::string>& arguments, std::ostream& out) {
    const auto given = [&](const char* option) {
        return std::find(arguments.begin(), arguments.end(), option) != arguments.end();
    };
    if (given("--help") || given("-h")) {
        out << kUsage;
        return 0;
    }
    if (given("--version")) {
        out << "kelbo " << KELBO_VERSION << '\n';
        return 0;
    }
    return std::nullopt;
}

}  // namespace kelbo::app
