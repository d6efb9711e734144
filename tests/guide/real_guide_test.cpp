// The guide host against listings and playlists shaped like the ones users
// download: channels known only by name, the same start times on every
// channel, non-Latin texts, sub-titles, gzip, real-world playlists.
#include "real_guide_inputs.h"
#include "xmltv_sample.h"

#include "guide_addin.h"
#include "listing_programme.h"
#include "support/temp_dir.h"
#include "xmltv_reader.h"

#include "common/schedule_format.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <set>
#include <sstream>

using namespace kelbo;
using namespace kelbo::guide;
using namespace kelbo::testing;
using namespace std::chrono;

namespace {

XmltvListing readText(const std::string& text) {
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return XmltvReader().read(buffer);
}

Instant utc(int y, unsigned m, unsigned d, int h, int min, int s = 0) {
    return time_point_cast<Instant::duration>(sys_days{year{y} / month{m} / day{d}} + hours{h} + minutes{min} +
                                              seconds{s});
}

const Instant kFrom = utc(2024, 3, 1, 17, 30);

TEST(GuideRealListing, KeepsEveryProgrammeWithItsTrueTimes) {
    const XmltvListing listing = readText(realGuide(kFrom));
    ASSERT_TRUE(listing.error.isEmpty()) << listing.error.toStdString();
    EXPECT_EQ(listing.badTimes, 0) << "zero-length programmes are not unreadable times";
    EXPECT_EQ(listing.withoutStop, 0);
    ASSERT_EQ(listing.programmes.size(), realChannels().size() * 5);
    size_t closes = 0;
    for (const XmltvProgramme& p : listing.programmes) {
        const std::string title = listing.text(p.title);
        if (title == "Close") {
            ++closes;
            EXPECT_EQ(p.durationMinutes, 0);
            EXPECT_EQ(p.start, kFrom + minutes(90));
        }
        if (title == "Weather") {
            // 18:30:45 to 19:00:15: from the minute it begins in, to a
            // whole minute not before its true end.
            EXPECT_EQ(p.start, kFrom + minutes(60)) << listing.channelName(p);
            EXPECT_EQ(p.durationMinutes, 31) << listing.channelName(p);
        }
    }
    EXPECT_EQ(closes, realChannels().size());
    // Every channel has its news at the same start: all of them are kept.
    std::set<uint32_t> newsChannels;
    for (const XmltvProgramme& p : listing.programmes)
        if (p.start == kFrom) newsChannels.insert(p.channel);
    EXPECT_EQ(newsChannels.size(), realChannels().size());
}

TEST(XmltvTime, SecondsAndOffsetsStartAtTheMinuteAndKeepTheEnd) {
    const XmltvListing listing = readText(
        "<tv><channel id='c'><display-name>BBC One</display-name></channel>"
        "<programme start='20240301183045 +0100' stop='20240301190015 +0100' channel='c'><title>Weather</title></programme>"
        "<programme start='20240301190015 +0100' stop='20240301190015 +0100' channel='c'><title>Close</title></programme>"
        "<programme start='20240301190015 +0100' stop='20240301190000 +0100' channel='c'><title>Backwards</title></programme>"
        "</tv>");
    ASSERT_EQ(listing.programmes.size(), 2u);
    EXPECT_EQ(listing.badTimes, 1) << "only the one whose stop is before its start";
    const XmltvProgramme& weather = listing.programmes[0];
    EXPECT_EQ(weather.start, utc(2024, 3, 1, 17, 30));
    EXPECT_EQ(weather.durationMinutes, 31);
    EXPECT_GE(weather.start + minutes(weather.durationMinutes), utc(2024, 3, 1, 18, 0, 15)) << "the true end is kept";
    EXPECT_EQ(listing.text(listing.programmes[1].title), "Close");
    EXPECT_EQ(listing.programmes[1].durationMinutes, 0);
    EXPECT_EQ(listing.programmes[1].start, utc(2024, 3, 1, 18, 0));
}

// The clock counts nanoseconds and holds only 1677 to 2262: a time beyond
// is unreadable, never a programme at some other date.
TEST(XmltvTime, RefusesTimesTheClockCannotHold) {
    for (const char* far : {"23000101120000 +0000", "22630101000000", "99991231235959 +0000", "16000101000000",
                            "00010101000000"})
        EXPECT_FALSE(parseXmltvTime(far)) << far;
    EXPECT_EQ(parseXmltvTime("21991231235959 +0000"), utc(2199, 12, 31, 23, 59, 59));
    const XmltvListing listing = readText(
        "<tv><programme start='23000101120000 +0000' stop='23000101130000 +0000' channel='c'><title>Far</title></programme>"
        "<programme start='20240301120000 +0000' stop='23000101130000 +0000' channel='c'><title>Long</title></programme>"
        "</tv>");
    EXPECT_TRUE(listing.programmes.empty());
    EXPECT_EQ(listing.badTimes, 2);
}

TEST(XmltvEpisode, LeavesOutAPartOfAnUnknownCount) {
    EXPECT_EQ(episodeFromXmltvNs("2022.36.0"), "S2023 E37");
    EXPECT_EQ(episodeFromXmltvNs("2022.36."), "S2023 E37");
    EXPECT_EQ(episodeFromXmltvNs("0.5.0/2"), "S1 E6 P1/2");
    EXPECT_EQ(episodeFromXmltvNs(".5.1"), "E6");
    EXPECT_EQ(episodeFromXmltvNs("..0/3"), "P1/3");
    const XmltvListing listing = readText(realGuide(kFrom));
    std::map<std::string, std::string> episodes;
    for (const XmltvProgramme& p : listing.programmes)
        if (p.episode) episodes[listing.channels[p.channel].id] = listing.text(p.episode);
    EXPECT_EQ(episodes.at("BBCOne.uk"), "S2023 E37");
    EXPECT_EQ(episodes.at("RTEOne.ie"), "S1 E6 P1/2");
    EXPECT_EQ(episodes.at("Arte.fr"), "E6") << "what the viewer sees on screen wins";
}

// What the add-in appends, as the recorder reads it back.
class GuideThroughTheAddin : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        std::filesystem::create_directories(dir / "config" / "kelbo");
        writeFile(dir / "config" / "kelbo" / "registry.ini",
                  "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nScheduleFile=" +
                      (dir / "schedule.txt").string() +
                      "\n[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\nDEFAULT Template=1\n");
        std::string error;
        addin = GuideAddin::load(KELBO_ADDIN_PATH, error);
        ASSERT_TRUE(addin) << error;
    }
    void TearDown() override {
        addin.reset();
        unsetenv("XDG_CONFIG_HOME");
    }
    std::vector<ReadRecord> scheduled() const {
        std::istringstream in(readFile(dir / "schedule.txt"));
        ScheduleReader reader(in);
        std::vector<ReadRecord> records;
        while (auto record = reader.next()) records.push_back(*record);
        return records;
    }

    TempDir dir;
    std::unique_ptr<GuideAddin> addin;
};

