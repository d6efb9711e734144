#include "schedule_document_rig.h"
#include "common/settings_store.h"

#include <fstream>
#include <sstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <fcntl.h>
#include <sys/wait.h>
#include <sys/file.h>

using namespace kelbo;
using namespace kelbo::testing;

TEST_F(ScheduleDocumentTest, LoadsAcceptedRecordsIntoSlotsInFileOrder) {
    GuideRecord broken = record("Broken", "01-02-2003", "19:00");
    broken.duration = "long";
    load(record("Late", "02-02-2003", "21:00").text() + broken.text() +
         record("Early", "01-02-2003", "18:00").text() +
         record("Third", "01-01-2003", "09:30").text() + "ProgrammeName: Unfinished\r\n");
    const ScheduleTable& table = document.table();
    EXPECT_EQ(table.LastIndex, 2);
    EXPECT_EQ(table[0].ProgrammeName, "Late");
    EXPECT_EQ(table[0].IndexString, "200302022100");
    EXPECT_EQ(table[1].ProgrammeName, "Early");
    EXPECT_EQ(table[2].ProgrammeName, "Third");
    EXPECT_FALSE(table[3].inUse());
    EXPECT_TRUE(document.ScheduleFileDate().has_value());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScheduleDocumentTest, AnythingButAReadableFileIsAnEmptySchedule) {
    load(record("One", "01-02-2003", "18:00").text());
    EXPECT_EQ(document.table().LastIndex, 0);
    EXPECT_TRUE(document.table()[0].inUse());
    const auto date = document.ScheduleFileDate();

    std::filesystem::remove(file());
    document.Load_Schedule();
    EXPECT_EQ(document.table().LastIndex, 0);
    EXPECT_FALSE(document.table()[0].inUse());
    EXPECT_EQ(document.ScheduleFileDate(), date) << "the date of the last good load stays";

    std::filesystem::create_directory(file());
    document.Load_Schedule();
    EXPECT_FALSE(document.table()[0].inUse());

    settings.ScheduleFile.clear();
    document.Load_Schedule();
    EXPECT_FALSE(document.table()[0].inUse());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScheduleDocumentTest, ListsRowsByStartWithDefaultsForEmptyFields) {
    GuideRecord own = record("Own", "01-02-2003", "18:00");
    GuideRecord noDuration = record("NoDuration", "01-02-2003", "17:00");
    load(record("Late", "02-02-2003", "09:00").text() + own.text() +
         record("Early", "31-01-2003", "23:30").text());
    document.table()[1].FileName = "/own/file.mpg";
    document.table()[1].Template = "Half";
    document.table()[1].StartBuffer = "7";
    document.table()[1].EndBuffer = "8";
    document.table()[3] = document.table()[0];
    document.table()[3].Duration.clear();
    document.table().LastIndex = 3;
    listing.Display_Schedule(2);

    const ScheduleList& list = listing.list();
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(cell(1, Column::Programme), "Early");
    EXPECT_EQ(cell(2, Column::Programme), "Own");
    EXPECT_EQ(cell(3, Column::Programme), "Late");
    EXPECT_EQ(cell(1, Column::IndexString), "200301312330");
    EXPECT_EQ(cell(1, Column::ArrayID), "2");
    EXPECT_EQ(cell(1, Column::Filename), "/rec/Early-2330.mpg");
    EXPECT_EQ(cell(1, Column::Template), "DVD");
    EXPECT_EQ(cell(1, Column::SBuf), "2");
    EXPECT_EQ(cell(1, Column::EBuf), "5");
    EXPECT_EQ(cell(2, Column::Filename), "/own/file.mpg");
    EXPECT_EQ(cell(2, Column::Template), "Half");
    EXPECT_EQ(cell(2, Column::SBuf), "7");
    EXPECT_EQ(cell(2, Column::EBuf), "8");
    EXPECT_EQ(cell(2, Column::Date), "01-02-2003");
    EXPECT_EQ(cell(2, Column::Time), "18:00");
    EXPECT_EQ(cell(2, Column::Channel), "Main");
    EXPECT_EQ(cell(2, Column::ChannelNumber), "101");
    EXPECT_EQ(cell(2, Column::Duration), "30");
    EXPECT_EQ(list.rowColour(2), colour::kRed);
    EXPECT_EQ(list.rowColour(1), colour::kBlack);
    // The cell operations reach cells by sub-item number, position − 1.
    EXPECT_EQ(list.Get_Cell(1, 4), "Early");
    EXPECT_EQ(listing.slotOfRow(3), 0);

    settings.StartBuffer = "9";
    listing.Display_Schedule();
    EXPECT_EQ(cell(1, Column::SBuf), "9");
    EXPECT_EQ(document.table()[1].StartBuffer, "7");
    EXPECT_EQ(document.table()[2].StartBuffer, "") << "defaults stay out of the table";
}

