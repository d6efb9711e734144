#include "stream_servers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sched.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace kelbo::testing {

namespace {

using namespace std::chrono_literals;

// Listening, as the kernel's table says: a server that takes one client
// only must not be spent on a probe.
bool listeningQuietly(int port) {
    std::ifstream table("/proc/net/tcp");
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, ":%04X", port);
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (state == "0A" && local.size() > 5 && local.substr(local.size() - 5) == wanted) return true;
    }
    return false;
}

void run(const std::string& program, const std::vector<std::string>& arguments) {
    const ProgramRun result = runProgram(program, arguments, {}, std::chrono::seconds(60));
    ASSERT_EQ(result.status, 0) << program << ": " << result.err;
}

}  // namespace

int freePort(bool udp) {
    const int s = ::socket(AF_INET, udp ? SOCK_DGRAM : SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(s);
    return ntohs(address.sin_port);
}

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return {};
}

void makeClip(const std::filesystem::path& file, int seconds, bool black) {
    const std::string picture = black ? "color=c=black:size=320x240:rate=25"
                                      : "testsrc=size=320x240:rate=25";
    run(findProgram("ffmpeg"),
        {"-loglevel", "error", "-y", "-f", "lavfi", "-i", picture, "-f", "lavfi", "-i",
         "sine=frequency=440:sample_rate=48000", "-t", std::to_string(seconds), "-c:v", "mpeg2video",
         "-b:v", "800k", "-g", "12", "-c:a", "mp2", "-b:a", "128k", "-f", "mpegts", file.string()});
}

void makeH264Clip(const std::filesystem::path& file, int seconds) {
    run(findProgram("ffmpeg"),
        {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-f", "lavfi",
         "-i", "sine=frequency=440:sample_rate=48000", "-t", std::to_string(seconds), "-c:v", "libx264",
         "-g", "25", "-c:a", "aac", "-f", "mpegts", file.string()});
}

void makeHls(const std::filesystem::path& clip, const std::filesystem::path& folder,
             const std::string& name, int segmentSeconds) {
    run(findProgram("ffmpeg"),
        {"-loglevel", "error", "-y", "-i", clip.string(), "-c", "copy", "-f", "hls", "-hls_time",
         std::to_string(segmentSeconds), "-hls_list_size", "0", "-hls_playlist_type", "vod",
         "-hls_segment_filename", (folder / (name + "%d.ts")).string(),
         (folder / (name + ".m3u8")).string()});
}

void makeBroadcastClip(const std::filesystem::path& file, const BroadcastShape& shape) {
    const std::string group = std::to_string(25 * shape.keyEverySeconds);
    const std::string rate = std::to_string(shape.sampleRate);
    const std::string picture = shape.flashAndBeep ? "color=c=black:size=" + shape.size + ":rate=25,format=yuv420p,"
                                "geq=lum='if(eq(mod(N\\," + group + ")\\,50)\\,235\\,16)':cb=128:cr=128"
                                                   : "testsrc2=size=" + shape.size + ":rate=25";
    const std::string sound = shape.flashAndBeep ? "aevalsrc=exprs='if(lt(mod(t-2\\," + std::to_string(shape.keyEverySeconds) +
                                ")\\,0.04)\\,0.5*sin(2*PI*1000*t)\\,0)':s=" + rate + ":c=stereo"
                                                 : "sine=frequency=440:sample_rate=" + rate;
    std::vector<std::string> arguments{
        "-loglevel", "error", "-y", "-f", "lavfi", "-i", picture, "-f", "lavfi", "-i", sound,
        "-t", std::to_string(shape.seconds), "-c:v", "libx264", "-g", group, "-keyint_min", group,
        "-sc_threshold", "0"};
    if (shape.bFrames) {
        for (const char* a : {"-preset", "veryfast", "-bf", "3"}) arguments.emplace_back(a);
    } else {
        for (const char* a : {"-preset", "ultrafast"}) arguments.emplace_back(a);
    }
    for (const char* a : {"-c:a", "aac", "-b:a", "96k"}) arguments.emplace_back(a);
    if (shape.timeOffsetSeconds) {
        arguments.emplace_back("-output_ts_offset");
        arguments.push_back(std::to_string(shape.timeOffsetSeconds));
    }
    for (const char* a : {"-f", "mpegts"}) arguments.emplace_back(a);
    arguments.push_back(file.string());
    run(findProgram("ffmpeg"), arguments);
}

