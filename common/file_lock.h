#pragma once

#include <string>

namespace kelbo {

// An exclusive advisory lock on "<file>.lock", held for the lifetime of the
// object. The recorder's rewrite and the guide add-in's append both take it,
// so neither sees the other's half-done change. When the lock file cannot
// be made (a read-only folder) the work goes ahead unlocked.
class FileLock {
public:
    explicit FileLock(const std::string& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return fd_ >= 0; }
    static std::string lockPathFor(const std::string& file) { return file + ".lock"; }

private:
    int fd_ = -1;
};

}  // namespace kelbo
