// Recordings tuned by a channel playlist, streams that cannot be opened,
// and the interruptions of a stream told in the finish notice. A fixed
// clock moved tick by tick and a scripted device.
#include "support/iptv_playlist.h"
#include "support/recorder_rig.h"
#include "support/scoped_state_home.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

const DateTime kEight = DateTime::fromCivil(2026, 12, 7, 20, 0);

const char kPlaylist[] =
    "#EXTM3U\r\n"
    "#EXTINF:-1 tvg-id=\"one.uk\" tvg-chno=\"101\",One\r\nhttp://127.0.0.1:1/one.ts\r\n"
    "#EXTINF:-1 tvg-id=\"films.uk\",Film Channel\r\nudp://127.0.0.1:2\r\n";

class ChannelTuningTest : public ::testing::Test {
protected:
    ChannelTuningTest() : rig(kEight.plusMinutes(-60)) {
        writeFile(rig.dir / "tv.m3u", kPlaylist);
        rig.settings.ChannelPlaylist = (rig.dir / "tv.m3u").string();
    }
    GuideRecord on(const std::string& number, const std::string& name, DateTime start = kEight) {
        GuideRecord record = programme(start == kEight ? "News" : "Later", start, 10, number);
        record.channelName = name;
        return record;
    }
    void startAt(DateTime start) {
        rig.clock.set(toInstant(start) + 400ms);
        rig.tick();
    }

    ScopedStateHome logHome;
    RecorderRig rig;
};

// A real-world playlist whose third line is TG4, numbered 1.
const std::vector<std::string> kHead = {
    "#EXTINF:-1 tvg-id=\"AlSharqiya.iq\" tvg-chno=\"BS191\",Al Sharqiya (1080p) [Not 24/7]\n"
    "https://sharqiya.example/index.m3u8\n",
    "#EXTINF:-1 tvg-id=\"\" tvg-chno=\"-\",Euronews (720p)\nhttps://euronews.example/en.m3u8\n",
    "#EXTINF:-1 tvg-id=\"TG4.ie\" tvg-chno=\"1\",TG4 (720p)\nhttps://tg4.example/live.m3u8\n",
};
const char kRteOne[] =
    "#EXTINF:-1 tvg-id=\"RTEOne.ie\" group-title=\"General\",RTÉ One (1080p) [Geo-blocked]\n"
    "#EXTVLCOPT:http-referrer=https://www.rte.example/player/\n"
    "https://rte.example/rte1/master.m3u8|User-Agent=Mozilla%2F5.0%20(X11%3B%20Linux)&X-Token=abc\n";

}  // namespace

TEST_F(ChannelTuningTest, TunesToTheEntryOfTheChannelNumberElseItsName) {
    rig.loadProgrammes({on("101", "One London")});
    startAt(kEight);
    EXPECT_EQ(rig.device.tunedUrl, "http://127.0.0.1:1/one.ts");
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    // Tuned before the capture starts.
    const auto& calls = rig.device.calls;
    const auto tuned = std::find(calls.begin(), calls.end(), "tuneStream http://127.0.0.1:1/one.ts");
    const auto started = std::find_if(calls.begin(), calls.end(),
                                      [](const std::string& c) { return c.rfind("StartCapture", 0) == 0; });
    EXPECT_LT(tuned, started);

    RecorderRig byName(kEight.plusMinutes(-60));
    writeFile(byName.dir / "tv.m3u", kPlaylist);
    byName.settings.ChannelPlaylist = (byName.dir / "tv.m3u").string();
    GuideRecord film = programme("Film", kEight, 10, "N/A");
    film.channelName = "FILM channel";
    byName.loadProgrammes({film});
    byName.clock.set(toInstant(kEight) + 400ms);
    byName.tick();
    EXPECT_EQ(byName.device.tunedUrl, "udp://127.0.0.1:2");
}