TEST_F(ScheduleDocumentTest, ColumnMapDecidesWhereCellsLive) {
    ColumnLayout layout = ColumnLayout::defaults();
    layout.set(Column::Programme, 3, 1500);
    layout.set(Column::Date, 5, 1000);
    listing.list().setLayout(layout);
    load(record("Show", "01-02-2003", "18:00").text());
    EXPECT_EQ(listing.list().Get_Cell(1, 2), "Show");
    EXPECT_EQ(listing.list().Get_Cell(1, 4), "01-02-2003");
    EXPECT_EQ(cell(1, Column::Programme), "Show");
}

TEST_F(ScheduleDocumentTest, RewritesListedItemsInListOrderWithTheRecordersForms) {
    GuideRecord guide = record("Late", "02-02-2003", "09:00");
    guide.category = "";
    load(guide.text() + record("Early", "31-01-2003", "23:30").text() +
         "ProgrammeName: Extra\r\nStartTime    : 10:00\r\nStartDate    : 03-02-2003\r\n"
         "ChannelNumber: 5\r\nChannelName  : Two\r\nDuration     : 60\r\n"
         "Description  : Film\r\nDirector: Some One\r\n (1999)\r\n----------BREAK----------\r\n");
    document.table()[0].EndBuffer = "10";
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(readFile(file()),
              "ProgrammeName: Early\r\nStartTime    : 23:30\r\nStartDate    : 31-01-2003\r\n"
              "ChannelNumber: 101\r\nChannelName  : Main\r\nDuration     : 30\r\n"
              "ReminderID   : 0\r\nSmartSearchID: 0\r\nFavouriteID  : 0\r\n"
              "----------BREAK----------\r\n"
              "ProgrammeName: Late\r\nStartTime    : 09:00\r\nStartDate    : 02-02-2003\r\n"
              "ChannelNumber: 101\r\nChannelName  : Main\r\nDuration     : 30\r\n"
              "ReminderID   : 0\r\nSmartSearchID: 0\r\nFavouriteID  : 0\r\n"
              "EndBuffer    : 10\r\n----------BREAK----------\r\n"
              "ProgrammeName: Extra\r\nStartTime    : 10:00\r\nStartDate    : 03-02-2003\r\n"
              "ChannelNumber: 5\r\nChannelName  : Two\r\nDuration     : 60\r\n"
              "Description  : Film\r\nDirector: Some One\r\n (1999)\r\n"
              "----------BREAK----------\r\n");
    EXPECT_EQ(document.ScheduleFileDate(), stampOf(file())) << "our own write is no outside change";

    // A second round trip changes nothing: the extra line is recognised again.
    const std::string first = readFile(file());
    document.Load_Schedule();
    listing.Display_Schedule();
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(readFile(file()), first);
}

TEST_F(ScheduleDocumentTest, EmptyListWritesAnEmptyFileAndUnlistedItemsDisappear) {
    load(record("Only", "01-02-2003", "18:00").text());
    document.table()[0].Duration.clear();
    listing.Display_Schedule();
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(readFile(file()), "");
}

