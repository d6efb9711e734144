#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kelbo {

struct WriteOutcome {
    bool ok = false;
    std::string error;  // the reason, in words, when !ok
    // Not written because the file was no longer as it was read (the
    // check given to commit()); the old file stays, the new one is gone.
    bool targetMoved = false;
};

// Writes a new version of a file beside it, piece by piece, flushes it to
// disk and renames it over the target on commit(). Until then, and on any
// failure, the old file stays as it was; a writer never committed removes
// its temporary file. The file is the user's alone (0600): the schedule and
// the settings may hold stream addresses with a user and password, so a
// rewrite keeps no more of an existing file's permissions than that. A
// symbolic link keeps pointing at the (replaced) file it names, when it may
// be followed (see resolveOwnLinks).
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::filesystem::path& target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False once anything has failed; the reason is kept for commit().
    bool write(std::string_view data);
    // `stillAsRead`, when given, is asked last before the rename: false
    // when the old file changed since its writer read it, and the rename
    // would lose that change.
    WriteOutcome commit(const std::function<bool()>& stillAsRead = {});

private:
    bool flush();
    void fail(const std::string& what, int err);

    std::filesystem::path target_;
    std::string temp_;
    int fd_ = -1;
    std::string buffer_;
    WriteOutcome outcome_{true, {}};
};

// Removes the user's own temporary files of `target` (".name.XXXXXX" beside
// it) that a rewrite killed half-way left behind more than an hour ago.
// Returns how many went.
int removeStaleTemporaries(const std::filesystem::path& target);

// The whole of `content` through an AtomicFileWriter.
WriteOutcome writeFileAtomically(const std::filesystem::path& target, std::string_view content);

}  // namespace kelbo
