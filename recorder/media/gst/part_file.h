#pragma once

#include "device_failure.h"

#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>

struct AVIOContext;

namespace kelbo {

// A part file the device writes. It is always a file of its own making:
// created new (never through a link, never a file that exists already),
// written by FFmpeg through its own descriptor, and removed only while its
// name still leads to it. So a part that finishes late, on the encoder's
// thread, can never remove or truncate the file a retried start or the next
// part has made under the same name meanwhile.
class PartFile {
public:
    // Nothing, with `failure` set, when the file cannot be made. A regular
    // file of the user's own that no part of this process is writing is
    // replaced, as writing a file over would; a link, another user's file or
    // a file another part is writing is not.
    static std::unique_ptr<PartFile> create(const std::string& path, DeviceFailure* failure);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    const std::string& path() const { return path_; }
    // FFmpeg's output over the descriptor; null once closed. Give it to a
    // muxer with AVFMT_FLAG_CUSTOM_IO set.
    AVIOContext* io() const { return io_; }
    // What becomes of the file as it closes.
    enum class Removal { Keep, IfEmpty, Always };
    // Flushes and closes the file, first removing it as `removal` says (while
    // it is still open, so its name cannot lead to a newer file that took
    // over its inode): 0, or FFmpeg's code of the first write or close that
    // failed (a full disk shows here at the latest).
    int close(Removal removal = Removal::Keep);
    bool removed() const { return removed_; }

private:
    PartFile(std::string path, int descriptor, dev_t device, ino_t inode);
    static int write(void* opaque, std::uint8_t* data, int size);
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence);

    std::string path_;
    int fd_ = -1;
    dev_t device_;
    ino_t inode_;
    AVIOContext* io_ = nullptr;
    int firstError_ = 0;
    bool removed_ = false;
};

}  // namespace kelbo
