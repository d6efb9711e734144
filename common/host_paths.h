#pragma once

#include <string>
#include <string_view>

namespace kelbo {

// Stored paths and patterns may separate folders with "\" or "/", and may
// begin with a drive such as "C:", which stands for the user's home folder.
// This gives the path the host file system understands.
std::string toHostPath(std::string_view stored);

bool isPathSeparator(char c);

// Length of the root part of a stored path: 3 for "C:\", 2 for "C:", 1 for
// "/" or "\", 0 for a relative path.
size_t rootLength(std::string_view stored);

}  // namespace kelbo
