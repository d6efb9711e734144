#pragma once

#include "media/media_probe.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace kelbo::testing {

// How a copied recording compares with what the server sent.
struct CopyCheck {
    std::string problem;            // empty when the recording is a whole run of the source
    std::size_t firstPicture = 0;   // the source's index of the recording's first picture
    std::size_t pictures = 0;
    std::size_t sounds = 0;
};

// Whether `recorded` (the packets of one or more part files, in order)
// holds an unbroken run of the source's packets: from a key picture on,
// every picture and every sound packet, byte for byte, none twice, none
// left out, in order.
CopyCheck compareWithSource(const std::vector<PacketPrint>& recorded, const std::vector<PacketPrint>& source);

// The packets of several files, one after the other.
std::vector<PacketPrint> packetPrintsOf(const std::vector<std::filesystem::path>& files);

}  // namespace kelbo::testing
