#pragma once

#include <string>

namespace kelbo::log {

// What the recorder did, with the time: starts, splits, finishes, stops,
// failures with their reasons, reloads and rewrites. Safe from any thread.
void info(const std::string& message);
void warn(const std::string& message);
void error(const std::string& message);

}  // namespace kelbo::log
