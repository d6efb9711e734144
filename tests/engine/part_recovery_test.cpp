// Part files left under their working names by a recorder that was killed
// or lost its power are given their final names at the next start-up.
#include "support/recorder_rig.h"
#include "recorder/forms/recordings.h"
#include "recorder/schedule/part_files.h"
#include "recorder/engine/part_recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(PartRecovery, LeftoverPartsGetTheirFinalNamesAndTheProgrammeRecordsOn) {
    RecorderRig rig(kEight.plusMinutes(10));
    std::filesystem::create_directories(rig.movies());
    writeFile(rig.movies() / "Film-20001[1.].mpg", "part one");
    writeFile(rig.movies() / "Film-20001[2.].mpg", "part two");
    writeFile(rig.movies() / "Film-20002[1.].mpg", "");        // a start that never wrote
    writeFile(rig.movies() / "Film-20003[1.1].mpg", "done");   // finished earlier
    writeFile(rig.movies() / "Other-21001[1.].mpg", "not in the schedule");
    writeFile(rig.movies() / "News-21001[1.].mpg", "news");
    writeFile(rig.movies() / "News-21001[1.1].mpg", "already there");
    rig.loadProgrammes({programme("Film", kEight, 30), programme("News", kEight.plusMinutes(60), 30, "2"),
                        programme("Film", kEight.plusMinutes(1440), 30)});

    EXPECT_EQ(recoverLeftoverParts(rig.document), 2);
    EXPECT_EQ(namesIn(rig.movies()),
              (std::vector<std::string>{"Film-20001[1.2].mpg", "Film-20001[2.2].mpg", "Film-20003[1.1].mpg",
                                        "News-21001[1.1].mpg", "News-21001[1.].mpg",
                                        "Other-21001[1.].mpg"}));
    EXPECT_EQ(readFile(rig.movies() / "Film-20001[2.2].mpg"), "part two");
    EXPECT_EQ(readFile(rig.movies() / "News-21001[1.1].mpg"), "already there") << "never overwritten";

    // Still on air: the recording goes on under the next file number.
    rig.tick();
    EXPECT_EQ(rig.session.CurrentFile, (rig.movies() / "Film-20004[1.].mpg").string());
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
}

TEST(PartRecovery, PartsAreCountedPerFileNumberAndGapsClosed) {
    TempDir dir;
    const std::string base = (dir / "Show-0900").string();
    writeFile(base + "7[1.].mpg", "a");
    writeFile(base + "7[3.].mpg", "c");
    writeFile(base + "8[1.].mpg", "b");
    writeFile(base + "x[1.].mpg", "not a file number");
    const auto found = part_files::findWorkingParts(base);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].stem, base + "7");
    EXPECT_EQ(found[0].parts, (std::vector<int>{1, 3}));
    for (const auto& each : found) part_files::nameFinalParts(each);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"Show-09007[1.2].mpg", "Show-09007[2.2].mpg",
                                                             "Show-09008[1.1].mpg", "Show-0900x[1.].mpg"}));
}

// Another user who may write to the recordings folder plants links to the
// user's file and files of their own under the names of parts: only the
// user's own files are named, counted as recorded or handed to a player.
TEST(PartRecovery, OnlyTheUsersOwnFilesAreNamedCountedAndPlayed) {
    const auto runAsOtherUser = [](const std::string& command) {  // uid 65534, as the tests run as root
        const int status = std::system(("setpriv --reuid=65534 --regid=65534 --clear-groups sh -c \"" + command + "\"").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    if (::geteuid() != 0 || runAsOtherUser("true") != 0) GTEST_SKIP() << "uid 65534 cannot be played here (not root, or no setpriv)";
    TempDir dir;
    const std::filesystem::path shared = dir / "shared";
    std::filesystem::create_directory(shared);
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(shared.c_str(), 0777);
    writeFile(dir / "thesis", "years of work");
    const std::string link = "ln -s '" + (dir / "thesis").string() + "' ";
    const std::string planted[] = {link + "'Film1[1.].mpg'", "echo crafted > 'Film2[1.].mpg'", link + "'Film4[1.1].mpg'"};
    for (const std::string& plant : planted)
        ASSERT_EQ(runAsOtherUser("cd '" + shared.string() + "' && " + plant), 0) << plant;
    writeFile(shared / "Film3[1.].mpg", "the user's own");

    const std::string base = (shared / "Film").string();
    for (const auto& found : part_files::findWorkingParts(base)) part_files::nameFinalParts(found);
    EXPECT_EQ(namesIn(shared), (std::vector<std::string>{"Film1[1.].mpg", "Film2[1.].mpg", "Film3[1.1].mpg",
                                                         "Film4[1.1].mpg"}));
    EXPECT_EQ(readFile(dir / "thesis"), "years of work");
    EXPECT_EQ(latestRecording(base + ".mpg"), std::vector<std::string>{base + "3[1.1].mpg"}) << "Play hands on no link";
    EXPECT_EQ(part_files::partsOf(base).size(), 1u) << "nor is one counted as recorded";
}

TEST(PartFileNames, LongNamesAreCutToFitWithoutSplittingACharacter) {
    EXPECT_EQ(part_files::fitBytes("abc", 5), "abc");
    EXPECT_EQ(part_files::fitBytes("ab\xC3\xA9" "c", 3), "ab") << "é is two bytes";
    EXPECT_EQ(part_files::fitBytes("ab\xE2\x82\xAC", 4), "ab") << "€ is three bytes";
    EXPECT_EQ(part_files::fitBytes("ab\xE2\x82\xAC", 5), "ab\xE2\x82\xAC");

    const std::string base = part_files::baseName("/m/" + std::string(300, 'x') + ".mpg");
    EXPECT_EQ(base, "/m/" + std::string(239, 'x'));
    EXPECT_LE(part_files::finalName(base, 32766, 99, 99).size() - 3, 255u);
    EXPECT_EQ(part_files::baseName("/m/short.mpg"), "/m/short");
}