// Each cause of a programme that cannot start is told once, and one told
// cause does not keep another quiet: the user who freed the disk must still
// hear that the channel is missing.
TEST_F(ChannelTuningTest, AMissingChannelIsToldAfterTheDiskThatWasFullHasRoomAgain) {
    std::uintmax_t freeBytes = 1000;
    rig.session.freeSpace = [&freeBytes](const std::string&) { return std::optional(freeBytes); };
    rig.loadProgrammes({on("555", "Nowhere TV")});
    startAt(kEight);
    rig.run(3s);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Disk full");

    freeBytes = std::uintmax_t{500} * 1024 * 1024 * 1024;
    rig.run(5s);
    ASSERT_EQ(rig.messages.shown.size(), 2u) << "the channel is told as well, once";
    EXPECT_EQ(rig.messages.shown[1].title, "Channel not found");
    EXPECT_EQ(rig.device.count("StartCapture"), 0);
}

TEST_F(ChannelTuningTest, AChannelNotInThePlaylistFailsWithOneNoticeNamingIt) {
    rig.loadProgrammes({on("555", "Nowhere TV")});
    startAt(kEight);
    rig.run(5s);
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    EXPECT_NE(rig.scheduleText().find("Complete     : Failed\r\n"), std::string::npos);
    EXPECT_EQ(rig.device.count("StartCapture"), 0);
    ASSERT_EQ(rig.messages.shown.size(), 1u) << "told once, not at every tick";
    EXPECT_TRUE(rig.messages.shown[0].notice);
    EXPECT_EQ(rig.messages.shown[0].title, "Channel not found");
    EXPECT_NE(rig.messages.shown[0].text.find("channel 555 \"Nowhere TV\""), std::string::npos)
        << rig.messages.shown[0].text;
}

TEST_F(ChannelTuningTest, WithoutAPlaylistTheDeviceIsNotTuned) {
    rig.settings.ChannelPlaylist.clear();
    rig.loadProgrammes({on("555", "Nowhere TV")});
    startAt(kEight);
    EXPECT_EQ(rig.device.count("tuneStream"), 0);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
}