void makeTracksClip(const std::filesystem::path& file, const TracksShape& shape) {
    // Debian's ffmpeg has no teletext encoder: it carries raw teletext (a
    // data identifier and 22 lines of 46 bytes) every 0.4 s into the clip.
    const std::filesystem::path teletext = file.string() + ".txt";
    const std::string line = std::string("\x02\x2c\xe4") + std::string(43, '\x55');
    std::string packet = "\x10";
    for (int i = 0; i < 22; ++i) packet += line;
    std::ofstream raw(teletext, std::ios::binary);
    for (int i = 0; i < 40; ++i) raw << packet;
    raw.close();
    std::vector<std::string> arguments{
        "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=320x180:rate=25", "-f", "lavfi", "-i", "sine=f=440",
        "-f", "lavfi", "-i", "sine=f=660", "-f", "dvbtxt", "-raw_packet_size", "1013", "-i", teletext.string(), "-t", "12",
        "-map", "0:v", "-map", "1:a", "-g", "125", "-keyint_min", "125", "-sc_threshold", "0", "-metadata:s:a:0",
        "language=eng", "-c:v", shape.mpeg2 ? "mpeg2video" : "libx264", "-c:a:0", shape.mpeg2 ? "mp2" : "aac"};
    if (shape.germanSound)
        arguments.insert(arguments.end(), {"-map", "2:a", "-c:a:1", "ac3", "-metadata:s:a:1", "language=deu",
                                           "-disposition:a:1", "visual_impaired"});
    if (shape.teletext)
        arguments.insert(arguments.end(), {"-map", "3", "-c:s", "copy", "-bsf:s", "setts=ts=N*0.4/TB",
                                           "-metadata:s:s:0", "language=deu"});
    arguments.insert(arguments.end(), {"-f", "mpegts", file.string()});
    run(findProgram("ffmpeg"), arguments);
    if (shape.soundLeadSeconds <= 0) return;
    // The sound's TS packets (PIDs 0x101 and 0x102) moved that much earlier.
    std::ifstream in(file, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::pair<double, std::size_t>> order;
    for (std::size_t i = 0; i < data.size() / 188; ++i) {
        const bool sound = (data[i * 188 + 1] & 0x1f) == 0x01 && (data[i * 188 + 2] == 0x01 || data[i * 188 + 2] == 0x02);
        order.emplace_back(static_cast<double>(i) - (sound ? static_cast<double>(data.size()) / 188 / 12 * shape.soundLeadSeconds : 0), i);
    }
    std::stable_sort(order.begin(), order.end());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& [key, i] : order) out.write(data.data() + i * 188, 188);
}

void makeHlsWithDiscontinuity(const std::filesystem::path& first, const std::filesystem::path& second,
                              const std::filesystem::path& folder, const std::string& name,
                              int segmentSeconds) {
    makeHls(first, folder, name + "a", segmentSeconds);
    makeHls(second, folder, name + "b", segmentSeconds);
    const auto segments = [&](const std::string& part) {
        std::ifstream list(folder / (part + ".m3u8"));
        std::string line, kept;
        while (std::getline(list, line))
            if (line.rfind("#EXTINF", 0) == 0 || (!line.empty() && line[0] != '#')) kept += line + "\n";
        return kept;
    };
    std::ofstream(folder / (name + ".m3u8"))
        << "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:" << segmentSeconds
        << "\n#EXT-X-MEDIA-SEQUENCE:0\n#EXT-X-PLAYLIST-TYPE:VOD\n"
        << segments(name + "a") << "#EXT-X-DISCONTINUITY\n" << segments(name + "b") << "#EXT-X-ENDLIST\n";
}

TestServer::TestServer(const std::string& program, const std::vector<std::string>& arguments,
                       int tcpPort)
    : program_(program, arguments, {}) {
    if (tcpPort <= 0) return;
    // Ten seconds: starting python3 and ffmpeg on a busy machine takes a while.
    for (int i = 0; i < 200 && program_.running() && !listeningQuietly(tcpPort); ++i)
        std::this_thread::sleep_for(50ms);
}

TestServer TestServer::http(const std::filesystem::path& folder, int port) {
    return TestServer(findProgram("python3"),
                      {"-m", "http.server", std::to_string(port), "--bind", "127.0.0.1", "--directory",
                       folder.string()},
                      port);
}

TestServer TestServer::https(const std::filesystem::path& folder, const std::filesystem::path& tlsFolder,
                              int port, const std::vector<std::string>& redirects) {
    std::filesystem::create_directories(tlsFolder);
    const std::string cert = (tlsFolder / "cert.pem").string(), key = (tlsFolder / "key.pem").string();
    run(findProgram("openssl"), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out",
                                 cert, "-days", "2", "-subj", "/CN=127.0.0.1"});
    std::vector<std::string> arguments{KELBO_HTTPS_TEST_SERVER, std::to_string(port), folder.string(), cert, key};
    arguments.insert(arguments.end(), redirects.begin(), redirects.end());
    return TestServer(findProgram("python3"), arguments, port);
}

