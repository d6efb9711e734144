// Another local user's means of reaching the user's files: locks that
// could be held for ever, links planted in shared folders, leftovers.
#include "common/atomic_file.h"
#include "common/file_lock.h"
#include "common/safe_links.h"
#include "common/settings_store.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kOtherUser = 65534;

// A child process holding the lock file until it is told to stop.
class LockHolder {
public:
    explicit LockHolder(const fs::path& lockFile) {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        EXPECT_EQ(::pipe(release_), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(lockFile.c_str(), O_RDONLY);
            ::flock(fd, LOCK_EX);
            char c = 1;
            (void)!::write(ready[1], &c, 1);
            (void)!::read(release_[0], &c, 1);
            ::_exit(0);
        }
        char c;
        (void)!::read(ready[0], &c, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() { release(); }
    void release() {
        if (pid_ <= 0) return;
        char c = 1;
        (void)!::write(release_[1], &c, 1);
        ::waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
    int release_[2]{};
};

void makeShared(const fs::path& folder) {
    fs::create_directories(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 01777), 0);
}

void plantLink(const fs::path& link, const fs::path& target, uid_t owner) {
    fs::create_symlink(target, link);
    ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
}

void age(const fs::path& file, std::chrono::seconds by) {
    const time_t then = std::time(nullptr) - static_cast<time_t>(by.count());
    const struct utimbuf times{then, then};
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
}

}  // namespace

TEST(SharedFolders, TheLockIsTheUsersOwnAndNeverWaitedForUnasked) {
    TempDir dir;
    const std::string file = (dir / "KelboSchedule.txt").string();
    {
        FileLock lock(file);
        ASSERT_TRUE(lock.locked());
        struct stat st {};
        ASSERT_EQ(::stat(FileLock::lockPathFor(file).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << "no one else may open it, so no one else can hold it";
    }
    LockHolder holder(FileLock::lockPathFor(file));
    const auto before = std::chrono::steady_clock::now();
    FileLock busy(file);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    EXPECT_FALSE(busy.locked());
    EXPECT_TRUE(busy.busy());
    FileLock patient(file, 200ms);
    EXPECT_TRUE(patient.busy()) << "the patience is bounded";
    // Let go while the add-in's patience lasts: the lock is taken.
    std::thread letGo([&holder] {
        std::this_thread::sleep_for(100ms);
        holder.release();
    });
    FileLock waited(file, 5s);
    letGo.join();
    EXPECT_TRUE(waited.locked());
    EXPECT_FALSE(waited.busy());
}

TEST(SharedFolders, ALockFileOfAnotherUserIsNotUsed) {
    if (::geteuid() != 0) GTEST_SKIP() << "playing another user needs root";
    TempDir dir;
    makeShared(dir / "shared");
    const std::string file = (dir / "shared" / "KelboSchedule.txt").string();
    writeFile(FileLock::lockPathFor(file), "");
    ASSERT_EQ(::chown(FileLock::lockPathFor(file).c_str(), kOtherUser, kOtherUser), 0);
    ASSERT_EQ(::chmod(FileLock::lockPathFor(file).c_str(), 0644), 0);
    LockHolder other(FileLock::lockPathFor(file));
    FileLock lock(file);
    EXPECT_FALSE(lock.busy()) << "another user's lock file cannot hold the user up";
    EXPECT_FALSE(lock.locked());
}

TEST(SharedFolders, ALinkAnotherUserPlantedInASharedFolderIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "playing another user needs root";
    TempDir dir;
    makeShared(dir / "tmp");
    fs::create_directories(dir / "home");
    const fs::path precious = dir / "home" / "thesis.txt";
    writeFile(precious, "years of work");
    plantLink(dir / "tmp" / "KelboSchedule.txt", precious, kOtherUser);

    const WriteOutcome outcome = writeFileAtomically(dir / "tmp" / "KelboSchedule.txt", "overwritten");
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.error.find("symbolic link of another user"), std::string::npos) << outcome.error;
    EXPECT_EQ(readFile(precious), "years of work");
    EXPECT_EQ(fs::read_symlink(dir / "tmp" / "KelboSchedule.txt"), precious) << "the link is left alone";

    // The same store through a link the user made keeps working.
    const fs::path mine = dir / "tmp" / "registry.ini";
    writeFile(dir / "home" / "registry.ini", "");
    plantLink(mine, dir / "home" / "registry.ini", ::geteuid());
    SettingsStore store(mine);
    ASSERT_TRUE(store.SaveSetting("Defaults", "StartBuffer", "2"));
    EXPECT_NE(readFile(dir / "home" / "registry.ini").find("StartBuffer=2"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(mine));

    // Another user's link to the store in a folder that is not shared
    // (the user's own) is followed: only a shared folder lets others in.
    const fs::path own = dir / "own";
    fs::create_directories(own);
    plantLink(own / "link.txt", dir / "home" / "registry.ini", kOtherUser);
    EXPECT_TRUE(resolveOwnLinks(own / "link.txt").refused.empty());
}

TEST(SharedFolders, StaleTemporariesOfTheUsersOwnAreRemoved) {
    if (::geteuid() != 0) GTEST_SKIP() << "playing another user needs root";
    TempDir dir;
    const fs::path file = dir / "KelboSchedule.txt";
    writeFile(file, "");
    for (const char* name : {".KelboSchedule.txt.AbC123", ".KelboSchedule.txt.fresh1", ".KelboSchedule.txt.other1",
                             ".KelboSchedule.txt.toolong7", ".Other.txt.XyZ987"})
        writeFile(dir / name, "half a rewrite");
    for (const char* name : {".KelboSchedule.txt.AbC123", ".KelboSchedule.txt.other1", ".KelboSchedule.txt.toolong7",
                             ".Other.txt.XyZ987"})
        age(dir / name, 2h);
    ASSERT_EQ(::chown((dir / ".KelboSchedule.txt.other1").c_str(), kOtherUser, kOtherUser), 0);

    EXPECT_EQ(removeStaleTemporaries(file), 1);
    EXPECT_FALSE(fs::exists(dir / ".KelboSchedule.txt.AbC123"));
    EXPECT_TRUE(fs::exists(dir / ".KelboSchedule.txt.fresh1")) << "a rewrite may still be writing it";
    EXPECT_TRUE(fs::exists(dir / ".KelboSchedule.txt.other1")) << "not the user's own";
    EXPECT_TRUE(fs::exists(dir / ".KelboSchedule.txt.toolong7")) << "not one of ours";
    EXPECT_TRUE(fs::exists(dir / ".Other.txt.XyZ987"));
}