// A write that fails half-way (here: the process may not write files that
// big, as on a full disk) must leave the old schedule untouched.
TEST_F(ScheduleDocumentTest, AFailedRewriteKeepsTheOldFileAndTellsTheUser) {
    const std::string original = record("Keep", "01-02-2003", "18:00").text();
    load(original);
    document.table()[0].Description = std::string(64 * 1024, 'd');
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = document.Write_Schedule();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(file()), original);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Error writing schedule");
    EXPECT_NE(messages.shown[0].text.find(file().string()), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path() == file() || entry.path().extension() == ".lock") << entry.path();
}

TEST_F(ScheduleDocumentTest, AFailedRewriteIntoAMissingFolderIsReported) {
    load(record("Keep", "01-02-2003", "18:00").text());
    settings.ScheduleFile = (dir / "missing" / "s.txt").string();
    EXPECT_FALSE(document.Write_Schedule());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Error writing schedule");
    EXPECT_NE(messages.shown[0].text.find("missing/s.txt"), std::string::npos);
}

// The schedule and the settings may name streams with a user and password:
// only the user reads them, however the file was made or opened up before.
TEST_F(ScheduleDocumentTest, RewritesAreTheUsersAloneAndLeaveNoTemporaryFiles) {
    const mode_t umaskBefore = ::umask(0);  // the widest a session may ask for
    const std::filesystem::path settingsFile = dir / "config" / "registry.ini";
    const std::pair<int, mode_t> cases[] = {{-1, 0600}, {0644, 0600}, {0666, 0600}, {0640, 0600}, {0400, 0400}};
    for (const auto& [before, after] : cases) {
        load(record("One", "01-02-2003", "18:00").text());
        for (const auto& written : {file(), settingsFile}) {
            if (before < 0) std::filesystem::remove(written);
            else ::chmod(written.c_str(), static_cast<mode_t>(before));
        }
        ASSERT_TRUE(document.Write_Schedule());
        ASSERT_TRUE(SettingsStore(settingsFile).SaveSetting("Defaults", "ChannelPlaylist", "http://u:pw@tv.example/"));
        for (const auto& written : {file(), settingsFile}) {
            struct stat st {};
            ASSERT_EQ(::stat(written.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, after) << written << std::oct << " was " << before;
        }
    }
    ::umask(umaskBefore);
    std::filesystem::remove_all(dir / "config");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path() == file() || entry.path().extension() == ".lock") << entry.path();
}

TEST_F(ScheduleDocumentTest, RecordsAppendedByAnotherProgramSurviveTheRewrite) {
    load(record("Mine", "02-02-2003", "18:00").text() + record("Other", "03-02-2003", "18:00").text());
    ASSERT_TRUE(document.Write_Schedule());
    // The guide appends two records after the last write; one of them
    // starts earlier than everything listed.
    {
        std::ofstream out(file(), std::ios::binary | std::ios::app);
        out << record("Guide", "01-02-2003", "07:00").text()
            << record("Other", "03-02-2003", "18:00").text();
    }
    document.table()[0].Complete = "Recorded";
    ASSERT_TRUE(document.Write_Schedule());

    document.Load_Schedule();
    listing.Display_Schedule();
    ASSERT_EQ(listing.list().rowCount(), 4);
    EXPECT_EQ(cell(1, Column::Programme), "Guide");
    EXPECT_EQ(cell(2, Column::Programme), "Mine");
    EXPECT_EQ(cell(2, Column::Status), "Recorded");
    EXPECT_EQ(cell(3, Column::Programme), "Other");
    EXPECT_EQ(cell(4, Column::Programme), "Other");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScheduleDocumentTest, TakenInRecordsJoinTheListInTheirPlace) {
    struct Inserted : ScheduleListObserver {
        std::vector<int> rows;
        void rowInserted(int row) override { rows.push_back(row); }
    } observer;
    load(record("Later", "02-02-2003", "18:00").text());
    listing.list().addObserver(&observer);
    {
        std::ofstream out(file(), std::ios::binary | std::ios::app);
        out << record("Sooner", "01-02-2003", "18:00").text();
    }
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(observer.rows, std::vector<int>{1});
    EXPECT_EQ(cell(1, Column::Programme), "Sooner");
    EXPECT_EQ(document.table().LastIndex, 1);
    listing.list().removeObserver(&observer);
}

