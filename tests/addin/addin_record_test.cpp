#include "addin_fixture.h"

#include "common/schedule_format.h"

#include <csignal>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelbo::testing;

namespace {

class AddinRecord : public AddinTest {
protected:
    // The records of the schedule file as the recorder reads them.
    std::vector<kelbo::ReadRecord> recorderView(const std::filesystem::path& file) {
        std::istringstream in(readFile(file));
        kelbo::ScheduleReader reader(in);
        std::vector<kelbo::ReadRecord> records;
        while (auto r = reader.next()) records.push_back(*r);
        return records;
    }
};

const std::string kExampleLines =
    "ProgrammeName: Morning News\r\n"
    "StartTime    : 07:05\r\n"
    "StartDate    : 05-03-2003\r\n"
    "ChannelNumber: 4\r\n"
    "ChannelName  : Channel Four\r\n"
    "Duration     : 90\r\n"
    "Category     : News\r\n"
    "ReminderID   : 11\r\n"
    "SmartSearchID: 22\r\n"
    "FavouriteID  : 33\r\n"
    "Description  : Headlines\r\n";

TEST_F(AddinRecord, AppendsTheExampleProgrammeAsTheRecorderReadsIt) {
    store({"DEFAULT Template", "Half D1"}, useSchedule());
    load();
    record(0, example());
    EXPECT_EQ(readFile(schedule()), kExampleLines + "----------BREAK----------\r\n");

    record(1, example());
    EXPECT_EQ(readFile(schedule()), kExampleLines + "----------BREAK----------\r\n" + kExampleLines +
                                        "Template     : Half D1\r\n----------BREAK----------\r\n");
    const auto records = recorderView(schedule());
    ASSERT_EQ(records.size(), 2u);
    for (const auto& r : records) {
        EXPECT_TRUE(r.accepted) << r.problem;
        EXPECT_EQ(r.item.IndexString, "200303050705");
    }
    EXPECT_EQ(records[0].item.Template, "");
    EXPECT_EQ(records[1].item.Template, "Half D1");
}

TEST_F(AddinRecord, WritesEmptyTextsAndFullIdentifiersAsTheyAre) {
    store({}, useSchedule());
    KelboProgramme p = example();
    p.category = "";
    p.reminderId = p.smartSearchId = p.favouriteId = 4294967295u;
    p.duration = 0;
    record(0, p);
    const std::string text = readFile(schedule());
    EXPECT_NE(text.find("\r\nCategory     : \r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ReminderID   : 4294967295\r\nSmartSearchID: 4294967295\r\n"
                        "FavouriteID  : 4294967295\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Duration     : 0\r\n"), std::string::npos);

    // Null text addresses: empty values, not a crash.
    p.name = p.category = p.description = p.channelName = p.channelNumber = nullptr;
    record(0, p);
    const std::string second = readFile(schedule()).substr(text.size());
    EXPECT_EQ(second.substr(0, 17), "ProgrammeName: \r\n");
    EXPECT_NE(second.find("ChannelNumber: \r\nChannelName  : \r\n"), std::string::npos) << second;
    EXPECT_NE(second.find("Description  : \r\n----------BREAK"), std::string::npos) << second;
}

TEST_F(AddinRecord, EachLineBreakInADescriptionBecomesOneCrLf) {
    store({}, useSchedule());
    KelboProgramme p = example();
    p.description = "Drama in two parts.\rDirector: Ann Lee\r\nStarring: Bo Chen\n (2003)";
    record(0, p);
    const std::string text = readFile(schedule());
    EXPECT_NE(text.find("Description  : Drama in two parts.\r\nDirector: Ann Lee\r\n"
                        "Starring: Bo Chen\r\n (2003)\r\n----------BREAK"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    const auto records = recorderView(schedule());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].accepted);
    EXPECT_EQ(records[0].item.Description, "Drama in two parts.");
    EXPECT_EQ(records[0].item.Director, "Ann Lee");
    EXPECT_EQ(records[0].item.Starring, "Bo Chen");
}

TEST_F(AddinRecord, CreatesAMissingFileAndAppendsToAnExistingOne) {
    store({}, useSchedule());
    record(0, example());
    EXPECT_EQ(readFile(schedule()), kExampleLines + "----------BREAK----------\r\n");

    const std::string earlier = "ProgrammeName: Earlier\r\n----------BREAK----------\r\n";
    writeFile(schedule(), earlier);
    record(0, example());
    EXPECT_EQ(readFile(schedule()), earlier + kExampleLines + "----------BREAK----------\r\n");
}

TEST_F(AddinRecord, ReadsTheSchedulePathOnEveryCommandWithTheHomeFallback) {
    record(0, example());  // no store at all
    const auto fallback = dir / "home" / "KelboSchedule.txt";
    EXPECT_EQ(readFile(fallback), kExampleLines + "----------BREAK----------\r\n");

    store({}, "ScheduleFile=C:\\Shows\\list.txt\n");  // a stored Windows form
    std::filesystem::create_directories(dir / "home" / "Shows");
    record(0, example());
    EXPECT_TRUE(std::filesystem::exists(dir / "home" / "Shows" / "list.txt"));

    store({}, "ScheduleFile=" + (dir / "no-such-folder" / "s.txt").string() + "\n");
    record(0, example());  // cannot be opened: nothing written, nothing created
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
    EXPECT_EQ(readFile(fallback), kExampleLines + "----------BREAK----------\r\n");
}

// Guide text holding line breaks must not set fields of its own: a
// programme name that carries a "FileName" line, a description line that
// sets a ten-hour buffer, a separator that makes a second record.
TEST_F(AddinRecord, GuideTextCannotInjectFieldsOrRecords) {
    store({}, useSchedule());
    KelboProgramme p = example();
    p.name = "Evil\r\nFileName     : /srv/outside/evil.mpg";
    p.channelName = "Four\nTemplate     : Best";
    p.channelNumber = "4\r";
    p.category = "News\r\n----------BREAK----------";
    p.description = "Plot.\r\nStartBuffer  : 600\nDirector: Ann Lee\n (2003)\n"
                    "----------BREAK----------\nProgrammeName: Ghost\nStartTime    : 07:05\n"
                    "StartDate    : 05-03-2003\nChannelNumber: 4\nChannelName  : X\n"
                    "Duration     : 90";
    record(0, p);
    const std::string text = readFile(schedule());
    const auto records = recorderView(schedule());
    ASSERT_EQ(records.size(), 1u) << text;
    const kelbo::ScheduleItem& item = records[0].item;
    EXPECT_TRUE(records[0].accepted) << records[0].problem;
    EXPECT_EQ(item.ProgrammeName, "Evil  FileName     : /srv/outside/evil.mpg");
    EXPECT_EQ(item.ChannelName, "Four Template     : Best");
    EXPECT_EQ(item.ChannelNumber, "4 ");
    EXPECT_EQ(item.Category, "News  ----------BREAK----------");
    EXPECT_EQ(item.FileName, "");
    EXPECT_EQ(item.Template, "");
    EXPECT_EQ(item.StartBuffer, "");
    EXPECT_EQ(item.Description, "Plot.");
    EXPECT_EQ(item.Director, "Ann Lee");
    EXPECT_EQ(item.ExtraInfo, " (2003)");
    // The neutralised lines are still there, one space in.
    EXPECT_NE(text.find("\r\n StartBuffer  : 600\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n ----------BREAK----------\r\n ProgrammeName: Ghost\r\n"),
              std::string::npos)
        << text;
}

TEST_F(AddinRecord, AHandEditedLastLineWithoutItsEndDoesNotSwallowTheRecord) {
    store({}, useSchedule());
    const std::string edited = kExampleLines + "----------BREAK----------";
    writeFile(schedule(), edited);
    record(0, example());
    EXPECT_EQ(readFile(schedule()), edited + "\r\n" + kExampleLines + "----------BREAK----------\r\n");
    const auto records = recorderView(schedule());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].accepted && records[1].accepted) << records[1].problem;
}