TEST_F(ChannelTuningTest, TheFinishNoticeCountsTheStreamsGaps) {
    rig.settings.ChannelPlaylist.clear();
    rig.device.gaps = {3, 5000};  // from before this recording
    GuideRecord news = programme("News", kEight, 60);
    rig.loadProgrammes({news});
    startAt(kEight);
    rig.run(30min);
    rig.device.gaps = {5, 5000 + 110'000};  // two more, 1:50 in all
    rig.run(31min);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recorded");
    EXPECT_TRUE(rig.messages.shown.empty());
    ASSERT_FALSE(rig.messages.announced.empty());
    const Announcement& last = rig.messages.announced.back();
    EXPECT_EQ(last.title, "Recording incomplete");
    // 59:59.6 of media (the first tick came 0.4 s in) less the gaps' 1:50.
    EXPECT_NE(last.text.find("recorded 58:09 of 60:00, 2 gaps"), std::string::npos) << last.text;
}

// The programme "on RTÉ One, channel 1" in a playlist whose third line is
// TG4, numbered 1: RTÉ One's own entry is opened, with its HTTP options,
// and the log says which line it is and why.
TEST_F(ChannelTuningTest, OpensTheEntryNamedForTheChannelAndLogsWhich) {
    const std::string playlist = iptvPlaylist(kHead, {kRteOne});
    writeFile(rig.dir / "tv.m3u", playlist);
    rig.loadProgrammes({on("1", "RTÉ One")});
    startAt(kEight);
    EXPECT_EQ(rig.device.tunedUrl, "https://rte.example/rte1/master.m3u8");
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_EQ(rig.device.tuned.http.referer, "https://www.rte.example/player/");
    EXPECT_EQ(rig.device.tuned.http.userAgent, "Mozilla/5.0 (X11; Linux)");
    const std::vector<std::pair<std::string, std::string>> token = {{"X-Token", "abc"}};
    EXPECT_EQ(rig.device.tuned.http.headers, token);
    const std::string line = std::to_string(lineOf(playlist, "RTÉ One (1080p)"));
    EXPECT_NE(logHome.logText().find("Channel 1 \"RTÉ One\" is playlist line " + line +
                                     " \"RTÉ One (1080p) [Geo-blocked]\" tvg-id \"RTEOne.ie\", by name: "
                                     "https://rte.example/rte1/master.m3u8"),
              std::string::npos)
        << logHome.logText();
}

TEST_F(ChannelTuningTest, RefusesAnEntryWhoseNameContradicts) {
    writeFile(rig.dir / "tv.m3u", iptvPlaylist(kHead));
    rig.loadProgrammes({on("1", "RTÉ One")});
    startAt(kEight);
    rig.run(5s);
    EXPECT_EQ(rig.device.count("tuneStream"), 0);
    EXPECT_EQ(rig.device.count("StartCapture"), 0);
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Channel not found");
    const std::string tg4 = "line 6 \"TG4 (720p)\" tvg-id \"TG4.ie\" tvg-chno \"1\"";
    EXPECT_NE(rig.messages.shown[0].text.find("channel 1 \"RTÉ One\""), std::string::npos)
        << rig.messages.shown[0].text;
    EXPECT_NE(rig.messages.shown[0].text.find(tg4), std::string::npos) << rig.messages.shown[0].text;
    EXPECT_NE(logHome.logText().find(tg4), std::string::npos) << "the log names the candidates";

    // A number repeated by a dozen streams is no channel either; the log
    // names them all.
    RecorderRig many(kEight.plusMinutes(-60));
    writeFile(many.dir / "tv.m3u", iptvPlaylist(kHead));
    many.settings.ChannelPlaylist = (many.dir / "tv.m3u").string();
    GuideRecord record = programme("Late", kEight, 10, "700");
    record.channelName = "Late TV";
    many.loadProgrammes({record});
    many.clock.set(toInstant(kEight) + 400ms);
    many.tick();
    EXPECT_EQ(many.device.count("tuneStream"), 0);
    ASSERT_EQ(many.messages.shown.size(), 1u);
    EXPECT_NE(many.messages.shown[0].text.find("and 9 more"), std::string::npos) << many.messages.shown[0].text;
}

// A stream that cannot be opened: the notice names the channel, the host
// and the reason, once for each cause, and the starts back off to one
// every 10 s instead of one a second for the whole programme.
TEST_F(ChannelTuningTest, AStreamThatCannotBeOpenedIsToldOnceAndRetriedLessOften) {
    rig.loadProgrammes({on("101", "One")});
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    rig.device.stream = CaptureDevice::StreamStatus{"http://user:pw@one.example:8080/one.ts",
                                                    "Server returned 403 Forbidden (access denied)"};
    std::vector<Clock::Steady> starts;
    rig.device.whileStarting = [&](const std::string&) { starts.push_back(rig.clock.steadyNow()); };
    startAt(kEight);
    rig.run(60s, 100ms);
    ASSERT_GE(starts.size(), 6u);
    std::vector<long long> gaps;
    for (size_t i = 1; i < starts.size(); ++i)
        gaps.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(starts[i] - starts[i - 1]).count());
    // Each start is given its second, then waits 1, 2, 4, 8, then 10 s.
    const std::vector<long long> waits = {1000, 2000, 4000, 8000, 10000, 10000};
    for (size_t i = 0; i < waits.size() && i < gaps.size(); ++i) {
        EXPECT_GE(gaps[i], 1000 + waits[i]) << "start " << i + 2;
        EXPECT_LE(gaps[i], 1000 + waits[i] + 200) << "start " << i + 2 << ": no later than its turn";
    }
    EXPECT_LE(starts.size(), 9u) << "not one a second";
    ASSERT_EQ(rig.messages.shown.size(), 1u) << "one cause, told once";
    EXPECT_TRUE(rig.messages.shown[0].notice);
    const std::string& text = rig.messages.shown[0].text;
    EXPECT_EQ(text, "Cannot record \"News\" on One: the stream at one.example:8080 cannot be opened: Server "
                    "returned 403 Forbidden (access denied). It is tried again at least every 10 s while the "
                    "programme is on.");
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");

    // Another cause is told too.
    rig.device.stream->openFailure = "Connection refused";
    rig.run(12s, 100ms);
    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_NE(rig.messages.shown[1].text.find("one.example:8080 cannot be opened: Connection refused"),
              std::string::npos);

    // The stream comes back: recorded within one wait.
    rig.device.stream->openFailure.clear();
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Record;
    rig.run(11s, 100ms);
    EXPECT_EQ(rig.cell(1, Column::Status), "Recording");
    EXPECT_EQ(rig.device.state, CaptureDevice::Recording);
}

