#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kelbo::bench {

// The head end of bench/record_cost on loopback: `channels` channels, each
// `clip` played live, at the URLs urls() gives (empty when it did not come
// up). Stopped when this goes.
class HeadEndChannels {
public:
    HeadEndChannels(const std::filesystem::path& work, const std::filesystem::path& clip, int channels);
    ~HeadEndChannels();
    HeadEndChannels(const HeadEndChannels&) = delete;
    HeadEndChannels& operator=(const HeadEndChannels&) = delete;

    const std::vector<std::string>& urls() const { return urls_; }

private:
    pid_t pid_ = -1;
    std::vector<std::string> urls_;
};

}  // namespace kelbo::bench
