// Where a stream may lead FFmpeg: a stranger's HLS playlist or redirect
// must not reach this machine's own services, files or link, unless the
// stream itself is there. Served for real by the tests' HTTP server on the
// machine's own network address, with FFmpeg opening the streams.
#include "recorder/media/gst/http_redirect.h"
#include "recorder/media/gst/stream_address.h"
#include "recorder/media/gst/stream_input.h"
#include "stream_servers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

// The machine's first IPv4 address that is not loopback; empty when none.
std::string ownNetworkAddress() {
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) return {};
    std::string found;
    for (const ifaddrs* a = all; a && found.empty(); a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || (a->ifa_flags & IFF_LOOPBACK) ||
            !(a->ifa_flags & IFF_UP))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr, text, sizeof text);
        if (std::string(text).rfind("169.254.", 0) != 0) found = text;
    }
    ::freeifaddrs(all);
    return found;
}

// The Host headers of the requests the server logged.
std::vector<std::string> requestedHosts(const std::filesystem::path& log) {
    std::vector<std::string> hosts;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        hosts.push_back(nlohmann::json::parse(line)["headers"].value("host", ""));
    return hosts;
}

}  // namespace

TEST(StreamAddress, OnlyNetworkProtocolsAndNothingLocalUnlessTheStreamIsLocal) {
    for (const char* refused :
         {"file:///etc/passwd", "/etc/passwd", "pipe:0", "rtmp://example.net/x", "concat:a|b", "unix:/run/x",
          "http://127.0.0.1:631/", "http://127.1/", "http://2130706433/", "http://0x7f000001/", "http://[::1]/",
          "https://localhost./x", "http://tv.localhost/", "http://169.254.169.254/latest/meta-data/",
          "http://[fe80::1]/", "http://[::ffff:127.0.0.1]/", "http://0.0.0.0:8080/", "crypto+http://127.0.0.1/key",
          "crypto:file:///etc/passwd", "udp://127.0.0.1:1234"})
        EXPECT_NE(urlRefusal(refused, false), "") << refused;
    for (const char* allowed : {"http://192.0.2.10/live/1.ts", "https://198.51.100.7:8443/index.m3u8",
                                "crypto+https://192.0.2.10/seg.ts", "data:text/plain;base64,AAAA",
                                "udp://@239.0.0.1:1234", "rtp://239.1.1.1:5004"})
        EXPECT_EQ(urlRefusal(allowed, false), "") << allowed;
    // A stream served from this machine may lead to it.
    EXPECT_EQ(urlRefusal("http://127.0.0.1:8080/seg1.ts", true), "");
    EXPECT_NE(urlRefusal("file:///etc/passwd", true), "");
    EXPECT_NE(urlRefusal("http://127.0.0.1:631/", false).find("127.0.0.1"), std::string::npos);
}

TEST(StreamAddress, AnHlsPlaylistOrRedirectLeadingToThisMachineIsNotFollowed) {
    const std::string own = ownNetworkAddress();
    if (own.empty()) GTEST_SKIP() << "this machine has no network address besides loopback";
    TempDir dir;
    makeClip(dir / "clip.ts", 6);
    makeHls(dir / "clip.ts", dir.path(), "good", 2);
    const int port = freePort();
    const std::string local = "http://127.0.0.1:" + std::to_string(port);
    // The same segments, named by the loopback address.
    std::ifstream good(dir / "good.m3u8");
    std::ostringstream bad;
    for (std::string line; std::getline(good, line);)
        bad << (!line.empty() && line[0] != '#' ? local + "/" + line : line) << '\n';
    writeFile(dir / "bad.m3u8", bad.str());
    const std::filesystem::path log = dir / "requests.log";
    TestServer server = TestServer::guarded(dir.path(), port, log,
                                            {"--bind", "0.0.0.0", "--redirect", "/moved.ts=" + local + "/clip.ts"});
    const std::string remote = "http://" + own + ":" + std::to_string(port);

    std::string error;
    EXPECT_TRUE(StreamInput::open({remote + "/good.m3u8", {}}, 64, 36, {}, &error)) << error;
    EXPECT_TRUE(StreamInput::open({local + "/bad.m3u8", {}}, 64, 36, {}, &error))
        << "a stream on this machine may lead to it: " << error;
    std::filesystem::remove(log);

    EXPECT_FALSE(StreamInput::open({remote + "/bad.m3u8", {}}, 64, 36, {}, &error));
    EXPECT_NE(error.find("refused to open " + local + "/good"), std::string::npos) << error;
    for (const std::string& host : requestedHosts(log))
        EXPECT_EQ(host.rfind("127.0.0.1", 0), std::string::npos) << "a segment was fetched from loopback";

    EXPECT_FALSE(StreamInput::open({remote + "/moved.ts", {}}, 64, 36, {}, &error));
    EXPECT_NE(error.find("redirected to " + local + "/clip.ts"), std::string::npos) << error;
}

// A stranger's server that redirects: each step is checked before it is
// taken, so a redirect to this machine never reaches it; a redirect to
// another scheme or round in a circle is refused by name; an ordinary one,
// relative or not, plays. Every step carries the entry's own header fields.
TEST(StreamAddress, ARedirectIsCheckedBeforeItIsTaken) {
    const std::string own = ownNetworkAddress();
    if (own.empty()) GTEST_SKIP() << "this machine has no network address besides loopback";
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
    TestServer server = TestServer::guarded(dir.path(), port, log, options);
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
