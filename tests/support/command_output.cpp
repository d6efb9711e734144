#include "command_output.h"

#include <array>
#include <cstdio>

namespace kelbo::testing {

std::string commandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
    ::pclose(pipe);
    return out;
}

}  // namespace kelbo::testing
