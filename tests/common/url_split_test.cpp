// URLs split as FFmpeg's av_url_split splits them, which decides where
// FFmpeg connects (tests/fuzz/url_split_fuzz holds the two side by side).
#include "common/stream_url.h"
#include "common/url_split.h"

#include <gtest/gtest.h>

using namespace kelbo;

TEST(UrlSplit, ReadsEveryUrlAsFfmpegDoes) {
    struct Case {
        const char *url, *host;
        int port;
        const char* path;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"http:127.0.0.1:9000/seg.ts?u=http://x.invalid/", "127.0.0.1", 9000, "/seg.ts?u=http://x.invalid/"},
             {"http:/127.0.0.1/x", "127.0.0.1", -1, "/x"},
             {"https://u:p@[::1]:8443/a.m3u8", "::1", 8443, "/a.m3u8"},
             {"http://a@b@cdn.example?x=@y", "cdn.example", -1, "?x=@y"},
             {"http://cdn.example:4294967376/x", "cdn.example", 80, "/x"},  // atoi keeps 32 bits
             {"http://cdn.example:99999999999999999999/", "cdn.example", -1, "/"},
             {"http://cdn.example: +81#f", "cdn.example", 81, "#f"},
             {"rtsp://[::1:554/x", "[", 0, "/x"},
             {"udp://@239.0.0.1:1234", "239.0.0.1", 1234, ""},
             {"HTTP:///x", "", -1, "/x"},
             {"/var/tv/x.ts", "", -1, "/var/tv/x.ts"}}) {
        const UrlSplit split = splitUrlAsFfmpeg(c.url);
        EXPECT_EQ(split.host, c.host) << c.url;
        EXPECT_EQ(split.port, c.port) << c.url;
        EXPECT_EQ(split.path, c.path) << c.url;
    }
    EXPECT_EQ(splitUrlAsFfmpeg("https://a@b:c@h").authorization, "a@b:c");
    EXPECT_EQ(urlHost("http:127.0.0.1:9000/seg.ts?u=http://x.invalid/"), "127.0.0.1:9000");
}
