#include "command_line.h"

#include "command_request.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace kelbo::app {

namespace {

constexpr const char* kUsage =
    "Usage: kelbo [OPTION]\n"
    "A personal video recorder: records the programmes of its schedule file on time.\n"
    "Without an option it starts the recorder (offscreen when there is no display);\n"
    "a second start brings the running recorder forward and ends at once.\n"
    "\n"
    "Commands to the running recorder:\n"
    "  --status [--json]   print what the status bar shows\n"
    "  --stop-recording [ID]\n"
    "                      stop every recording, as the stop button; with ID (the\n"
    "                      id of --status --json) only that programme's recording\n"
    "  --reload            reload the schedule file (not while recording)\n"
    "\n"
    "  -h, --help          print this help and exit\n"
    "      --version       print the version and exit\n"
    "\n"
    "Qt's -platform NAME, -platformtheme NAME, -style NAME, -display DISPLAY,\n"
    "-session ID and -reverse are passed to Qt; any other argument is refused\n"
    "(exit status 2).\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/kelbo/registry.ini (default ~/.config/kelbo/registry.ini)\n"
    "Log:      $XDG_STATE_HOME/kelbo/kelbo.log (default ~/.local/state/kelbo/kelbo.log)\n";

// Qt's options as QApplication reads them: one or two dashes.
std::string_view withoutQtDash(std::string_view argument) {
    if (argument.rfind("--", 0) == 0) argument.remove_prefix(1);
    return argument;
}

bool isQtOptionWithValue(std::string_view argument) {
    static constexpr std::array<std::string_view, 5> names = {"-platform", "-platformtheme", "-style",
                                                              "-display", "-session"};
    return std::find(names.begin(), names.end(), withoutQtDash(argument)) != names.end();
}

bool isQtFlag(std::string_view argument) {
    const std::string_view option = withoutQtDash(argument);
    return option == "-reverse" || (option.rfind("-style=", 0) == 0 && option.size() > 7);
}

CommandLine refuse(std::string problem) {
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.problem = std::move(problem);
    return line;
}

}  // namespace

CommandLine readCommandLine(const std::vector<std::string>& arguments) {
    if (std::any_of(arguments.begin(), arguments.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; }))
        return {CommandLine::Action::Help, {}, {}};

    std::vector<std::string> own;  // the program's own options, in order
    std::optional<ProgrammeId> programme;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (isQtOptionWithValue(argument)) {
            if (++i == arguments.size()) return refuse(argument + " needs a value");
            continue;
        }
        if (isQtFlag(argument)) continue;
        if (argument == "--status" || argument == "--stop-recording" || argument == "--reload" ||
            argument == "--json" || argument == "--version") {
            if (std::find(own.begin(), own.end(), argument) != own.end())
                return refuse(argument + " is given twice");
            own.push_back(argument);
            // The stop of one recording: the programme's id follows.
            if (argument == "--stop-recording" && i + 1 < arguments.size() && !arguments[i + 1].empty() &&
                arguments[i + 1][0] != '-') {
                programme = readProgrammeId(arguments[++i]);
                if (!programme) return refuse("--stop-recording takes a programme id, not " + arguments[i]);
            }
            continue;
        }
        if (!argument.empty() && argument[0] == '-') return refuse("unknown option " + argument);
        return refuse("unexpected argument " + argument);
    }

    const bool json = std::erase(own, "--json") > 0;
    if (own.empty()) {
        if (json) return refuse("--json goes with --status");
        return {};
    }
    if (own.size() > 1) return refuse(own[0] + " and " + own[1] + " cannot be given together");
    if (own[0] == "--version") {
        if (json) return refuse("--json goes with --status");
        return {CommandLine::Action::Version, {}, {}};
    }
    if (json && own[0] != "--status") return refuse("--json goes with --status");
    CommandLine line;
    line.action = CommandLine::Action::Command;
    line.request.command = own[0].substr(2);
    line.request.json = json;
    line.request.programme = programme;
    return line;
}

int answerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err) {
    switch (line.action) {
    case CommandLine::Action::Help:
        out << kUsage;
        return 0;
    case CommandLine::Action::Version:
        out << "kelbo " << KELBO_VERSION << '\n';
        return 0;
    case CommandLine::Action::Refuse:
        err << "kelbo: " << line.problem << '\n' << kUsage;
        return 2;
    case CommandLine::Action::StartRecorder:
    case CommandLine::Action::Command:
        break;
    }
    return 0;
}

}  // namespace kelbo::app
