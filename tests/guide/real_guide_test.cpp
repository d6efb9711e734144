// The guide host against listings and playlists shaped like the ones users
// download: channels known only by name, the same start times on every
// channel, non-Latin texts, sub-titles, gzip, real-world playlists.
#include "real_guide_inputs.h"
#include "xmltv_sample.h"

#include "guide_addin.h"
#include "listing_programme.h"
#include "playlist_channels.h"
#include "series_apply.h"
#include "series_rules.h"
#include "support/temp_dir.h"
#include "xmltv_reader.h"

#include "common/channel_names.h"
#include "common/channel_playlist.h"
#include "common/schedule_format.h"
#include "common/settings_store.h"
#include "common/text_util.h"

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

std::map<std::string, std::string> numbersById(const XmltvListing& listing) {
    std::map<std::string, std::string> numbers;
    for (const XmltvProgramme& p : listing.programmes) numbers[listing.channels[p.channel].id] = listing.channelNumber(p);
    return numbers;
}

// Every number is a whole number, and only channels the listing itself
// gives one number share it.
void expectUsableUniqueNumbers(const XmltvListing& listing, const std::set<std::string>& mayShare) {
    std::map<std::string, std::string> owner;
    for (const auto& [id, number] : numbersById(listing)) {
        EXPECT_TRUE(!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
            << id << " has " << number;
        EXPECT_NE(number, "0") << id;
        const auto [at, added] = owner.emplace(number, id);
        if (!added) {
            EXPECT_TRUE(mayShare.contains(id) && mayShare.contains(at->second))
                << id << " and " << at->second << " share " << number;
        }
    }
}

TEST(GuideChannelNumbers, NamedChannelsGetUniqueNumbersThatStayTheSame) {
    const XmltvListing listing = readText(realGuide(kFrom));
    ASSERT_TRUE(listing.error.isEmpty()) << listing.error.toStdString();
    ASSERT_EQ(listing.channels.size(), realChannels().size());
    expectUsableUniqueNumbers(listing, {"PervyKanal.ru", "NHKG.jp"});
    const auto numbers = numbersById(listing);
    EXPECT_EQ(numbers.at("PervyKanal.ru"), "1") << "its <lcn>";
    EXPECT_EQ(numbers.at("NHKG.jp"), "1") << "the listing gives both the same <lcn>";
    EXPECT_EQ(numbers.at("France2.fr"), "2") << "a display name that is a number";
    // Made from the channel id alone, the same on every machine and in
    // every version, so records already in a schedule keep their channel.
    EXPECT_EQ(numbers.at("BBCOne.uk"), "342096");
    for (const char* named : {"BBCOne.uk", "RTEOne.ie", "AlSharqiya.iq", "Arte.fr", "CCTV4.cn"}) {
        const long number = std::stol(numbers.at(named));
        EXPECT_GE(number, 100000) << named;
        EXPECT_LE(number, 999999) << named;
    }

    // The next day's listing: other programmes, the channels in another
    // order and one more channel. Each channel keeps its number.
    std::string next = "<tv>";
    std::vector<RealChannel> reversed(realChannels().rbegin(), realChannels().rend());
    reversed.push_back({"BBCTwo.uk", "<display-name>BBC Two</display-name>", "Newsnight", "", 0});
    for (const RealChannel& c : reversed) {
        next += "<channel id='" + c.id + "'>" + c.inner + "</channel>";
        next += xmltvProgramme(c.id, kFrom + days(1), 60, "<title>" + c.news + "</title>");
    }
    next += "</tv>";
    const XmltvListing tomorrow = readText(next);
    ASSERT_TRUE(tomorrow.error.isEmpty()) << tomorrow.error.toStdString();
    const auto later = numbersById(tomorrow);
    for (const auto& [id, number] : numbers) EXPECT_EQ(later.at(id), number) << id;
    expectUsableUniqueNumbers(tomorrow, {"PervyKanal.ru", "NHKG.jp"});
}

// The recorder's playlist numbers a channel by the tvg-chno of the entry
// whose tvg-id is the channel's id, when that is a number no other channel
// has; its name is the entry's when the listing's names another station.
TEST(GuideChannelNumbers, PlaylistNumbersAndNamesWithoutClashesOrNonNumbers) {
    const std::vector<PlaylistEntry> playlist = parseM3u(realPlaylist());
    ASSERT_GE(playlist.size(), 300u);
    XmltvListing listing = readText(realGuide(kFrom));
    ASSERT_TRUE(listing.error.isEmpty()) << listing.error.toStdString();
    const auto withoutPlaylist = numbersById(listing);
    numberChannelsFromPlaylist(listing, playlist);
    expectUsableUniqueNumbers(listing, {"PervyKanal.ru", "NHKG.jp"});
    const auto numbers = numbersById(listing);
    EXPECT_EQ(numbers.at("BBCOne.uk"), "101") << "the first entry with its tvg-id";
    EXPECT_EQ(numbers.at("PervyKanal.ru"), "1") << "the listing's own <lcn> comes first";
    EXPECT_EQ(numbers.at("Channel7.au"), "7");
    EXPECT_NE(numbers.at("7mate.au"), "7") << "tvg-chno 7 is Channel 7's already";
    EXPECT_NE(numbers.at("Euronews.fr"), "2") << "tvg-chno 2 is France 2's number in the listing";
    for (const char* id : {"RTEOne.ie", "Arte.fr", "AlSharqiya.iq", "CCTV4.cn", "TV3.ie"})
        EXPECT_EQ(numbers.at(id), withoutPlaylist.at(id)) << id << ": no usable tvg-chno, its own number";

    std::map<std::string, std::string> names;
    for (const XmltvProgramme& p : listing.programmes) names[listing.channels[p.channel].id] = listing.channelName(p);
    EXPECT_EQ(names.at("BBCOne.uk"), "BBC One");
    EXPECT_EQ(names.at("RTEOne.ie"), "RT\u00c9 One") << "\"RT\u00c9 One (1080p)\" is the same station";
    EXPECT_EQ(names.at("TV3.ie"), "Virgin Media One");
    EXPECT_EQ(names.at("AlSharqiya.iq"), "Al Sharqiya") << "the Arabic name does not name the entry";
    EXPECT_EQ(names.at("CCTV4.cn"), "CCTV-4");
    EXPECT_EQ(names.at("Arte.fr"), "Arte") << "no entry: the listing's name";
    // Whatever name is handed over names the entry the tvg-id chose, so a
    // recorder matching names opens exactly that entry.
    for (const auto& [id, name] : names) {
        const auto entry = std::find_if(playlist.begin(), playlist.end(),
                                        [&](const PlaylistEntry& e) { return equalsIgnoreCase(e.tvgId, id); });
        if (entry == playlist.end()) continue;
        EXPECT_TRUE(sameChannelName(name, entry->name) || sameChannelName(name, entry->tvgName)) << id << ": " << name;
    }
}

TEST(GuideRealListing, KeepsEveryProgrammeWithItsTrueTimes) {
    const XmltvListing listing = readText(realGuide(kFrom));
    ASSERT_TRUE(listing.error.isEmpty()) << listing.error.toStdString();
    EXPECT_EQ(listing.badTimes, 0) << "zero-length programmes are not unreadable times";
    EXPECT_EQ(listing.withoutStop, 0);
    ASSERT_EQ(listing.programmes.size(), realChannels().size() * 5);
    size_t closes = 0;
    for (const XmltvProgramme& p : listing.programmes) {
        const std::string title(listing.text(p.title));
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
    EXPECT_EQ(episodeFromXmltvNs("1.25/0."), "S2 E26") << "a total of 0 is one not known";
    EXPECT_EQ(episodeFromXmltvNs("3/00.25/0.0/0"), "S4 E26");
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
        const std::string title(listing.text(p.title));
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

// Several grabbers give every channel the same start times: programmes at
// the same start on other channels are other programmes, and a series rule
// records each of them once.
TEST(GuideSeriesApply, SameStartOnOtherChannelsIsAnotherProgramme) {
    TempDir dir;
    const Instant soon = floor<minutes>(system_clock::now()) + hours(2);
    XmltvListing listing = readText(realGuide(soon));
    numberChannelsFromPlaylist(listing, parseM3u(realPlaylist()));
    // The schedule already holds "Inside the Palace" on BBC One, and a
    // hand-made record at the same start with BBC One's number on another
    // channel.
    const XmltvProgramme* bbc = nullptr;
    for (const XmltvProgramme& p : listing.programmes)
        if (listing.channels[p.channel].id == "BBCOne.uk" && listing.text(p.title) == "Inside the Palace") bbc = &p;
    ASSERT_TRUE(bbc);
    const GuideProgramme bbcPalace = guideProgramme(listing, *bbc);
    ScheduleItem item;
    item.ProgrammeName = "Inside the Palace";
    item.StartDate = bbcPalace.start.formatDate();
    item.StartTime = bbcPalace.start.formatTime();
    item.ChannelNumber = bbcPalace.channelNumber;
    item.ChannelName = "bbc one";  // the same channel: names match without regard to case
    item.Duration = "30";
    std::string file = formatRecord(item);
    item.ChannelName = "Hand-made";
    item.ProgrammeName = "Something else";
    file += formatRecord(item);
    writeFile(dir / "schedule.txt", file);

    std::vector<GuideProgramme> handed;
    const auto record = [&](size_t, const GuideProgramme& p) {
        handed.push_back(p);
        return true;
    };
    const RulesApplied applied =
        applyRules(listing, {{"Inside the Palace", "", 0, false}}, (dir / "schedule.txt").string(), system_clock::now(), record);
    EXPECT_EQ(applied.alreadyScheduled, 1) << "BBC One's";
    EXPECT_EQ(applied.recorded, int(realChannels().size()) - 1);
    std::set<std::string> channels;
    for (const GuideProgramme& p : handed) {
        EXPECT_EQ(p.start.formatTime(), bbcPalace.start.formatTime());
        channels.insert(p.channelNumber + " " + p.channelName);
    }
    EXPECT_EQ(channels.size(), handed.size()) << "each on a channel of its own";
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
