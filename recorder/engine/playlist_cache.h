#pragma once

#include "common/channel_playlist.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace kelbo {

// The channel playlist as last read. It is read on a thread of its own, so
// that a large or slow file never holds up the window, and read again only
// when the file's modification time or size changes (a playlist of many
// megabytes is not read at every tick a missing channel is looked for).
class PlaylistCache {
public:
    struct Result {
        enum class State { Ready, Reading, Unreadable };
        State state = State::Reading;
        std::shared_ptr<const std::vector<PlaylistEntry>> entries;  // when ready
        std::string why;                                            // when unreadable
    };

    PlaylistCache() = default;
    ~PlaylistCache();
    PlaylistCache(const PlaylistCache&) = delete;
    PlaylistCache& operator=(const PlaylistCache&) = delete;

    // The entries of the file at `path` as it is now, waiting at most `wait`
    // for a read in progress; Reading when that is not enough.
    Result get(const std::string& path, std::chrono::milliseconds wait);

private:
    struct Version {
        std::string path;
        long long mtimeNs = 0;
        long long size = 0;
        unsigned long long inode = 0;
        bool operator==(const Version&) const = default;
    };
    struct Read;  // shared with the reading thread

    Version cachedVersion_;
    Result cached_;
    bool haveCached_ = false;
    std::shared_ptr<Read> reading_;
};

}  // namespace kelbo
