// Part files are the device's own: made new, never through a link or over
// another part's file, and removed only while their name leads to them.
#include "recorder/media/gst/part_file.h"
#include "support/temp_dir.h"

extern "C" {
#include <libavformat/avio.h>
}

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace kelbo;
using namespace kelbo::testing;
namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void put(PartFile& file, const std::string& bytes) {
    avio_write(file.io(), reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

}  // namespace

// What stands under the name before a part is made there.
TEST(PartFile, IsMadeNewAndNeverOverAnotherFile) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& at, const fs::path& dir)> before;
        bool made;
        std::string leftThere;  // what the name holds after the attempt ("" for the new part's bytes)
    };
    const std::vector<Case> cases = {
        {"nothing", [](const fs::path&, const fs::path&) {}, true, ""},
        {"an empty leftover", [](const fs::path& at, const fs::path&) { std::ofstream{at}; }, true, ""},
        {"a file with a recording", [](const fs::path& at, const fs::path&) { std::ofstream{at} << "old"; }, false,
         "old"},
        {"a link to another file",
         [](const fs::path& at, const fs::path& dir) {
             std::ofstream{dir / "victim"} << "secret";
             fs::create_symlink(dir / "victim", at);
         },
         false, "secret"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path at = dir / "Show1[1.].mpg";
        c.before(at, dir.path());
        DeviceFailure failure;
        auto file = PartFile::create(at.string(), &failure);
        EXPECT_EQ(file != nullptr, c.made) << failure.text;
        if (file) {
            put(*file, "new");
            EXPECT_EQ(file->close(), 0);
            EXPECT_EQ(contents(at), "new");
        } else {
            EXPECT_EQ(failure.fault, DeviceFault::Folder);
            EXPECT_NE(failure.text.find("Cannot write " + dir.path().string()), std::string::npos) << failure.text;
            EXPECT_EQ(contents(at), c.leftThere);
        }
        if (fs::is_symlink(at)) {
            EXPECT_TRUE(fs::is_symlink(at));
            EXPECT_EQ(contents(dir / "victim"), "secret");
        }
    }
}

// A part still being written keeps its name: a second part under it is
// refused instead of emptying the first one's file.
TEST(PartFile, ANameBeingWrittenIsNotTakenOver) {
    TempDir dir;
    const fs::path at = dir / "Show1[1.].mpg";
    auto first = PartFile::create(at.string(), nullptr);
    ASSERT_TRUE(first);
    DeviceFailure failure;
    EXPECT_FALSE(PartFile::create(at.string(), &failure));
    EXPECT_NE(failure.text.find("exists already"), std::string::npos) << failure.text;
    put(*first, "first");
    EXPECT_EQ(first->close(), 0);
    EXPECT_EQ(contents(at), "first");
}

// How a part closes, and what another part made under its name meanwhile.
TEST(PartFile, ClosingRemovesOnlyItsOwnFile) {
    struct Case {
        const char* what;
        std::string written;
        PartFile::Removal removal;
        bool nameTakenOver;  // the name leads to a newer file when the part closes
        bool removed;
    };
    const std::vector<Case> cases = {
        {"empty, removed if empty", "", PartFile::Removal::IfEmpty, false, true},
        {"written, removed if empty", "data", PartFile::Removal::IfEmpty, false, false},
        {"written, kept", "data", PartFile::Removal::Keep, false, false},
        {"written, removed always", "data", PartFile::Removal::Always, false, true},
        {"empty, its name taken by a retried start", "", PartFile::Removal::Always, true, false},
        {"empty, removed if empty, its name taken over", "", PartFile::Removal::IfEmpty, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path at = dir / "Show1[1.].mpg";
        auto part = PartFile::create(at.string(), nullptr);
        ASSERT_TRUE(part);
        put(*part, c.written);
        std::unique_ptr<PartFile> retry;
        if (c.nameTakenOver) {
            // The recorder's retry: the old part's file goes aside and a new
            // one is made under the name while the old part still finishes.
            fs::rename(at, dir / "aside.mpg");
            retry = PartFile::create(at.string(), nullptr);
            ASSERT_TRUE(retry);
            put(*retry, "retry");
            ASSERT_EQ(retry->close(), 0);
        }
        EXPECT_EQ(part->close(c.removal), 0);
        EXPECT_EQ(part->removed(), c.removed);
        EXPECT_EQ(fs::exists(at), !c.removed);
        if (c.nameTakenOver) {
            EXPECT_EQ(contents(at), "retry");
        }
    }
}