// While the stream is still being opened nothing is told, and a stream
// never gets the capture card's words.
TEST_F(ChannelTuningTest, AStreamStillOpeningIsWaitedForWithoutTheCaptureCardsWords) {
    rig.loadProgrammes({on("101", "One")});
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Fail;
    rig.device.stream = CaptureDevice::StreamStatus{"http://127.0.0.1:1/one.ts", ""};
    startAt(kEight);
    rig.run(8s, 100ms);
    EXPECT_TRUE(rig.messages.shown.empty()) << "an opening that hears nothing gives up after 5 s by itself";
    EXPECT_GE(rig.device.count("StartCapture"), 7) << "the next tick tries again";
    rig.run(30s, 100ms);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text.find("Dazzle"), std::string::npos) << rig.messages.shown[0].text;
    EXPECT_NE(rig.messages.shown[0].text.find("nothing came from the stream at 127.0.0.1:1"), std::string::npos)
        << rig.messages.shown[0].text;
}

// A source that takes a while to bring its first picture is tuned and
// opened ahead of the start, its capture is waited for while it opens, it
// runs on into a programme back to back, and is closed when none follows.
TEST_F(ChannelTuningTest, ASlowSourceIsOpenedAheadWaitedForKeptBackToBackThenClosed) {
    rig.device.lead = 12s;
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Late;
    rig.loadProgrammes({on("101", "One"), on("101", "One", kEight.plusMinutes(10))});
    rig.clock.set(toInstant(kEight) - 11s);
    // The playlist is read on a thread of its own; ticks go on meanwhile.
    for (int i = 0; i < 200 && !rig.device.count("openSource"); ++i, std::this_thread::sleep_for(10ms)) rig.tick();
    ASSERT_EQ(rig.device.calls.back(), "openSource") << "tuned to " << rig.device.tunedUrl << " first";
    rig.device.stream = CaptureDevice::StreamStatus{rig.device.tunedUrl, "", true};
    rig.run(15s, 400ms);
    EXPECT_EQ(rig.device.count("StartCapture"), 1) << "an opening stream is not started again";
    rig.device.beginRecording();
    rig.device.onStart = ScriptedCaptureDevice::OnStart::Record;
    rig.run(10min, 400ms);
    EXPECT_EQ(rig.device.count("StartCapture"), 2);
    EXPECT_EQ(rig.device.count("StopCapture") + rig.device.count("StopPreview"), 0);
    rig.run(10min + 1s, 400ms);
    EXPECT_EQ(rig.device.calls.back(), "StopPreview") << "nothing follows";
}

namespace {

// The process's user and system time.
std::chrono::milliseconds cpuTime() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000 + t.tv_usec / 1000; };
    return std::chrono::milliseconds(ms(usage.ru_utime) + ms(usage.ru_stime));
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

