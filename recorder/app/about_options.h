#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kelbo::app {

// "--help" (or "-h") and "--version": answered on `out` before anything
// else starts, so they need no display and no settings. The exit status
// when one of them was given; none otherwise.
std::optional<int> answerAboutOptions(const std::vector<std::string>& arguments, std::ostream& out);

}  // namespace kelbo::app
