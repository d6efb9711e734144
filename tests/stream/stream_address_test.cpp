// Where a stream may lead FFmpeg: a stranger's HLS playlist, redirect or
// RTSP server must not reach this machine's own services, files or link,
// nor a private network, unless the stream itself is there. Served for
// real by servers on a far machine (NetRig), with FFmpeg opening the streams.
#include "recorder/media/gst/http_redirect.h"
#include "recorder/media/gst/request_budget.h"
#include "recorder/media/gst/stream_address.h"
#include "recorder/media/gst/stream_input.h"
#include "recorder/media/gst/stream_reach.h"
#include "stream_servers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <netdb.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

// What `reach` makes of a look-up of `host`, made as FFmpeg makes them.
std::string lookUp(StreamReach& reach, const std::string& host) {
    const ReachGuard guard(reach);
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), "80", nullptr, &found) == 0) ::freeaddrinfo(found);
    return found ? "" : reach.takeRefusal();
}

// Opens `url`, given up after 10 s (a trap never answers).
bool opens(const std::string& url, std::string* error) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    return StreamInput::open({url, {}}, 64, 36, [end] { return std::chrono::steady_clock::now() > end; }, error) !=
           nullptr;
}

// `playlist` with each segment named from `base` ("http://host:port").
std::string segmentsAt(const std::filesystem::path& playlist, const std::string& base) {
    std::ifstream in(playlist);
    std::ostringstream out;
    for (std::string line; std::getline(in, line);)
        out << (!line.empty() && line[0] != '#' ? base + "/" : "") << line << '\n';
    return out.str();
}

std::string at(const std::string& host, int port) { return "http://" + host + ":" + std::to_string(port); }

// "rebind.test" answers `firstAnswer` (or nothing) once, then loopback.
std::atomic<int> rebindAsked{0};
const char* firstAnswer = nullptr;
int rebinding(const char* name, const char* service, const addrinfo* hints, addrinfo** found) {
    const char* answer = std::strcmp(name, "rebind.test") != 0 ? name : rebindAsked++ == 0 ? firstAnswer : "127.0.0.1";
    return answer ? systemResolver()(answer, service, hints, found) : EAI_NONAME;
}

}  // namespace

TEST(StreamAddress, OnlyNetworkUrlsThatEveryReaderReadsAlike) {
    for (const char* refused :
         {"file:///etc/passwd", "/etc/passwd", "pipe:0", "rtmp://example.net/x", "concat:a|b", "unix:/run/x",
          "crypto:file:///etc/passwd", "http:127.0.0.1:9000/seg.ts?u=http://x.invalid/", "http:/127.0.0.1/x",
          "crypto+http:127.0.0.1/key", "http:///x", "https://user@/x"})
        EXPECT_NE(urlRefusal(refused), "") << refused;
    for (const char* allowed : {"http://192.0.2.10/live/1.ts", "https://198.51.100.7:8443/index.m3u8",
                                "crypto+https://192.0.2.10/seg.ts", "data:text/plain;base64,AAAA",
                                "udp://@239.0.0.1:1234", "rtp://239.1.1.1:5004", "udp://@:1234"})
        EXPECT_EQ(urlRefusal(allowed), "") << allowed;
}

