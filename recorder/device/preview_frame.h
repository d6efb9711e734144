#pragma once

#include <cstdint>
#include <vector>

namespace kelbo {

// One preview picture, ready to paint as it is: 32-bit pixels 0xffRRGGBB
// in the machine's byte order (Qt's Format_RGB32), rows `stride` bytes
// apart.
struct PreviewFrame {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> pixels;
};

}  // namespace kelbo
