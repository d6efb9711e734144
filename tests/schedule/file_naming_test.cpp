#include "recorder/forms/example_file_name.h"
#include "recorder/forms/schedule_list.h"
#include "recorder/schedule/schedule_table.h"
#include "recorder/schedule/file_naming.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kelbo;
using kelbo::testing::TempDir;

namespace {

ScheduleTable tableWith(const ScheduleItem& item) {
    ScheduleTable table;
    table[0] = item;
    return table;
}

ScheduleItem pretender() {
    ScheduleItem item;
    item.ProgrammeName = "ThePretender";
    item.StartDate = "15-01-2002";
    item.StartTime = "22:30";
    item.Category = "Drama";
    item.ChannelNumber = "106";
    item.ChannelName = "Sky One";
    return item;
}

}  // namespace

TEST(CleanFileNameText, DropsCharactersThatDoNotBelongInAFileName) {
    EXPECT_EQ(Clean_FileName_Text(""), "");
    EXPECT_EQ(Clean_FileName_Text("22:30"), "2230");
    EXPECT_EQ(Clean_FileName_Text("a\"b'c*d,e/f:g;h?i\x7fj\tk\xe9l"), "abcdefghijkl");
    EXPECT_EQ(Clean_FileName_Text(" .\\<>|[]~"), " .<>|[]~") << "a backslash is a folder separator too";
}

// Titles from real guides: a UTF-8 desktop takes them as they are.
TEST(CleanFileNameText, KeepsEveryScriptAndDropsControlsAndBrokenBytes) {
    EXPECT_EQ(Clean_FileName_Text("Новости"), "Новости");
    EXPECT_EQ(Clean_FileName_Text("نشرة الأخبار"), "نشرة الأخبار");
    EXPECT_EQ(Clean_FileName_Text("ニュース7"), "ニュース7");
    EXPECT_EQ(Clean_FileName_Text("Nuacht RTÉ: 18:00?"), "Nuacht RTÉ 1800");
    EXPECT_EQ(Clean_FileName_Text("Emoji \xF0\x9F\x93\xBA"), "Emoji \xF0\x9F\x93\xBA");
    // Latin-1 bytes, a cut sequence, an overlong "/" and a surrogate are no text.
    EXPECT_EQ(Clean_FileName_Text("caf\xE9 \xE2\x82 \xC0\xAF \xED\xA0\x80!"), "caf   !");
    // C1 controls, escape sequences and marks that reorder the text.
    EXPECT_EQ(Clean_FileName_Text("a\xC2\x85" "b\x1B[2Jc\xE2\x80\xAEgpm.exe"), "ab[2Jcgpm.exe");
}

TEST(ExpandFileName, ReplacesTheSixTokensWithCleanedFields) {
    const ScheduleTable table = tableWith(pretender());
    EXPECT_EQ(Expand_FileName(table, 0, "C:\\movies\\%startdate%\\%programme%-%starttime%.mpg"),
              "C:\\movies\\15-01-2002\\ThePretender-2230.mpg");
    EXPECT_EQ(Expand_FileName(table, 0, "%ProgrammE%%STARTTIME%"), "ThePretender2230");
    EXPECT_EQ(Expand_FileName(table, 0, "%channelnumber%_%channelname%_%category%"),
              "106_Sky One_Drama");
    EXPECT_EQ(Expand_FileName(table, 0, "%channel%-%programme"), "%channel%-%programme");
    EXPECT_EQ(Expand_FileName(table, 0, "plain.mpg"), "plain.mpg");
    EXPECT_EQ(Expand_FileName(table, 0, ""), "");
}

TEST(ExpandFileName, ReplacementsAreNotExpandedAgainAndEmptyFieldsVanish) {
    ScheduleItem item = pretender();
    item.ProgrammeName = "%starttime%";
    item.Category = "::??";
    const ScheduleTable table = tableWith(item);
    EXPECT_EQ(Expand_FileName(table, 0, "%programme%|%category%|"), "%starttime%||");
}

TEST(ExpandFileName, ProgrammeDataCannotClimbOutOfThePatternsFolders) {
    ScheduleItem item = pretender();
    item.ProgrammeName = "..\\..\\etc\\x";
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%programme%.mpg"), "/rec/....etcx.mpg");
    item.ProgrammeName = "\\tmp\\x\\ESCAPED";  // a pattern that begins with a token
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "%programme%-%starttime%.mpg"), "tmpxESCAPED-2230.mpg");
    item.ProgrammeName = "..";
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%programme%/a.mpg"), "/rec/__/a.mpg");
    item.ProgrammeName = "Show\\Part";  // no folder of its own
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%programme%.mpg"), "/rec/ShowPart.mpg");
    item.ProgrammeName = "...And Justice";
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%programme%.mpg"),
              "/rec/...And Justice.mpg");
    // Dots the user typed into the pattern are the user's own choice.
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/../x.mpg"), "/rec/../x.mpg");
}

