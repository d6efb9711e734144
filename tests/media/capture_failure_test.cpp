// Writing that fails during a recording, and starts that never recorded:
// the part ends, the device says why, and no empty file is left behind.
#include "capture_device_fixture.h"
#include "support/unwritable_folder.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

// Files this process writes may grow only to `bytes`; beyond that a write
// fails with "File too large", as one fails on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    return files;
}

}  // namespace

TEST_F(CaptureDeviceTest, AWriteErrorEndsThePartSaysWhyAndKeepsWhatWasWritten) {
    const fs::path movies = dir / "movies";
    fs::create_directories(movies);
    const fs::path file = movies / "full.mpg";
    device->StartPreview();
    {
        FileSizeLimit limit(1'000'000);
        device->setCaptureLimit(0);
        device->setCaptureElapsed(0);
        device->StartCapture(file.string());
        ASSERT_TRUE(waitFor([&] { return recording(); })) << device->lastError();
        ASSERT_TRUE(waitFor([&] { return !recording(); }, 10s)) << "still recording";
        // Whoever sees the recording end already finds the reason.
        EXPECT_EQ(device->lastError(), "Cannot write " + movies.string() + ": File too large");
        EXPECT_EQ(device->lastFault(), DeviceFault::Folder) << "a file too big for its file system is no full disk";
        ASSERT_TRUE(waitFor([&] { return device->openFiles() == 0; }, 10s));
    }
    EXPECT_EQ(device->ReadyState(), CaptureDevice::Previewing);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_FALSE(closed[0].ok);
    EXPECT_EQ(closed[0].error, device->lastError());
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 1'000'000u);
    const MediaProbe probe = probeMedia(file);
    EXPECT_EQ(probe.videoCodec, "mpeg2video");
    EXPECT_GT(probe.videoPts.size(), 5u);

    // The next start clears the reason and records as before.
    record(movies / "after.mpg", 400);
    EXPECT_EQ(device->lastError(), "");
    EXPECT_EQ(device->lastFault(), DeviceFault::None);
    ASSERT_EQ(closed.size(), 2u);
    EXPECT_TRUE(closed[1].ok);
}

TEST_F(CaptureDeviceTest, AFolderThatVanishedIsNamedInTheError) {
    const fs::path gone = dir / "gone";
    device->StartCapture((gone / "programme.mpg").string());
    EXPECT_EQ(device->lastError(), "Cannot write " + gone.string() + ": No such file or directory");
    EXPECT_EQ(device->lastFault(), DeviceFault::Folder);
    EXPECT_NE(device->ReadyState(), CaptureDevice::Recording);
    EXPECT_FALSE(fs::exists(gone));
}

// A folder that takes no new file (read-only, no permission) is the
// folder's fault, told with the system's reason.
TEST_F(CaptureDeviceTest, AFolderThatTakesNoFileIsTheFoldersFault) {
    const fs::path movies = dir / "movies";
    fs::create_directories(movies);
    UnwritableFolder folder(movies);
    if (!folder.applied()) GTEST_SKIP() << "no unwritable folder here: " << folder.why();
    device->StartPreview();
    device->StartCapture((movies / "programme.mpg").string());
    EXPECT_EQ(device->lastError(), "Cannot write " + movies.string() + ": " + folder.reason());
    EXPECT_EQ(device->lastFault(), DeviceFault::Folder);
    EXPECT_FALSE(waitFor([&] { return recording(); }, 400ms));
}

// A part the device opened but that never got a picture: stopped at once,
// or replaced by the next start before its first picture.
TEST_F(CaptureDeviceTest, APartThatNeverGotAPictureLeavesNoFile) {
    const fs::path movies = dir / "movies";
    fs::create_directories(movies);
    device->setCaptureLimit(0);
    device->StartCapture((movies / "stopped-at-once.mpg").string());
    device->StopCapture();
    device->StartCapture((movies / "replaced.mpg").string());
    device->setCaptureLimit(400);
    device->StartCapture((movies / "recorded.mpg").string());
    ASSERT_TRUE(waitFor([&] { return closed.size() == 3 && device->openFiles() == 0; }, 5s));
    ASSERT_EQ(closed[0].elapsedMs, 0);
    ASSERT_EQ(closed[1].elapsedMs, 0);
    EXPECT_TRUE(closed[0].ok);
    EXPECT_EQ(closed[2].elapsedMs, 400);

    const auto files = filesIn(movies);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.front().filename(), "recorded.mpg");
    EXPECT_GT(fs::file_size(files.front()), 0u);
}

// FFmpeg's own complaints belong in the recorder's log; on standard error
// they would show as messages nobody asked for.
TEST_F(CaptureDeviceTest, FfmpegErrorsStayOffStandardError) {
    const fs::path errors = dir / "stderr.txt";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int file = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(file, STDERR_FILENO);
    av_log(nullptr, AV_LOG_ERROR, "kelbo test: an encoder complains\n");
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    ::close(file);
    EXPECT_EQ(readFile(errors), "");
}