TestServer TestServer::liveHttp(const std::filesystem::path& clip, int port) {
    // The listening ffmpeg takes its one client and ends with it; the tests
    // only ever connect once per server.
    return TestServer(findProgram("ffmpeg"),
                      {"-loglevel", "error", "-re", "-stream_loop", "-1", "-i", clip.string(), "-c",
                       "copy", "-f", "mpegts", "-listen", "1",
                       "http://127.0.0.1:" + std::to_string(port) + "/live.ts"},
                      port);
}

TestServer TestServer::liveChannel(const std::filesystem::path& clip, int port, const std::string& offAir,
                                   const std::vector<std::string>& options) {
    std::vector<std::string> arguments{KELBO_LIVE_TEST_SERVER, std::to_string(port), clip.string()};
    if (!offAir.empty()) arguments.insert(arguments.end(), {"--off-air", offAir});
    arguments.insert(arguments.end(), options.begin(), options.end());
    return TestServer(findProgram("python3"), arguments, port);
}

TestServer TestServer::sender(const std::filesystem::path& clip, const std::string& format,
                              const std::string& url) {
    return TestServer(findProgram("ffmpeg"),
                      {"-loglevel", "error", "-re", "-stream_loop", "-1", "-i", clip.string(), "-c",
                       "copy", "-f", format, url},
                      0);
}

TestServer TestServer::udp(const std::filesystem::path& clip, int port) {
    return sender(clip, "mpegts", "udp://127.0.0.1:" + std::to_string(port) + "?pkt_size=1316");
}

TestServer TestServer::rtp(const std::filesystem::path& clip, int port) {
    return sender(clip, "rtp_mpegts", "rtp://127.0.0.1:" + std::to_string(port));
}

TestServer TestServer::rtsp(const std::filesystem::path& clip, int seconds, int port,
                            const std::vector<std::string>& options) {
    std::vector<std::string> arguments{KELBO_RTSP_TEST_SERVER, std::to_string(port), clip.string(),
                                       std::to_string(seconds)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return TestServer(findProgram("python3"), arguments, port);
}

TestServer TestServer::guarded(const std::filesystem::path& folder, int port,
                               const std::filesystem::path& requestLog, const std::vector<std::string>& options) {
    std::vector<std::string> arguments = {KELBO_GUARDED_TEST_SERVER, std::to_string(port), folder.string(),
                                          requestLog.string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return TestServer(findProgram("python3"), arguments, port);
}

void TestServer::kill() { program_.stop(SIGKILL, std::chrono::seconds(5)); }

NetRig::NetRig() : original_(::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC)) {
    if (::unshare(CLONE_NEWNET) != 0) {
        why_ = std::string("no network namespace can be made: ") + std::strerror(errno);
        return;
    }
    far_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    ::unshare(CLONE_NEWNET);
    near_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const auto ip = [this](const std::vector<std::string>& commands) {
        for (const std::string& command : commands) {
            std::istringstream in(command);
            std::vector<std::string> words;
            for (std::string word; in >> word;) words.push_back(word);
            const ProgramRun run = runProgram("/usr/sbin/ip", words, {});
            if (run.status != 0 && why_.empty()) why_ = "ip " + command + ": " + run.err;
        }
    };
    const std::string far = "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(far_);
    ip({"link set lo up", "link add kn0 type veth peer name kf0 netns " + far, "link set kn0 up",
        "addr add " + std::string(kNear) + "/24 dev kn0", "addr add " + std::string(kNearPrivate) + "/24 dev kn0"});
    remote([&] {
        ip({"link set lo up", "link set kf0 up", "addr add " + std::string(kFar) + "/24 dev kf0",
            "addr add " + std::string(kFarPrivate) + "/24 dev kf0"});
        return 0;
    });
}

NetRig::~NetRig() {
    ::setns(original_, CLONE_NEWNET);
    for (const int space : {original_, near_, far_}) ::close(space);
}

void NetRig::enter(int space) { ::setns(space, CLONE_NEWNET); }

Trap::Trap(const char* address) : socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) {
    sockaddr_in at{AF_INET, 0, {}, {}};
    ::inet_pton(AF_INET, address, &at.sin_addr);
    socklen_t size = sizeof at;
    ::bind(socket, reinterpret_cast<sockaddr*>(&at), size);
    ::listen(socket, 16);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&at), &size);
    port = ntohs(at.sin_port);
}

Trap::~Trap() { ::close(socket); }

bool Trap::reached() {
    const int client = ::accept(socket, nullptr, nullptr);
    if (client >= 0) ::close(client);
    return client >= 0;
}

}  // namespace kelbo::testing