// Every look-up is checked as it is made, in any spelling the resolver
// reads, against where the entry itself was found.
TEST(StreamAddress, WhatAStreamLeadsToIsCheckedAgainstWhereItsEntryIs) {
    std::vector<std::string> local{"127.0.0.1", "127.1", "2130706433", "0x7f000001", "::1", "::ffff:127.0.0.1",
                                   "localhost", "0.0.0.0", "64:ff9b::7f00:1"};
    for (const std::string& own : ownAddresses()) local.push_back(own);  // 192.0.2.2 here, when it has one
    struct Case {
        std::string entry;
        std::vector<std::string> allowed, refused;
    };
    for (Case c : std::vector<Case>{
             {"203.0.113.9", {"198.51.100.7", "239.1.1.1", "2001:db8::1"},
              {"169.254.169.254", "fe80::1", "10.1.2.3", "172.16.0.1", "192.168.1.1", "100.64.0.1", "fd00::1"}},
             {"10.1.1.1", {"10.2.3.4", "198.51.100.7"}, {"192.168.1.1", "169.254.1.1"}},
             {"127.0.0.1", {"10.2.3.4", "169.254.1.1"}, {}}}) {
        std::vector<std::string>& more = c.entry == "127.0.0.1" ? c.allowed : c.refused;
        more.insert(more.end(), local.begin(), local.end());
        StreamReach reach(c.entry);
        EXPECT_EQ(lookUp(reach, c.entry), "") << "the entry itself";
        for (const std::string& host : c.allowed) EXPECT_EQ(lookUp(reach, host), "") << c.entry << " to " << host;
        for (const std::string& host : c.refused)
            EXPECT_NE(lookUp(reach, host).find("it leads to " + host), std::string::npos) << c.entry;
    }
}

TEST(StreamAddress, ATunersRequestsWaitTheirTurnsBeyondABurst) {
    RequestBudget budget(3, 2);  // 3 at once, then 2 a second
    for (const auto& [at, wait] : std::vector<std::pair<int, int>>{
             {0, 0}, {0, 0}, {0, 0}, {0, 500}, {0, 1000}, {2000, 0}, {2000, 0}, {2000, 500}, {60000, 0}})
        EXPECT_EQ(budget.take(RequestBudget::Clock::time_point{std::chrono::hours(1) + std::chrono::milliseconds(at)}),
                  std::chrono::milliseconds(wait)) << "at " << at << " ms";
}

// Playlists, redirects and RTSP redirects from a stranger's server, and a
// name that answers otherwise when asked again (DNS rebinding) or not at
// all, leading near: only an entry in a private network may lead into that
// one, and none to this machine (loopback or its own network address).
TEST(StreamAddress, AStreamLeadsNowhereNearUnlessItIsThereItself) {
    NetRig rig;
    if (!rig.whyNot().empty()) GTEST_SKIP() << rig.whyNot();
    TempDir dir;
    makeClip(dir / "clip.ts", 6);
    makeHls(dir / "clip.ts", dir.path(), "good", 2);
    Trap loopback, near(NetRig::kNear);
    auto farPrivate = rig.remote([] { return std::make_unique<Trap>(NetRig::kFarPrivate); });
    const int port = freePort(), rtspPort = freePort();
    const std::string far = NetRig::kFar;
    struct Case {
        std::string entry, target;
        Trap* trap;  // what must stay unreached; null: the far server itself
        bool plays;
    };
    const std::vector<Case> cases{
        {far, at("127.0.0.1", loopback.port), &loopback, false}, {far, at(NetRig::kNear, near.port), &near, false},
        {far, at(NetRig::kFarPrivate, farPrivate->port), farPrivate.get(), false},
        {far, at(far, port), nullptr, true},
        {NetRig::kFarPrivate, at("127.0.0.1", loopback.port), &loopback, false},
        {NetRig::kFarPrivate, at(NetRig::kNear, near.port), &near, false},
        {NetRig::kFarPrivate, at(NetRig::kFarPrivate, port), nullptr, true}};
    std::vector<std::string> options{"--bind", "0.0.0.0"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        writeFile(dir / ("to" + std::to_string(i) + ".m3u8"), segmentsAt(dir / "good.m3u8", cases[i].target));
        options.insert(options.end(),
                       {"--redirect", "/to" + std::to_string(i) + ".ts=" + cases[i].target + "/clip.ts"});
    }
    writeFile(dir / "rebind.m3u8", segmentsAt(dir / "good.m3u8", at("rebind.test", loopback.port)));
    const std::string rtspTarget = "rtsp://127.0.0.1:" + std::to_string(loopback.port) + "/x";
    std::vector<TestServer> servers;
    rig.remote([&] {
        servers.push_back(TestServer::guarded(dir.path(), port, dir / "log", options));
        servers.push_back(
            TestServer::rtsp(dir / "clip.ts", 6, rtspPort, {"--bind", "0.0.0.0", "--redirect", rtspTarget}));
        return 0;
    });
    std::string error;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        for (const char* type : {".m3u8", ".ts"}) {
            EXPECT_EQ(opens(at(cases[i].entry, port) + "/to" + std::to_string(i) + type, &error), cases[i].plays)
                << cases[i].entry << " to " << cases[i].target << type << ": " << error;
            EXPECT_EQ(error.find("refused to open") != std::string::npos, !cases[i].plays) << error;
            error.clear();
        }
        EXPECT_FALSE(cases[i].trap && cases[i].trap->reached()) << cases[i].target << " was reached";
    }
    EXPECT_FALSE(opens("rtsp://" + far + ":" + std::to_string(rtspPort) + "/x", &error));
    EXPECT_NE(error.find("it leads to 127.0.0.1, on this machine"), std::string::npos) << error;
    setResolverForTests(&rebinding);
    for (const char* first : {NetRig::kFar, static_cast<const char*>(nullptr)}) {
        firstAnswer = first;
        rebindAsked = 0;
        EXPECT_FALSE(opens(at(far, port) + "/rebind.m3u8", &error));
        EXPECT_NE(error.find("it leads to rebind.test (127.0.0.1), on this machine"), std::string::npos) << error;
    }
    setResolverForTests(nullptr);
    EXPECT_FALSE(loopback.reached()) << "by RTSP or a name answering anew";
}