TEST(ExpandFileName, NamesNeverStartWithAHyphenOrConsistOfDotsAndSpaces) {
    ScheduleItem item = pretender();
    item.ProgrammeName = "-Kelbo Recording-";  // the add dialog's own default name
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%startdate%/%programme%-%starttime%.mpg"),
              "/rec/15-01-2002/_Kelbo Recording--2230.mpg");
    item.ProgrammeName = "???";  // nothing left of it
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%programme%-%starttime%.mpg"), "/rec/_2230.mpg");
    item.ProgrammeName = " . ";
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%programme%/%starttime%.mpg"), "/rec/___/2230.mpg");
    item.ProgrammeName = "Новости";
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/%programme%-%starttime%.mpg"), "/rec/Новости-2230.mpg");
    // What the user typed into the pattern alone stays the user's choice.
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/rec/-x/%programme%.mpg"), "/rec/-x/Новости.mpg");
}

TEST(ExampleFileName, UsesTheRowsCellsOrTheSamples) {
    ScheduleList list;
    const std::string pattern = "/p/movies/%startdate%/%programme%-%starttime%.mpg";
    EXPECT_EQ(Example_FileName(list, 1, pattern), "/p/movies/15-01-02/ThePretender-2230.mpg");
    EXPECT_EQ(Example_FileName(list, 1, "%category%%channelnumber%%channelname%"), "Drama106SkyOne");

    std::vector<std::string> cells(kColumnCount);
    cells[static_cast<size_t>(list.layout().position(Column::Programme) - 1)] = "Film: Two";
    cells[static_cast<size_t>(list.layout().position(Column::Date) - 1)] = "01-02-2003";
    cells[static_cast<size_t>(list.layout().position(Column::Time) - 1)] = "20:00";
    list.addRow(cells);
    EXPECT_EQ(Example_FileName(list, 1, pattern), "/p/movies/01-02-2003/Film Two-2000.mpg");
}

TEST(MakeFilePath, CreatesMissingFoldersOnly) {
    TempDir dir;
    const std::string base = dir.path().string();
    EXPECT_TRUE(Make_File_Path("file.mpg"));
    EXPECT_TRUE(Make_File_Path("C:\\file.mpg"));
    EXPECT_TRUE(Make_File_Path("/file.mpg"));
    EXPECT_TRUE(Make_File_Path(base + "\\a\\b/c.mpg"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a" / "b"));
    EXPECT_FALSE(std::filesystem::exists(dir / "a" / "b" / "c.mpg"));
    EXPECT_TRUE(Make_File_Path(base + "/a/b/d.mpg")) << "existing folders are fine";

    kelbo::testing::writeFile(dir / "plainfile", "x");
    EXPECT_FALSE(Make_File_Path(base + "/plainfile/sub/e.mpg"));
}

// A programme name can make a name longer than the file system allows; the
// name is cut so that the longest part name still fits, and a character of
// the pattern is never cut in half.
TEST(ExpandFileName, CutsNamesTheFileSystemWouldRefuse) {
    ScheduleItem item = pretender();
    item.ProgrammeName = std::string(300, 'P');
    const ScheduleTable table = tableWith(item);
    const std::string name = Expand_FileName(table, 0, "/m/%programme%-%starttime%.mpg");
    EXPECT_EQ(name, "/m/" + std::string(239, 'P') + ".mpg");

    const std::string folder = Expand_FileName(table, 0, "/m/%programme%/%starttime%.mpg");
    EXPECT_EQ(folder, "/m/" + std::string(255, 'P') + "/2230.mpg");

    item.ProgrammeName = std::string(236, 'P');
    const std::string wide = Expand_FileName(tableWith(item), 0, "/m/%programme%\xC3\xA9\xC3\xA9.mpg");
    EXPECT_EQ(wide, "/m/" + std::string(236, 'P') + "\xC3\xA9.mpg");

    // A long Cyrillic title is cut between characters, never inside one.
    item.ProgrammeName.clear();
    for (int i = 0; i < 200; ++i) item.ProgrammeName += "Ж";
    std::string kept;
    for (int i = 0; i < 119; ++i) kept += "Ж";  // 238 bytes of the 239 a name may have
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/m/%programme%.mpg"), "/m/" + kept + ".mpg");

    item.ProgrammeName = "Short";
    EXPECT_EQ(Expand_FileName(tableWith(item), 0, "/m/%programme%.mpg"), "/m/Short.mpg");
}
