#pragma once

#include <filesystem>
#include <string>

namespace kelbo::testing {

// A small file system of its own on `folder` (a tmpfs of `size`, "64m"),
// so that a disk can really fill up; unmounted when this goes. Mounting
// needs root.
class SmallDisk {
public:
    SmallDisk(const std::filesystem::path& folder, const std::string& size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    std::string why() const;

    // Writes to `file` until the file system refuses.
    void fill(const std::filesystem::path& file) const;

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    int error_ = 0;
};

}  // namespace kelbo::testing
