#pragma once

#include <string>

namespace kelbo::testing {

// What a shell command writes to standard output.
std::string commandOutput(const std::string& command);

}  // namespace kelbo::testing