// A write that fails part-way (the process may not make files that big, as
// on a full disk) leaves the file as it was and says so; the next append
// then lands whole.
TEST_F(AddinRecord, AFailedAppendIsTakenBackAndTold) {
    store({}, useSchedule());
    const std::string earlier = kExampleLines + "----------BREAK----------\r\n";
    writeFile(schedule(), earlier);
    std::vector<std::string> messages;
    reinterpret_cast<KelboSetMessageCallback>(symbol(KELBO_EXPORT_SET_MESSAGE_CALLBACK))(
        [](const char* text, void* list) { static_cast<std::vector<std::string>*>(list)->push_back(text); },
        &messages);

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = earlier.size() + 40;  // room for part of the record only
    ::setrlimit(RLIMIT_FSIZE, &small);
    ::testing::internal::CaptureStderr();
    record(0, example());
    const std::string err = ::testing::internal::GetCapturedStderr();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(readFile(schedule()), earlier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Morning News"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find(schedule().string()), std::string::npos) << messages[0];
    EXPECT_NE(err.find(messages[0]), std::string::npos) << err;

    record(0, example());
    EXPECT_EQ(readFile(schedule()), earlier + earlier);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(AddinRecord, AStoreWithAByteOrderMarkKeepsItsFirstSection) {
    std::filesystem::create_directories(storeFile().parent_path());
    writeFile(storeFile(), "\xEF\xBB\xBF[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\r\n" +
                               useSchedule());
    record(0, example());
    EXPECT_EQ(readFile(schedule()), kExampleLines + "----------BREAK----------\r\n");
}

}  // namespace

// A schedule in a shared folder: a link another user planted there in
// place of the file must not make the append write into the user's file.
TEST_F(AddinRecord, AnotherUsersLinkInASharedFolderIsNotAppendedThrough) {
    if (::geteuid() != 0) GTEST_SKIP() << "playing another user needs root";
    const auto shared = dir / "tmp";
    std::filesystem::create_directories(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const auto precious = dir / "notes.txt";
    writeFile(precious, "mine");
    std::filesystem::create_symlink(precious, shared / "KelboSchedule.txt");
    ASSERT_EQ(::lchown((shared / "KelboSchedule.txt").c_str(), 65534, 65534), 0);
    store({}, "ScheduleFile=" + (shared / "KelboSchedule.txt").string() + "\n");

    std::vector<std::string> messages;
    reinterpret_cast<KelboSetMessageCallback>(symbol(KELBO_EXPORT_SET_MESSAGE_CALLBACK))(
        [](const char* text, void* list) { static_cast<std::vector<std::string>*>(list)->push_back(text); },
        &messages);
    ::testing::internal::CaptureStderr();
    record(0, example());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(precious), "mine");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("symbolic link of another user"), std::string::npos) << messages[0];
}
