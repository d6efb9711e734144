#pragma once

#include <cstdint>
#include <vector>

namespace kelbo {

// One small preview picture: 8-bit RGB rows, `stride` bytes apart.
struct PreviewFrame {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> rgb;
};

}  // namespace kelbo
