#include "common/schedule_format.h"
#include "support/schedule_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace kelbo;
using kelbo::testing::GuideRecord;

namespace {

std::vector<ReadRecord> readAll(const std::string& text) {
    std::istringstream in(text);
    ScheduleReader reader(in);
    std::vector<ReadRecord> records;
    while (auto r = reader.next()) records.push_back(std::move(*r));
    return records;
}

const char kSixLines[] =
    "ProgrammeName: News\r\nStartTime    : 18:00\r\nStartDate    : 01-02-2003\r\n"
    "ChannelNumber: 101\r\nChannelName  : Main\r\nDuration     : 30\r\n"
    "----------BREAK----------\r\n";

std::string without(std::string text, const std::string& line) {
    text.erase(text.find(line), line.size());
    return text;
}

}  // namespace

TEST(ScheduleReader, AcceptsTheSixRequiredLinesAndBuildsTheSortKey) {
    const auto records = readAll(kSixLines);
    ASSERT_EQ(records.size(), 1u);
    const ReadRecord& r = records[0];
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.item.IndexString, "200302011800");
    ScheduleItem expected;
    expected.ProgrammeName = "News";
    expected.StartTime = "18:00";
    expected.StartDate = "01-02-2003";
    expected.ChannelNumber = "101";
    expected.ChannelName = "Main";
    expected.Duration = "30";
    expected.IndexString = "200302011800";
    EXPECT_EQ(r.item, expected);
    EXPECT_EQ(r.firstLine, 1);
    EXPECT_EQ(r.lastLine, 7);
}

TEST(ScheduleReader, DropsRecordsWhoseRequiredLinesDoNotAddUp) {
    const std::string text = kSixLines;
    struct Case {
        std::string record, why;
    } cases[] = {
        {without(text, "ChannelName  : Main\r\n"), "no ChannelName line"},
        {without(text, "ProgrammeName: News\r\n"), "no ProgrammeName line"},
        {"ProgrammeName: Again\r\n" + text, "ProgrammeName line repeated"},
        {without(text, "Duration     : 30\r\n") + "", "no Duration line"},
    };
    for (const Case& c : cases) {
        const auto records = readAll(c.record);
        ASSERT_EQ(records.size(), 1u) << c.record;
        EXPECT_FALSE(records[0].accepted) << c.record;
        EXPECT_NE(records[0].problem.find(c.why), std::string::npos) << records[0].problem;
    }

    GuideRecord words;
    words.duration = "thirty";
    auto r = readAll(words.text());
    EXPECT_FALSE(r[0].accepted);
    EXPECT_EQ(r[0].problem, "Duration \"thirty\" does not read as a number");

    GuideRecord badTime;
    badTime.time = "25:00";
    r = readAll(badTime.text());
    EXPECT_FALSE(r[0].accepted);
    EXPECT_EQ(r[0].problem, "StartTime \"25:00\" does not read as a time");

    GuideRecord badDate;
    badDate.date = "31-02-2003";
    EXPECT_FALSE(readAll(badDate.text())[0].accepted);

    GuideRecord badChannel;
    badChannel.channelNumber = "four";
    EXPECT_FALSE(readAll(badChannel.text())[0].accepted);
}

TEST(ScheduleReader, KeepsAnItemAddedWithoutAChannelNumber) {
    // The add dialog offers "N/A" for a source without channels.
    GuideRecord record;
    record.channelNumber = "N/A";
    const auto records = readAll(record.text());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].accepted) << records[0].problem;
    EXPECT_EQ(records[0].item.ChannelNumber, "N/A");
}

