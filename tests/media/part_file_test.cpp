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
using Removal = PartFile::Removal;

namespace {

std::string contents(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

}  // namespace

TEST(PartFile, IsMadeNewAndRemovesOnlyItsOwnFile) {
    enum class Before { Nothing, EmptyLeftover, Recording, Link, PartBeingWritten };
    struct Case {
        Before before;
        std::string written;  // by the part, when it is made
        Removal removal;
        bool takenOver;        // a retried start puts a file of its own under the name meanwhile
        std::string left;      // what the name holds in the end ("-": nothing)
    };
    const std::vector<Case> cases = {
        {Before::Nothing, "new", Removal::Keep, false, "new"},
        {Before::Nothing, "", Removal::IfEmpty, false, "-"},
        {Before::Nothing, "new", Removal::IfEmpty, false, "new"},
        {Before::Nothing, "new", Removal::Always, false, "-"},
        {Before::EmptyLeftover, "new", Removal::Keep, false, "new"},
        {Before::Recording, "", Removal::Always, false, "old"},       // refused: the recording is kept
        {Before::Link, "", Removal::Always, false, "secret"},         // refused: the link is not followed
        {Before::PartBeingWritten, "", Removal::Always, false, "old"},  // refused: the other part goes on
        {Before::Nothing, "", Removal::Always, true, "retry"},
        {Before::Nothing, "", Removal::IfEmpty, true, "retry"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases.data()));
        TempDir dir;
        const fs::path at = dir / "Show1[1.].mpg";
        std::unique_ptr<PartFile> other;
        if (c.before == Before::EmptyLeftover) std::ofstream{at};
        if (c.before == Before::Recording) std::ofstream{at} << "old";
        if (c.before == Before::Link) {
            std::ofstream{dir / "victim"} << "secret";
            fs::create_symlink(dir / "victim", at);
        }
        if (c.before == Before::PartBeingWritten) {
            other = PartFile::create(at.string(), nullptr);
            avio_write(other->io(), reinterpret_cast<const unsigned char*>("old"), 3);
        }
        DeviceFailure failure;
        auto part = PartFile::create(at.string(), &failure);
        const bool refused = c.before == Before::Recording || c.before == Before::Link ||
                             c.before == Before::PartBeingWritten;
        ASSERT_EQ(part == nullptr, refused) << failure.text;
        if (refused) {
            EXPECT_EQ(failure.fault, DeviceFault::Folder);
            EXPECT_NE(failure.text.find("Cannot write " + dir.path().string() + ": Show1[1.].mpg exists already"),
                      std::string::npos)
                << failure.text;
        } else {
            avio_write(part->io(), reinterpret_cast<const unsigned char*>(c.written.data()),
                       static_cast<int>(c.written.size()));
            if (c.takenOver) {
                fs::rename(at, dir / "aside.mpg");
                auto retry = PartFile::create(at.string(), nullptr);
                ASSERT_TRUE(retry);
                avio_write(retry->io(), reinterpret_cast<const unsigned char*>("retry"), 5);
                ASSERT_EQ(retry->close(), 0);
            }
            EXPECT_EQ(part->close(c.removal), 0);
        }
        const int otherClosed = other ? other->close() : 0;
        EXPECT_EQ(otherClosed, 0);
        EXPECT_EQ(fs::exists(at) ? contents(at) : "-", c.left);
        EXPECT_EQ(fs::is_symlink(at), c.before == Before::Link);
    }
}
