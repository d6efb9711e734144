#pragma once

#include <filesystem>
#include <string>

namespace kelbo::testing {

// A folder that takes no new file and no rename while this lives, even for
// root, who ignores permissions: root gets the file system's immutable
// attribute, anyone else a folder without write permission. Files already
// open in it go on being written.
class UnwritableFolder {
public:
    explicit UnwritableFolder(std::filesystem::path folder);
    ~UnwritableFolder() { release(); }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

    // False when the folder could not be made unwritable here; why() says why.
    bool applied() const { return applied_; }
    const std::string& why() const { return why_; }
    // What the system answers to a new file in the folder ("Operation not
    // permitted"), learnt by trying.
    const std::string& reason() const { return reason_; }
    // The folder takes files again.
    void release();

private:
    std::filesystem::path folder_;
    bool applied_ = false;
    bool immutable_ = false;
    std::string why_, reason_;
};

}  // namespace kelbo::testing