TEST(ScheduleReader, TakesValuesFromPositionSixteenAsTheyStand) {
    const auto records = readAll(
        "Category     : Old\r\n"
        "ProgrammeName:XThe  Show \r\n"  // position 15 is skipped whatever it holds
        "Duration     : 30\r\nStartDate    : 01-02-2003\r\nChannelName  : Main\r\n"
        "StartTime    : 18:00\r\nChannelNumber: 101\r\nCategory     : New\r\n"
        "Director:  Jane Doe \r\nStarring: A, B\r\n (1999)\r\n"
        "programmename: ignored\r\nBogus        : x\r\n"
        "----------BREAK and more\r\n");
    ASSERT_EQ(records.size(), 1u);
    const ScheduleItem& item = records[0].item;
    EXPECT_TRUE(records[0].accepted);
    EXPECT_EQ(item.ProgrammeName, "The  Show ");
    EXPECT_EQ(item.Category, "New");
    EXPECT_EQ(item.Director, " Jane Doe ");
    EXPECT_EQ(item.Starring, "A, B");
    EXPECT_EQ(item.ExtraInfo, " (1999)");
}

TEST(ScheduleReader, GuideRecordWithEmptyValuesGivesEmptyFields) {
    GuideRecord guide;
    guide.templateName = "Half";
    const auto records = readAll(guide.text());
    ASSERT_TRUE(records[0].accepted);
    EXPECT_EQ(records[0].item.Category, "");
    EXPECT_EQ(records[0].item.Description, "");
    EXPECT_EQ(records[0].item.ReminderID, "0");
    EXPECT_EQ(records[0].item.Template, "Half");
}

TEST(ScheduleReader, ReadsEveryKindOfLineEnd) {
    std::string lf = kSixLines, cr = kSixLines;
    for (size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.replace(p, 2, "\n");
    for (size_t p; (p = cr.find("\r\n")) != std::string::npos;) cr.replace(p, 2, "\r");
    const auto reference = readAll(kSixLines)[0].item;
    for (const std::string& text : {lf, cr, lf + lf, cr + cr}) {
        const auto records = readAll(text);
        ASSERT_FALSE(records.empty());
        for (const auto& r : records) {
            EXPECT_TRUE(r.accepted);
            EXPECT_EQ(r.item, reference);
        }
    }
    EXPECT_EQ(readAll(lf + lf).size(), 2u);
}

TEST(ScheduleReader, ReportsTextAfterTheLastSeparator) {
    GuideRecord guide;
    const std::string unfinished = "ProgrammeName: Late\r\nStartTime    : 20:00";
    const auto records = readAll(guide.text() + unfinished);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].accepted);
    EXPECT_FALSE(records[1].accepted);
    EXPECT_FALSE(records[1].terminated);
    EXPECT_EQ(records[1].problem, "text after the last separator");
    EXPECT_EQ(records[1].lastLine, 14);
}

TEST(ScheduleReader, BlankRecordsAreNotProblems) {
    const auto records = readAll("\r\n----------BREAK----------\r\n\r\n");
    ASSERT_EQ(records.size(), 2u);
    for (const auto& r : records) {
        EXPECT_FALSE(r.accepted);
        EXPECT_TRUE(r.blank);
        EXPECT_EQ(r.problem, "");
    }
}

TEST(ScheduleReader, BoundsAVeryLongLine) {
    std::string text = "Description  : " + std::string(3u << 20, 'x') + "\r\n" + kSixLines;
    const auto records = readAll(text);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].accepted);
    EXPECT_EQ(records[0].item.Description.size(), LineReader::kDefaultMaxLine - 15);
}

TEST(FormatRecord, WritesNonEmptyFieldsInTheRecordersOrder) {
    ScheduleItem item;
    item.ProgrammeName = "News";
    item.StartTime = "18:00";
    item.StartDate = "01-02-2003";
    item.ChannelNumber = "101";
    item.ChannelName = "Main";
    item.Duration = "30";
    item.Description = "Today";
    item.Director = "Jane";
    item.ExtraInfo = " (1999)";
    item.Template = "Half";
    item.Complete = "Recorded";
    item.EndBuffer = "5";
    item.IndexString = "200302011800";
    EXPECT_EQ(formatRecord(item),
              "ProgrammeName: News\r\nStartTime    : 18:00\r\nStartDate    : 01-02-2003\r\n"
              "ChannelNumber: 101\r\nChannelName  : Main\r\nDuration     : 30\r\n"
              "Description  : Today\r\nDirector: Jane\r\n (1999)\r\nTemplate     : Half\r\n"
              "Complete     : Recorded\r\nEndBuffer    : 5\r\n----------BREAK----------\r\n");
    EXPECT_EQ(formatRecord(ScheduleItem{}), "");
}

