#pragma once

#include "common/clock.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace kelbo::tool {

struct Invocation {
    std::string command;            // list, check or rewrite
    bool json = false;
    std::optional<std::string> file;  // else the ScheduleFile setting
};

int listSchedule(const Invocation& args, const Clock& clock, std::ostream& out, std::ostream& err);
int checkSchedule(const Invocation& args, const Clock& clock, std::ostream& out, std::ostream& err);
int rewriteSchedule(const Invocation& args, const Clock& clock, std::ostream& err);

}  // namespace kelbo::tool