// A master playlist whose variants are the master again (at other
// addresses of it): read once, its copies refused, not read without end.
TEST(StreamAddress, APlaylistOfPlaylistsIsNotNestedDeeper) {
    TempDir dir;
    std::string master = "#EXTM3U\n";
    for (int i = 1; i <= 20; ++i)
        master += "#EXT-X-STREAM-INF:BANDWIDTH=100000\nmaster.m3u8?v=" + std::to_string(i) + "\n";
    writeFile(dir / "master.m3u8", master);
    const int port = freePort();
    TestServer server = TestServer::guarded(dir.path(), port, dir / "log", {});
    std::string error;
    EXPECT_FALSE(opens(at("127.0.0.1", port) + "/master.m3u8", &error));
    EXPECT_NE(error.find("it is a playlist of playlists inside another playlist"), std::string::npos) << error;
    std::ifstream log(dir / "log");
    EXPECT_EQ(std::count(std::istreambuf_iterator<char>(log), {}, '\n'), 21) << "the master and each variant once";
}

// A stranger's server that redirects: each step is checked before it is
// taken, so a redirect to this machine never reaches it; a redirect to
// another scheme or round in a circle is refused by name; an ordinary one,
// relative or not, plays. Every step carries the entry's own header fields.
TEST(StreamAddress, ARedirectIsCheckedBeforeItIsTaken) {
    NetRig rig;
    if (!rig.whyNot().empty()) GTEST_SKIP() << rig.whyNot();
    const std::string own = NetRig::kFar;
    TempDir dir;
    makeClip(dir / "clip.ts", 4);
    makeHls(dir / "clip.ts", dir.path(), "good", 2);
    // This machine's own service, which the stranger's stream must not reach.
    const std::filesystem::path loopbackLog = dir / "loopback.log";
    const int loopbackPort = freePort();
    TestServer loopback = TestServer::guarded(dir.path(), loopbackPort, loopbackLog, {});
    const std::string local = "http://127.0.0.1:" + std::to_string(loopbackPort);

    const int port = freePort();
    const std::string remote = "http://" + own + ":" + std::to_string(port);
    // An HLS playlist whose segments each redirect to this machine.
    std::ifstream good(dir / "good.m3u8");
    std::ostringstream hops;
    std::vector<std::string> options{"--bind", "0.0.0.0", "--need", "User-Agent=TestBox/2.1"};
    for (std::string line; std::getline(good, line);) {
        const bool segment = !line.empty() && line[0] != '#';
        hops << (segment ? "to-loopback/" + line : line) << '\n';
        if (segment) options.insert(options.end(), {"--redirect", "/to-loopback/" + line + "=" + local + "/" + line});
    }
    writeFile(dir / "hops.m3u8", hops.str());
    for (const std::string& redirect : std::vector<std::string>{
             "/home.ts=" + local + "/clip.ts", "/file.ts=file:///etc/passwd", "/ftp.ts=ftp://" + own + "/clip.ts",
             "/hop.ts=" + remote + "/sub/rel.ts", "/sub/rel.ts=../clip.ts", "/live.m3u8=good.m3u8",
             "/a.ts=/b.ts", "/b.ts=/a.ts", "/ctl.ts=/clip.ts\x01HEAD"})
        options.insert(options.end(), {"--redirect", redirect});
    const std::filesystem::path log = dir / "requests.log";
    TestServer server = rig.remote([&] { return TestServer::guarded(dir.path(), port, log, options); });
    auto open = [&](const std::string& path, std::string* error) {
        StreamRequest request{remote + path, {}};
        request.http.userAgent = "TestBox/2.1";
        return StreamInput::open(request, 64, 36, {}, error) != nullptr;
    };

    std::string error;
    EXPECT_FALSE(open("/home.ts", &error));
    EXPECT_NE(error.find("refused to open " + remote + "/home.ts, redirected to " + local + "/clip.ts: it leads to "
                         "127.0.0.1"),
              std::string::npos)
        << error;
    EXPECT_FALSE(open("/hops.m3u8", &error));
    EXPECT_NE(error.find("redirected to " + local + "/good"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(loopbackLog)) << "a redirect reached this machine";

    EXPECT_FALSE(open("/file.ts", &error));
    EXPECT_NE(error.find("redirected to file:///etc/passwd: it leads to a file: address"), std::string::npos)
        << error;
    EXPECT_FALSE(open("/ftp.ts", &error));
    EXPECT_NE(error.find("it leads to a ftp: address"), std::string::npos) << error;
    EXPECT_FALSE(open("/a.ts", &error));
    EXPECT_NE(error.find("refused to open " + remote + "/a.ts: it redirects more than 5 times"), std::string::npos)
        << error;

    EXPECT_FALSE(open("/ctl.ts", &error));
    EXPECT_NE(error.find("it redirects to an address with control characters"), std::string::npos) << error;

    EXPECT_TRUE(open("/hop.ts", &error)) << error;
    EXPECT_TRUE(open("/live.m3u8", &error)) << error;

    std::ifstream in(log);
    int requests = 0;
    for (std::string line; std::getline(in, line); ++requests) {
        const nlohmann::json request = nlohmann::json::parse(line);
        EXPECT_EQ(request["headers"].value("user-agent", ""), "TestBox/2.1") << request["path"];
        EXPECT_NE(request["status"], 403) << request["path"];
    }
    EXPECT_GT(requests, 0);
}

// Over HTTPS each step is asked over TLS in the same way.
TEST(StreamAddress, RedirectsOverHttpsAreFollowedStepByStep) {
    TempDir dir;
    makeClip(dir / "clip.ts", 3);
    const int port = freePort();
    const std::string base = "https://127.0.0.1:" + std::to_string(port);
    TestServer server = TestServer::https(dir.path(), dir / "tls", port,
                                          {"/away.ts=" + base + "/moved.ts", "/moved.ts=clip.ts",
                                           "/file.ts=file:///etc/passwd"});
    ASSERT_TRUE(server.running());

    const std::optional<HttpHead> head = askHttpHead(base + "/away.ts", {}, nullptr);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 302);
    EXPECT_EQ(head->location, base + "/moved.ts");

    std::string error;
    EXPECT_TRUE(StreamInput::open({base + "/away.ts", {}}, 64, 36, {}, &error)) << error;
    EXPECT_FALSE(StreamInput::open({base + "/file.ts", {}}, 64, 36, {}, &error));
    EXPECT_NE(error.find("redirected to file:///etc/passwd: it leads to a file: address"), std::string::npos)
        << error;
}
