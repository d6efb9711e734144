// Where a stream may lead FFmpeg: a stranger's HLS playlist or redirect
// must not reach this machine's own services, files or link, unless the
// stream itself is there. Served for real by the tests' HTTP server on the
// machine's own network address, with FFmpeg opening the streams.
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
