#pragma once

#include <chrono>
#include <string>

namespace kelbo {

// An exclusive advisory lock on "<file>.lock", held for the lifetime of the
// object. The recorder's rewrite and the guide add-in's append both take it,
// so neither sees the other's half-done change. The lock file is the user's
// own (mode 0600): a lock file another user made, or none at all (a
// read-only folder), leaves the work to go ahead unlocked, so no one else
// can hold the recorder up.
class FileLock {
public:
    // Waits at most `patience` for another holder to let go: none for the
    // recorder, which must never stop its event loop, a few seconds for the
    // add-in.
    explicit FileLock(const std::string& file,
                      std::chrono::milliseconds patience = std::chrono::milliseconds(0));
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return fd_ >= 0; }
    // Another process of the user holds the lock: the work must wait.
    bool busy() const { return busy_; }
    static std::string lockPathFor(const std::string& file) { return file + ".lock"; }

private:
    int fd_ = -1;
    bool busy_ = false;
};

}  // namespace kelbo
