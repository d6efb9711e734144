#include "media_probe.h"
#include "support/temp_dir.h"
#include "tools/kelbo_capture/capture_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace kelbo;
using namespace kelbo::testing;
using Args = std::vector<std::string>;

TEST(CaptureOptions, ReadsEveryOption) {
    const auto options = parseCaptureOptions({"--source", "file:/media/a b.mpg", "--template",
                                              "Long Play", "--no-preview", "--seconds", "1.5",
                                              "--split-every-ms", "500", "out.mpg"});
    ASSERT_TRUE(options);
    ASSERT_TRUE(options->source);
    EXPECT_EQ(options->source->kind, CaptureSource::Kind::File);
    EXPECT_EQ(options->source->path, "/media/a b.mpg");
    EXPECT_EQ(options->templateName, "Long Play");
    EXPECT_FALSE(options->preview);
    EXPECT_EQ(options->limitMs, 1500);
    EXPECT_EQ(options->splitEveryMs, 500);
    EXPECT_EQ(options->file, "out.mpg");

    const auto plain = parseCaptureOptions({"--limit-ms", "250", "x.mpg"});
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->source);
    EXPECT_TRUE(plain->preview);
    EXPECT_EQ(plain->limitMs, 250);
    EXPECT_EQ(parseCaptureOptions({"--source", "/dev/video3", "x"})->source->kind,
              CaptureSource::Kind::V4l2);
    EXPECT_EQ(parseCaptureOptions({"--source", "test", "x"})->source->kind,
              CaptureSource::Kind::TestPattern);
}

TEST(CaptureOptions, RejectsWhatIsNotACommand) {
    for (const Args& args : {Args{}, Args{"--seconds", "2"}, Args{"a.mpg", "b.mpg"},
                             Args{"--seconds", "0", "a"}, Args{"--seconds", "x", "a"},
                             Args{"--limit-ms", "-5", "a"}, Args{"--limit-ms", "1.5", "a"},
                             Args{"--seconds", "1", "--limit-ms", "10", "a"},
                             Args{"--split-every-ms", "0", "a"}, Args{"--source", "", "a"},
                             Args{"--frobnicate", "a"}, Args{"a", "--template"}})
        EXPECT_FALSE(parseCaptureOptions(args)) << ::testing::PrintToString(args);
}

TEST(CaptureOptions, PartsAreNumberedBeforeTheExtension) {
    EXPECT_EQ(partFileName("/r/show.mpg", 1), "/r/show.mpg");
    EXPECT_EQ(partFileName("/r/show.mpg", 2), "/r/show-2.mpg");
    EXPECT_EQ(partFileName("show.part.mpg", 12), "show.part-12.mpg");
    EXPECT_EQ(partFileName("/r.d/show", 3), "/r.d/show-3");
}

namespace {

std::string kelboCapture(const TempDir& dir, const std::string& args) {
    // A private data folder for the templates, and no settings file.
    return "XDG_DATA_HOME=" + shellQuoted(dir.path().string()) +
           " XDG_CONFIG_HOME=" + shellQuoted(dir.path().string()) + " " KELBO_BUILD_DIR
           "/kelbo-capture " + args;
}

}  // namespace

TEST(KelboCapture, BadArgumentsPrintTheUsageAndExitWithTwo) {
    TempDir dir;
    const auto result = runCommand(kelboCapture(dir, "--seconds 2>&1"));
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.output.rfind("usage: kelbo-capture", 0), 0u) << result.output;
}

TEST(KelboCapture, SplitsLikeTheRecorderAndPrintsEachFilesTime) {
    TempDir dir;
    const std::string file = (dir / "show.mpg").string();
    const auto result = runCommand(kelboCapture(
        dir, "--source test --no-preview --limit-ms 1200 --split-every-ms 500 " + shellQuoted(file)));
    ASSERT_EQ(result.status, 0) << result.output;
    std::istringstream lines(result.output);
    std::int64_t total = 0, ms = 0;
    std::string path;
    std::vector<std::string> paths;
    while (lines >> ms >> path) {
        total += ms;
        paths.push_back(path);
        EXPECT_GT(ms, 0);
    }
    EXPECT_EQ(total, 1200);
    EXPECT_EQ(paths, (std::vector<std::string>{file, (dir / "show-2.mpg").string(),
                                               (dir / "show-3.mpg").string()}));
    for (const auto& p : paths) EXPECT_EQ(probeMedia(p).videoCodec, "mpeg2video") << p;
}
