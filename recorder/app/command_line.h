#pragma once

#include "remote_commands.h"

#include <ostream>
#include <string>
#include <vector>

namespace kelbo::app {

// What the program's arguments ask for, read before anything else starts:
// a refused command line writes no settings, opens no window and reaches
// no running recorder.
//
// Besides its own options the program takes Qt's -platform NAME,
// -platformtheme NAME, -style NAME (or -style=NAME), -display DISPLAY,
// -session ID and -reverse, each also with two dashes; QApplication reads
// them. Any other argument is refused.
struct CommandLine {
    enum class Action {
        StartRecorder,  // no option of the program's own
        Help,           // "--help" or "-h" anywhere
        Version,
        Command,        // a command to the running recorder: `request`
        Refuse,         // `problem` says what is wrong
    };
    Action action = Action::StartRecorder;
    RemoteRequest request;
    std::string problem;
};

CommandLine readCommandLine(const std::vector<std::string>& arguments);

// Answers Help and Version on `out` (status 0) and Refuse on `err`, with
// the usage (status 2).
int answerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace kelbo::app
