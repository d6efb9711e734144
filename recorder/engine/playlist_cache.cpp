#include "playlist_cache.h"

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include <sys/stat.h>

namespace kelbo {

struct PlaylistCache::Read {
    Version version;
    std::mutex mutex;
    std::condition_variable done;
    std::optional<Result> result;
};

PlaylistCache::~PlaylistCache() = default;  // a read still going ends on its own

PlaylistCache::Result PlaylistCache::get(const std::string& path, std::chrono::milliseconds wait) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        Result failed;
        failed.state = Result::State::Unreadable;
        failed.why = std::strerror(errno);
        return failed;
    }
    const Version now{path, static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                      static_cast<long long>(st.st_size), static_cast<unsigned long long>(st.st_ino)};
    if (haveCached_ && cachedVersion_ == now) return cached_;

    if (!reading_ || !(reading_->version == now)) {
        // An earlier read of another version is left to end by itself.
        reading_ = std::make_shared<Read>();
        reading_->version = now;
        std::thread([read = reading_] {
            Result result;
            std::string why;
            if (auto entries = readM3uFile(read->version.path, &why)) {
                result.state = Result::State::Ready;
                result.entries = std::make_shared<const std::vector<PlaylistEntry>>(std::move(*entries));
            } else {
                result.state = Result::State::Unreadable;
                result.why = why;
            }
            std::lock_guard lock(read->mutex);
            read->result = std::move(result);
            read->done.notify_all();
        }).detach();
    }
    std::unique_lock lock(reading_->mutex);
    if (!reading_->done.wait_for(lock, wait, [this] { return reading_->result.has_value(); })) return {};
    cached_ = std::move(*reading_->result);
    cachedVersion_ = reading_->version;
    haveCached_ = true;
    lock.unlock();
    reading_.reset();
    return cached_;
}

}  // namespace kelbo