bool validUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

TEST_F(GuideThroughTheAddin, SubTitleAndDescriptionShareTheLineTheRecorderKeeps) {
    const XmltvListing listing = readText(realGuide(kFrom));
    std::vector<std::string> titles;
    for (const XmltvProgramme& p : listing.programmes) {
        const std::string id = listing.channels[p.channel].id;
        const std::string title = listing.text(p.title);
        if ((id == "BBCOne.uk" && title == "Inside the Palace") || (id == "PervyKanal.ru" && title == "Film")) {
            ASSERT_TRUE(addin->record(0, guideProgramme(listing, p).record()));
            titles.push_back(title);
        }
    }
    ASSERT_EQ(titles.size(), 2u);
    const auto records = scheduled();
    ASSERT_EQ(records.size(), 2u);
    for (const ReadRecord& record : records) {
        ASSERT_TRUE(record.accepted) << record.problem;
        const ScheduleItem& item = record.item;
        if (item.ProgrammeName == "Inside the Palace") {
            EXPECT_EQ(item.Description, "Pilot. " + kPilotDescription);
            EXPECT_EQ(item.Director, "Ann Lee");
            EXPECT_EQ(item.Starring, "Rania Al Abdullah");
            EXPECT_NE(item.ExtraInfo.find("S2023 E37"), std::string::npos) << item.ExtraInfo;
        } else {
            // A sub-title and 1000 bytes of Cyrillic: cut to the limit
            // between two letters.
            EXPECT_EQ(item.Description.rfind("\u0421\u0435\u0440\u0438\u044f 1. \u0414\u043b\u0438\u043d", 0), 0u)
                << item.Description;
            EXPECT_LE(item.Description.size(), kDescriptionBytes);
            EXPECT_GE(item.Description.size(), kDescriptionBytes - 3);
            EXPECT_TRUE(validUtf8(item.Description));
        }
    }
}

