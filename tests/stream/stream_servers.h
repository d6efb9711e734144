#pragma once

#include "support/program_process.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kelbo::testing {

// A port on 127.0.0.1 that nothing listens on at the moment of asking
// (TCP or UDP). Servers started on it check that they came up.
int freePort(bool udp = false);

// The full path of a program found on PATH; empty when there is none.
std::string findProgram(const std::string& name);

// A short MPEG-TS clip made by ffmpeg: colour bars or black pictures
// (320x240, 25/s, MPEG-2) with a 440 Hz tone (MPEG audio), `seconds` long.
void makeClip(const std::filesystem::path& file, int seconds, bool black = false);
// The same bars as H.264 with AAC sound: codecs a program stream cannot hold.
void makeH264Clip(const std::filesystem::path& file, int seconds);
// An HLS playlist `name`.m3u8 with segments of `clip` in `folder`.
void makeHls(const std::filesystem::path& clip, const std::filesystem::path& folder,
             const std::string& name, int segmentSeconds = 2);

// What a broadcast's H.264/AAC MPEG-TS looks like: a moving picture, a key
// picture every so many seconds and no others (no scene cuts), B pictures
// or not, a tone at a given sample rate, time stamps from a given offset.
struct BroadcastShape {
    int seconds = 20;
    int keyEverySeconds = 2;
    bool bFrames = false;
    std::string size = "320x180";
    int sampleRate = 48000;
    int timeOffsetSeconds = 0;
    // Black pictures but one white frame, and silence but a beep of one
    // frame's length with it, 2 s after each key picture.
    bool flashAndBeep = false;
};
void makeBroadcastClip(const std::filesystem::path& file, const BroadcastShape& shape);
// 12 s of a channel's tracks as broadcasts carry them, a key picture every
// 5 s: H.264 with English AAC or MPEG-2 with English MPEG audio, German AC-3
// for the visually impaired, German teletext; the sound may be sent ahead.
struct TracksShape {
    bool mpeg2 = false, germanSound = true, teletext = true;
    double soundLeadSeconds = 0;
};
void makeTracksClip(const std::filesystem::path& file, const TracksShape& shape);
// A VOD playlist `name`.m3u8 in `folder`: the segments of `first`, then an
// EXT-X-DISCONTINUITY and those of `second` (both cut by makeHls).
void makeHlsWithDiscontinuity(const std::filesystem::path& first, const std::filesystem::path& second,
                              const std::filesystem::path& folder, const std::string& name,
                              int segmentSeconds);

// A server of the tests, started on loopback and killed when it goes.
class TestServer {
public:
    // python3's http.server serving `folder`.
    static TestServer http(const std::filesystem::path& folder, int port);
    // The same over HTTPS, with a self-signed certificate made in `tlsFolder`;
    // each of `redirects` ("PATH=URL") answers PATH with 302 Found to URL.
    static TestServer https(const std::filesystem::path& folder, const std::filesystem::path& tlsFolder,
                            int port, const std::vector<std::string>& redirects = {});
    // ffmpeg sending `clip` in real time, over and over, as a live MPEG-TS
    // over HTTP (one client) at http://127.0.0.1:PORT/live.ts.
    static TestServer liveHttp(const std::filesystem::path& clip, int port);
    // A head end: `clip` plays in real time, over and over, from the
    // moment the server listens, and each client that connects to
    // http://127.0.0.1:PORT/live.ts gets the channel from that moment on;
    // it is off the air `offAir` ("FROM-TO", seconds in) when given.
    // `options` go to the sending ffmpeg's output ("-output_ts_offset", "95433").
    static TestServer liveChannel(const std::filesystem::path& clip, int port, const std::string& offAir = {},
                                  const std::vector<std::string>& options = {});
    // ffmpeg sending `clip` in real time, over and over, as MPEG-TS to
    // udp://127.0.0.1:PORT.
    static TestServer udp(const std::filesystem::path& clip, int port);
    // The same as RTP packets (MPEG-TS payload) to rtp://127.0.0.1:PORT.
    static TestServer rtp(const std::filesystem::path& clip, int port);
    // The RTSP server of the tests at rtsp://127.0.0.1:PORT/x, sending
    // `clip` (`seconds` long) over and over as RTP in the RTSP connection;
    // `options` as rtsp_test_server.py takes them ("--redirect", URL).
    static TestServer rtsp(const std::filesystem::path& clip, int seconds, int port,
                           const std::vector<std::string>& options = {});
    // guarded_http_server.py serving `folder`: it refuses requests that
    // lack the headers its `options` need (--need Referer=...), and logs
    // each request's headers to `requestLog`.
    static TestServer guarded(const std::filesystem::path& folder, int port, const std::filesystem::path& requestLog,
                              const std::vector<std::string>& options);

    bool running() { return program_.running(); }
    void kill();

private:
    TestServer(const std::string& program, const std::vector<std::string>& arguments,
               int tcpPort);
    // ffmpeg sending `clip` in real time, over and over, as `format` to `url`.
    static TestServer sender(const std::filesystem::path& clip, const std::string& format,
                             const std::string& url);
    BackgroundProgram program_;
};

// Two machines in network namespaces of their own, joined by a cable: this
// thread is on the near one (its loopback, kNear, kNearPrivate), what
// remote() starts runs on the far one (kFar, in no private range, and
// kFarPrivate). Needs root; whyNot() is empty when it could be made.
class NetRig {
public:
    static constexpr const char *kNear = "198.51.100.1", *kFar = "198.51.100.2", *kNearPrivate = "10.99.0.1",
                                *kFarPrivate = "10.99.0.2";
    NetRig();
    ~NetRig();
    const std::string& whyNot() const { return why_; }
    template <class Start>
    auto remote(Start&& start) {
        enter(far_);
        auto started = start();
        enter(near_);
        return started;
    }

private:
    void enter(int space);
    std::string why_;
    int original_ = -1, near_ = -1, far_ = -1;
};

// A listening socket on `address` that nothing may reach (this machine's
// own service): reached() says whether anything connected.
struct Trap {
    explicit Trap(const char* address = "127.0.0.1");
    ~Trap();
    bool reached();
    int socket = -1, port = 0;
};

}  // namespace kelbo::testing
