// kelbo-schedule: the schedule file as the recorder sees it, for people who
// edit or generate schedule files and for scripts.
#include "commands.h"

#include <iostream>
#include <memory>

namespace {

const char kUsage[] =
    "usage: kelbo-schedule list [--json] [--now \"DD-MM-YYYY HH:MM:SS\"] [FILE]\n"
    "       kelbo-schedule check [--now \"DD-MM-YYYY HH:MM:SS\"] [FILE]\n"
    "       kelbo-schedule rewrite [--now \"DD-MM-YYYY HH:MM:SS\"] [FILE]\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

int help() {
    std::cout << kUsage;
    return 0;
}

bool isHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

int main(int argc, char** argv) {
    using namespace kelbo;
    if (argc < 2) return usage();
    tool::Invocation args;
    args.command = argv[1];
    if (isHelp(args.command)) return help();
    if (args.command != "list" && args.command != "check" && args.command != "rewrite")
        return usage();

    std::unique_ptr<Clock> clock = std::make_unique<SystemClock>();
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (isHelp(arg)) return help();
        if (arg == "--json" && args.command == "list") {
            args.json = true;
        } else if (arg == "--now") {
            if (++i >= argc) return usage();
            const auto at = DateTime::parseDateTime(argv[i]);
            if (!at) return usage();
            clock = std::make_unique<FixedClock>(toInstant(*at));
        } else if (args.file || (!arg.empty() && arg[0] == '-' && arg != "-")) {
            // An unknown option, or a second file.
            return usage();
        } else {
            args.file = arg;
        }
    }
    if (args.command == "list") return tool::listSchedule(args, *clock, std::cout, std::cerr);
    if (args.command == "check") return tool::checkSchedule(args, *clock, std::cout, std::cerr);
    return tool::rewriteSchedule(args, *clock, std::cerr);
}