TEST(FormatRecord, WhatItWritesReadsBackTheSame) {
    GuideRecord guide;
    guide.description = "Story";
    auto item = readAll(guide.text() + " (2001)\r\n----------BREAK----------\r\n")[0].item;
    item.Director = "D";
    item.Starring = " S ";
    item.ExtraInfo = " (2001)";
    item.FileName = "C:\\x\\y.mpg";
    const auto back = readAll(formatRecord(item));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].item, item);
}

// Text from the guide or typed into the recorder must not set fields it does
// not belong to, nor end the record early.
TEST(FormatRecord, LineBreaksInFieldsCannotInjectLinesOrRecords) {
    GuideRecord guide;
    ScheduleItem item = readAll(guide.text())[0].item;
    item.ProgrammeName = "Evil\r\nFileName     : /srv/outside/evil.mpg";
    item.ChannelName = "Main\n----------BREAK----------";
    item.Category = "Film\rStartBuffer  : 600";
    item.Director = "Ann\r\nComplete     : Recorded";
    item.Description = "Plot.\r\nStartBuffer  : 600\nDirector: Ann Lee\r (1999)\r\n"
                       "----------BREAK----------\r\nProgrammeName: Extra";
    const std::string text = formatRecord(item);
    const auto back = readAll(text);
    ASSERT_EQ(back.size(), 1u) << text;
    EXPECT_TRUE(back[0].accepted) << back[0].problem;
    EXPECT_EQ(back[0].item.ProgrammeName, "Evil  FileName     : /srv/outside/evil.mpg");
    EXPECT_EQ(back[0].item.ChannelName, "Main ----------BREAK----------");
    EXPECT_EQ(back[0].item.Category, "Film StartBuffer  : 600");
    EXPECT_EQ(back[0].item.Director, "Ann  Complete     : Recorded");
    EXPECT_EQ(back[0].item.FileName, "");
    EXPECT_EQ(back[0].item.StartBuffer, "");
    EXPECT_EQ(back[0].item.Complete, "");
    EXPECT_EQ(back[0].item.Description, "Plot.");
    EXPECT_EQ(back[0].item.ExtraInfo, " (1999)");
    EXPECT_NE(text.find("Description  : Plot.\r\n StartBuffer  : 600\r\nDirector: Ann Lee\r\n"
                        " (1999)\r\n ----------BREAK----------\r\n ProgrammeName: Extra\r\n"),
              std::string::npos)
        << text;
}

TEST(FormatAppendedRecord, GuideTextCannotInjectLinesOrRecords) {
    ScheduleItem item = readAll(GuideRecord{}.text())[0].item;
    item.ProgrammeName = "Evil\r\nFileName     : /srv/outside/evil.mpg";
    item.ChannelNumber = "4\nEndBuffer    : 600";
    item.Description = "Plot.\nStartBuffer  : 600\n----------BREAK----------\nStarring: Bo\nFine line";
    const std::string text = formatAppendedRecord(item);
    EXPECT_NE(text.find("ProgrammeName: Evil  FileName     : /srv/outside/evil.mpg\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Description  : Plot.\r\n StartBuffer  : 600\r\n ----------BREAK----------"
                        "\r\nStarring: Bo\r\nFine line\r\n----------BREAK----------\r\n"),
              std::string::npos)
        << text;
    const auto back = readAll(text);
    ASSERT_EQ(back.size(), 1u) << text;
    EXPECT_EQ(back[0].item.FileName, "");
    EXPECT_EQ(back[0].item.StartBuffer, "");
    EXPECT_EQ(back[0].item.EndBuffer, "");
    EXPECT_EQ(back[0].item.Starring, "Bo");
    EXPECT_EQ(back[0].item.ChannelNumber, "4 EndBuffer    : 600");
}
