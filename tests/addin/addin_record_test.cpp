#include "addin_fixture.h"

#include "common/schedule_format.h"

#include <sstream>

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

}  // namespace