namespace {

// Records as the guide writes them: `count` programmes on 1 February 2003
// (long finished), named from `first` on.
std::string finishedRecords(int first, int count) {
    GuideRecord r;
    r.date = "01-02-2003";
    std::string text;
    for (int i = first; i < first + count; ++i) {
        r.name = "Old" + std::to_string(i);
        r.channelNumber = std::to_string(i);
        text += r.text();
    }
    return text;
}

}  // namespace

// Months of finished items fill the table: a programme the guide appends
// must still be listed, and the finished ones beyond the table kept.
TEST_F(ScheduleDocumentTest, ProgrammesStillToComeGetSlotsBeforeFinishedOnes) {
    GuideRecord coming = record("Coming", "10-12-2026", "20:00");
    load(finishedRecords(0, 2) + coming.text() + finishedRecords(2, ScheduleTable::kSlots + 1));
    EXPECT_EQ(document.table().LastIndex, ScheduleTable::kSlots - 1);
    EXPECT_EQ(document.recordsLeftOut(), 4u);
    EXPECT_EQ(document.table()[0].ProgrammeName, "Old0") << "kept in file order";
    EXPECT_EQ(document.table()[2].ProgrammeName, "Coming");
    EXPECT_EQ(document.table()[500].ProgrammeName, "Old499");
    EXPECT_EQ(cell(listing.list().rowCount(), Column::Programme), "Coming");
    EXPECT_TRUE(messages.shown.empty()) << "only finished items were left out";
}

// More programmes still to come than slots: the user is told each time
// one is left out, how many, and what to do about it.
TEST_F(ScheduleDocumentTest, AProgrammeStillToComeLeftOutIsToldAtEveryLoad) {
    std::string text = finishedRecords(0, 3);
    for (int i = 0; i < ScheduleTable::kSlots + 2; ++i)
        text += record("New" + std::to_string(i), "10-12-2026", "20:00", std::to_string(i)).text();
    load(text);
    EXPECT_EQ(document.table()[0].ProgrammeName, "New0");
    EXPECT_EQ(document.table()[500].ProgrammeName, "New500");
    EXPECT_EQ(document.recordsLeftOut(), 5u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Schedule full");
    EXPECT_TRUE(messages.shown[0].notice);
    EXPECT_NE(messages.shown[0].text.find("5 were left out, 2 of them still to come"), std::string::npos)
        << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find("Delete finished items"), std::string::npos);

    document.Load_Schedule();
    EXPECT_EQ(messages.shown.size(), 2u) << "told again, not once per run";
}

// What the table leaves out stays in the file, after the listed items and in
// the recorder's own form, without being held in memory.
TEST_F(ScheduleDocumentTest, RecordsBeyondTheTableSurviveARewriteInTheRecordersForm) {
    const std::string text = finishedRecords(0, ScheduleTable::kSlots + 3);
    load(text);
    ASSERT_EQ(document.recordsLeftOut(), 3u);
    document.table()[0].Complete = "Recorded";
    ASSERT_TRUE(document.Write_Schedule());

    const std::vector<ScheduleItem> items = acceptedItems(text);
    std::string beyond;
    for (int i = ScheduleTable::kSlots; i < ScheduleTable::kSlots + 3; ++i) beyond += formatRecord(items[i]);
    const std::string written = readFile(file());
    ASSERT_GT(written.size(), beyond.size());
    EXPECT_EQ(written.substr(written.size() - beyond.size()), beyond);
    EXPECT_EQ(acceptedItems(written).size(), items.size());
    EXPECT_NE(written.find("Complete     : Recorded"), std::string::npos);

    // Written again unchanged: the same bytes.
    ASSERT_TRUE(document.Write_Schedule());
    EXPECT_EQ(readFile(file()), written);
    EXPECT_TRUE(messages.shown.empty());
}