void writeGzip(const std::filesystem::path& file, const std::string& text) {
    const gzFile out = gzopen(file.c_str(), "wb");
    ASSERT_TRUE(out);
    ASSERT_EQ(gzwrite(out, text.data(), static_cast<unsigned>(text.size())), int(text.size()));
    ASSERT_EQ(gzclose(out), Z_OK);
}

// Public guides are published gzipped: guide.xml.gz.
TEST(GuideGzipListing, ReadsGzippedListingsByTheirFirstBytes) {
    TempDir dir;
    const std::string text = realGuide(kFrom);
    writeFile(dir / "guide.xml", text);
    writeGzip(dir / "guide.xml.gz", text);
    writeGzip(dir / "guide-named-plain.xml", text);  // compressed, whatever its name says
    const XmltvListing plain = XmltvReader().readFile(QString::fromStdString((dir / "guide.xml").string()));
    ASSERT_TRUE(plain.error.isEmpty()) << plain.error.toStdString();
    for (const char* name : {"guide.xml.gz", "guide-named-plain.xml"}) {
        const XmltvListing listing = XmltvReader().readFile(QString::fromStdString((dir / name).string()));
        ASSERT_TRUE(listing.error.isEmpty()) << name << ": " << listing.error.toStdString();
        ASSERT_EQ(listing.programmes.size(), plain.programmes.size()) << name;
        for (size_t i = 0; i < plain.programmes.size(); ++i) {
            EXPECT_EQ(listing.text(listing.programmes[i].title), plain.text(plain.programmes[i].title));
            EXPECT_EQ(listing.text(listing.programmes[i].description), plain.text(plain.programmes[i].description));
            EXPECT_EQ(listing.channelNumber(listing.programmes[i]), plain.channelNumber(plain.programmes[i]));
        }
    }

    // A download cut short is refused with a reason, not read as a
    // shorter listing.
    const std::string whole = readFile(dir / "guide.xml.gz");
    writeFile(dir / "cut.xml.gz", whole.substr(0, whole.size() / 2));
    const XmltvListing cut = XmltvReader().readFile(QString::fromStdString((dir / "cut.xml.gz").string()));
    EXPECT_TRUE(cut.error.contains("cut short")) << cut.error.toStdString();
    EXPECT_TRUE(cut.programmes.empty());
    const XmltvListing missing = XmltvReader().readFile(QString::fromStdString((dir / "none.xml.gz").string()));
    EXPECT_TRUE(missing.error.startsWith("cannot open")) << missing.error.toStdString();
    const XmltvListing folder = XmltvReader().readFile(QString::fromStdString(dir.path().string()));
    EXPECT_FALSE(folder.error.isEmpty());
}

}  // namespace
