#include "copy_check.h"

#include <algorithm>

namespace kelbo::testing {

namespace {

std::vector<std::string> hashes(const std::vector<PacketPrint>& packets, bool video) {
    std::vector<std::string> out;
    for (const auto& p : packets)
        if (p.video == video) out.push_back(p.hash);
    return out;
}

// Where `run` lies whole in `source`, from the first place that fits; npos when nowhere.
std::size_t findRun(const std::vector<std::string>& run, const std::vector<std::string>& source) {
    if (run.empty() || run.size() > source.size()) return std::string::npos;
    for (std::size_t at = 0; at + run.size() <= source.size(); ++at)
        if (std::equal(run.begin(), run.end(), source.begin() + static_cast<std::ptrdiff_t>(at))) return at;
    return std::string::npos;
}

}  // namespace

CopyCheck compareWithSource(const std::vector<PacketPrint>& recorded, const std::vector<PacketPrint>& source) {
    CopyCheck check;
    const auto pictures = hashes(recorded, true), sounds = hashes(recorded, false);
    check.pictures = pictures.size();
    check.sounds = sounds.size();
    if (pictures.empty()) {
        check.problem = "no pictures";
        return check;
    }
    const auto firstVideo = std::find_if(recorded.begin(), recorded.end(), [](const auto& p) { return p.video; });
    if (!firstVideo->key) check.problem = "the first picture is not a key picture; ";
    const std::size_t at = findRun(pictures, hashes(source, true));
    if (at == std::string::npos) {
        check.problem += "the pictures are not an unbroken run of the source's";
        return check;
    }
    check.firstPicture = at;
    if (!sounds.empty() && findRun(sounds, hashes(source, false)) == std::string::npos)
        check.problem += "the sound packets are not an unbroken run of the source's";
    return check;
}

std::vector<PacketPrint> packetPrintsOf(const std::vector<std::filesystem::path>& files) {
    std::vector<PacketPrint> all;
    for (const auto& file : files) {
        const auto prints = packetPrints(file);
        all.insert(all.end(), prints.begin(), prints.end());
    }
    return all;
}

}  // namespace kelbo::testing