// The guide appends to a full table of finished items; the recorder
// rewrites before it looks at the file again. The programme is kept, told,
// and gets its slot at the next look.
TEST_F(ScheduleDocumentTest, AProgrammeAppendedToAFullTableIsListedAtTheNextLook) {
    load(finishedRecords(0, ScheduleTable::kSlots));
    {
        std::ofstream out(file(), std::ios::binary | std::ios::app);
        out << record("Coming", "10-12-2026", "20:00").text();
    }
    ASSERT_TRUE(document.Write_Schedule());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Schedule full");
    EXPECT_NE(document.ScheduleFileDate(), stampOf(file())) << "the watcher must reload";
    EXPECT_EQ(acceptedItems(readFile(file())).back().ProgrammeName, "Coming");

    document.Load_Schedule();
    listing.Display_Schedule();
    EXPECT_EQ(cell(listing.list().rowCount(), Column::Programme), "Coming");
    EXPECT_EQ(document.recordsLeftOut(), 1u);
}

TEST_F(ScheduleDocumentTest, ARewriteRefusesWhatIsNotARegularFile) {
    load(record("Keep", "01-02-2003", "18:00").text());
    std::filesystem::remove(file());
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    EXPECT_FALSE(document.Write_Schedule());
    EXPECT_TRUE(std::filesystem::is_fifo(file()));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("not a regular file"), std::string::npos);
}

// A record the load drops is lost at the next rewrite: the user hears of it
// once, when its programme may still be on.
TEST_F(ScheduleDocumentTest, ProgrammesStillToComeThatTheLoadDropsAreToldOnce) {
    GuideRecord letters = record("Свет", "09-12-2026", "20:00");
    letters.channelNumber = "BS191";  // a playlist's tvg-chno that is no number
    GuideRecord finished = record("Old", "01-12-2026", "20:00");
    finished.channelNumber = "#";
    GuideRecord kept = record("Film", "09-12-2026", "21:00", "0");
    kept.channelName = "BBC One";
    GuideRecord sameSlot = kept;  // the same programme and channel, another description
    sameSlot.description = "Longer text";
    GuideRecord copy = kept;  // a copy of the kept record loses nothing
    load(letters.text() + finished.text() + kept.text() + sameSlot.text() + copy.text());

    ASSERT_EQ(messages.shown.size(), 1u);
    const auto& notice = messages.shown[0];
    EXPECT_TRUE(notice.notice) << "told without waiting for anyone";
    EXPECT_EQ(notice.title, "Programmes left out");
    EXPECT_NE(notice.text.find("\"Свет\" on Main at 09-12-2026 20:00 (line 12): ChannelNumber \"BS191\" does "
                               "not read as a number"),
              std::string::npos)
        << notice.text;
    EXPECT_NE(notice.text.find("\"Film\" on BBC One at 09-12-2026 21:00 (line 48): the same programme as "
                               "line 36"),
              std::string::npos)
        << notice.text;
    EXPECT_EQ(notice.text.find("Old"), std::string::npos) << "a finished programme is not missed";
    EXPECT_EQ(notice.text.find("line 60"), std::string::npos) << "an exact copy loses nothing";

    document.Load_Schedule();
    EXPECT_EQ(messages.shown.size(), 1u) << "a reload of the same records tells nothing new";
    // Broken by hand after it was listed: told although it is over.
    GuideRecord done = record("Done", "07-12-2026", "20:00");
    load(letters.text() + done.text());
    EXPECT_EQ(messages.shown.size(), 1u);
    done.duration = "half an hour";
    load(letters.text() + done.text());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("\"Done\""), std::string::npos);
    messages.shown.pop_back();

    GuideRecord later = record("Late", "10-12-2026", "20:00");
    later.duration = "ninety";
    load(letters.text() + later.text());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("\"Late\""), std::string::npos);
    EXPECT_EQ(messages.shown[1].text.find("Свет"), std::string::npos);
}
