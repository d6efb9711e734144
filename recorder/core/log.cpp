#include "log.h"

#include <iostream>
#include <unistd.h>

namespace kelbo::log {

namespace {
void write(const char* level, const std::string& message) {
    if (isatty(STDERR_FILENO)) std::clog << "kelbo [" << level << "] " << message << '\n';
}
}  // namespace

void info(const std::string& message) { write("info", message); }
void warn(const std::string& message) { write("warning", message); }
void error(const std::string& message) { write("error", message); }

}  // namespace kelbo::log
