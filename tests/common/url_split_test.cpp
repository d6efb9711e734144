// URLs split as FFmpeg's av_url_split splits them, which decides where
// FFmpeg connects (tests/fuzz/url_split_fuzz holds the two side by side).
#include "common/stream_url.h"
#include "common/url_split.h"

#include <gtest/gtest.h>

using namespace kelbo;

TEST(UrlSplit, ReadsEveryUrlAsFfmpegDoes) {
    struct Case {
        const char* url;
        const char *scheme, *authorization, *host;
        int port;
        const char* path;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"http:127.0.0.1:9000/seg.ts?u=http://x.invalid/", "http", "", "127.0.0.1", 9000, "/seg.ts?u=http://x.invalid/"},
             {"http:/127.0.0.1/x", "http", "", "127.0.0.1", -1, "/x"},
             {"https://u:p@[::1]:8443/a.m3u8", "https", "u:p", "::1", 8443, "/a.m3u8"},
             {"http://a@b@cdn.example?x=@y", "http", "a@b", "cdn.example", -1, "?x=@y"},
             {"http://cdn.example:4294967376/x", "http", "", "cdn.example", 80, "/x"},  // atoi keeps 32 bits
             {"http://cdn.example:99999999999999999999/", "http", "", "cdn.example", -1, "/"},
             {"http://cdn.example: +81#f", "http", "", "cdn.example", 81, "#f"},
             {"http://cdn.example:x/", "http", "", "cdn.example", 0, "/"},
             {"rtsp://[::1:554/x", "rtsp", "", "[", 0, "/x"},
             {"udp://@239.0.0.1:1234", "udp", "", "239.0.0.1", 1234, ""},
             {"HTTP:///x", "HTTP", "", "", -1, "/x"},
             {"/var/tv/x.ts", "", "", "", -1, "/var/tv/x.ts"}}) {
        const UrlSplit split = splitUrlAsFfmpeg(c.url);
        EXPECT_EQ(split.scheme, c.scheme) << c.url;
        EXPECT_EQ(split.authorization, c.authorization) << c.url;
        EXPECT_EQ(split.host, c.host) << c.url;
        EXPECT_EQ(split.port, c.port) << c.url;
        EXPECT_EQ(split.path, c.path) << c.url;
        EXPECT_EQ(urlHostName(c.url), c.host) << c.url;
    }
    EXPECT_EQ(urlHost("http:127.0.0.1:9000/seg.ts?u=http://x.invalid/"), "127.0.0.1:9000");
    EXPECT_EQ(splitUrlAsFfmpeg(std::string("http://a.example\0.b/", 20)).host, "a.example");
}
