#include "xmltv_sample.h"

#include "listing_model.h"
#include "xmltv_reader.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace kelbo;
using namespace kelbo::guide;
using namespace std::chrono;

namespace {

XmltvListing readText(const std::string& text, XmltvLimits limits = {}) {
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return XmltvReader(limits).read(buffer);
}

Instant utc(int y, unsigned m, unsigned d, int h, int min, int s = 0) {
    return time_point_cast<Instant::duration>(sys_days{year{y} / month{m} / day{d}} + hours{h} +
                                              minutes{min} + seconds{s});
}

TEST(XmltvTime, ReadsFullAndShortFormsWithTheirOffsets) {
    EXPECT_EQ(parseXmltvTime("20030305080500 +0100"), utc(2003, 3, 5, 7, 5));
    EXPECT_EQ(parseXmltvTime("20030305080500 -0230"), utc(2003, 3, 5, 10, 35));
    EXPECT_EQ(parseXmltvTime("200303050805"), utc(2003, 3, 5, 8, 5));
    EXPECT_EQ(parseXmltvTime("2003030508 UTC"), utc(2003, 3, 5, 8, 0));
    EXPECT_EQ(parseXmltvTime("20030305"), utc(2003, 3, 5, 0, 0));
    EXPECT_EQ(parseXmltvTime("20030305000000 +0100"), utc(2003, 3, 4, 23, 0));
    for (const char* bad : {"", "2003", "200303050", "20030231120000", "20030305250000",
                            "20030305080500 CET", "20030305080500 +01", "tomorrow"})
        EXPECT_FALSE(parseXmltvTime(bad)) << bad;
}

TEST(XmltvReader, ReadsTheSampleSortedWithChannelsAndSkips) {
    const XmltvListing listing = readText(kelbo::testing::kXmltvSample);
    ASSERT_TRUE(listing.error.isEmpty()) << listing.error.toStdString();
    EXPECT_EQ(listing.withoutStop, 1);
    EXPECT_EQ(listing.badTimes, 1);
    EXPECT_EQ(listing.leftOut, 0);
    ASSERT_EQ(listing.programmes.size(), 2u);

    const XmltvProgramme& early = listing.programmes[0];
    EXPECT_EQ(early.title, "Early Show");
    EXPECT_EQ(early.start, utc(2003, 3, 5, 6, 0));
    EXPECT_EQ(early.durationMinutes, 30);
    // Declared after its programme; no numeric display name.
    EXPECT_EQ(listing.channelName(early), "Named");
    EXPECT_EQ(listing.channelNumber(early), "0");

    const XmltvProgramme& news = listing.programmes[1];
    EXPECT_EQ(news.title, "Morning News");  // the first of several
    EXPECT_EQ(news.category, "News");
    EXPECT_EQ(news.description, "Headlines & weather.\nDirector: Ann Lee");
    EXPECT_EQ(news.start, utc(2003, 3, 5, 7, 5));
    EXPECT_EQ(news.durationMinutes, 90);
    EXPECT_EQ(listing.channelName(news), "Channel Four");
    EXPECT_EQ(listing.channelNumber(news), "4");
}

TEST(XmltvReader, RejectsWhatIsNotAnXmltvListing) {
    for (const std::string& text :
         {std::string("this is not XML at all"), std::string(""),
          std::string("<tv><programme start='20030305' stop='20030306'></tv>"),
          std::string("<html><body>listing</body></html>")}) {
        const XmltvListing listing = readText(text);
        EXPECT_FALSE(listing.error.isEmpty()) << text;
        EXPECT_TRUE(listing.programmes.empty()) << text;
    }
    EXPECT_FALSE(XmltvReader().readFile("/no/such/listing.xml").error.isEmpty());
}

TEST(XmltvReader, KeepsNoMoreThanItsLimits) {
    std::string text = "<tv>";
    for (int i = 0; i < 5; ++i)
        text += "<programme start='2003030508" + std::to_string(10 + i) +
                "00' stop='20030305090000' channel='c'><title>T" + std::to_string(i) +
                "</title><desc>" + std::string(30, 'd') + "\xC3\xA9" + "</desc></programme>";
    text += "</tv>";
    XmltvLimits limits;
    limits.maxProgrammes = 3;
    limits.maxDescriptionBytes = 31;  // the cut would split the two-byte character
    const XmltvListing listing = readText(text, limits);
    ASSERT_EQ(listing.programmes.size(), 3u);
    EXPECT_EQ(listing.leftOut, 2);
    EXPECT_EQ(listing.programmes[0].description, std::string(30, 'd'));
    EXPECT_EQ(listing.channelName(listing.programmes[0]), "c");  // no channel element: its id
}

TEST(ListingModel, HandsTheGuideALocalStartAndTheChannelNumber) {
    const char* saved = std::getenv("TZ");
    const std::string savedTz = saved ? saved : "UTC";
    setenv("TZ", "Europe/London", 1);  // summer time from 30 March 2003
    tzset();
    ListingModel model(readText(R"(<tv><channel id='c'><display-name>101</display-name></channel>
        <programme start='20030305070500 +0000' stop='20030305083500 +0000' channel='c'><title>Winter</title></programme>
        <programme start='20030601200000 +0200' stop='20030601210000 +0200' channel='c'><title>Summer</title></programme>
        </tv>)"));
    const GuideProgramme winter = model.programme(0);
    const GuideProgramme summer = model.programme(1);
    const QString summerStart = model.cell(1, ListingModel::Start);
    setenv("TZ", savedTz.c_str(), 1);
    tzset();

    const KelboProgramme w = winter.record();
    EXPECT_EQ(std::string(w.name), "Winter");
    EXPECT_EQ(std::string(w.channelNumber), "101");
    EXPECT_EQ(w.duration, 90u);
    EXPECT_EQ(w.start.year, 2003);
    EXPECT_EQ(w.start.month, 3);
    EXPECT_EQ(w.start.day, 5);
    EXPECT_EQ(w.start.dayOfWeek, 3);  // a Wednesday
    EXPECT_EQ(w.start.hour, 7);
    EXPECT_EQ(w.start.minute, 5);
    const KelboProgramme s = summer.record();
    EXPECT_EQ(s.start.hour, 19);  // 18:00 UTC is 19:00 British Summer Time
    EXPECT_EQ(s.start.dayOfWeek, 0);  // a Sunday
    EXPECT_EQ(summerStart, "01-06-2003 19:00");
    EXPECT_EQ(model.cell(0, ListingModel::Channel), "101 c");
}

}  // namespace