// A playlist that is a FIFO, a device or a file far larger than any real one
// is refused at once: the tick returns and the programme fails saying why.
TEST_F(ChannelTuningTest, APlaylistThatIsNoRegularFileOrTooLargeIsRefusedAtOnce) {
    const std::filesystem::path fifo = rig.dir / "fifo.m3u";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Should a reader wait for a writer, one comes after 3 s so the test ends.
    std::thread rescue([&fifo] {
        std::this_thread::sleep_for(3s);
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    });
    rig.settings.ChannelPlaylist = fifo.string();
    rig.loadProgrammes({on("101", "One")});
    const auto before = std::chrono::steady_clock::now();
    startAt(kEight);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s) << "the tick waited on the FIFO";
    rescue.join();
    EXPECT_EQ(rig.cell(1, Column::Status), "Failed");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].text.find("cannot be read: not a regular file"), std::string::npos)
        << rig.messages.shown[0].text;

    for (const std::string& path : {std::string("/dev/zero"), (rig.dir / "huge.m3u").string()}) {
        // 100 MB: a real head and the rest of the file empty space.
        writeFile(rig.dir / "huge.m3u", kPlaylist);
        std::filesystem::resize_file(rig.dir / "huge.m3u", 100'000'000);
        RecorderRig other(kEight.plusMinutes(-60));
        other.settings.ChannelPlaylist = path;
        other.loadProgrammes({on("101", "One")});
        const long memoryBefore = residentKilobytes();
        const auto started = std::chrono::steady_clock::now();
        other.clock.set(toInstant(kEight) + 400ms);
        other.tick();
        other.run(3s);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << path;
        EXPECT_LT(residentKilobytes() - memoryBefore, 32 * 1024) << path;
        EXPECT_EQ(other.device.count("StartCapture"), 0) << path;
        ASSERT_EQ(other.messages.shown.size(), 1u) << path;
        EXPECT_NE(other.messages.shown[0].text.find(path == "/dev/zero" ? "not a regular file" : "larger than 64 MiB"),
                  std::string::npos) << other.messages.shown[0].text;
    }
}

// A large playlist without the programme's channel is read once, not at
// every tick the start is retried; a change of the file is read again.
TEST_F(ChannelTuningTest, APlaylistIsReadAgainOnlyWhenItsFileChanges) {
    const std::filesystem::path file = rig.dir / "tv.m3u";
    std::string big = "#EXTM3U\n";
    for (int i = 0; big.size() < 15'000'000; ++i)
        big += "#EXTINF:-1 tvg-id=\"c" + std::to_string(i) + "\" tvg-chno=\"" + std::to_string(1000 + i) +
               "\" group-title=\"Misc\",Channel " + std::to_string(i) + "\nhttp://iptv.example/live/" +
               std::to_string(i) + ".ts\n";
    writeFile(file, big);
    rig.loadProgrammes({on("555", "Nowhere TV")});
    const auto firstCpu = cpuTime();
    startAt(kEight);
    // Read on a thread of its own: the start waits for it a few ticks at most.
    for (int tick = 0; tick < 12 && rig.cell(1, Column::Status) != "Failed"; ++tick) rig.run(400ms);
    const auto firstRead = cpuTime() - firstCpu;
    ASSERT_EQ(rig.cell(1, Column::Status), "Failed");

    // The same size and time, the channel added: what was read is kept.
    const auto written = std::filesystem::last_write_time(file);
    std::string same = big;
    const std::string entry = "tvg-chno=\"1000\" group-title=\"Misc\",Channel 0\n";
    const std::string added = "tvg-chno=\"555\" group-title=\"Misc\",Nowhere TV\n";
    ASSERT_EQ(entry.size(), added.size());
    same.replace(same.find(entry), entry.size(), added);
    writeFile(file, same);
    std::filesystem::last_write_time(file, written);
    const auto retriesCpu = cpuTime();
    rig.run(8s);  // twenty retries
    const auto retries = cpuTime() - retriesCpu;
    EXPECT_EQ(rig.device.count("StartCapture"), 0) << "the file was read again though it did not change";
    EXPECT_LT(retries, firstRead / 2 + 100ms) << "20 retries cost " << retries.count() << " ms, the first read "
                                              << firstRead.count() << " ms";

    // Once it changes, a later try reads it and the channel is found.
    writeFile(file, same + "\n");
    for (int tick = 0; tick < 12 && rig.device.count("StartCapture") == 0; ++tick) rig.run(400ms);
    EXPECT_EQ(rig.device.count("StartCapture"), 1);
    EXPECT_EQ(rig.device.tunedUrl, "http://iptv.example/live/0.ts");
}
