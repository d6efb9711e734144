// Reading where a redirect leads: its Location against the URL it came
// from, and the head of the answer that carries it, as servers send them.
#include "common/http_location.h"

#include <gtest/gtest.h>

using namespace kelbo;

TEST(HttpLocation, ALocationIsReadAgainstTheUrlItCameFrom) {
    const std::string base = "http://a/b/c/d;p?q";
    const std::pair<const char*, const char*> cases[] = {
        {"g", "http://a/b/c/g"},         {"./g", "http://a/b/c/g"},        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},            {"//g", "http://g"},              {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},     {"#s", "http://a/b/c/d;p?q"},     {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},          {"./", "http://a/b/c/"},          {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},        {"../..", "http://a/"},           {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},          {"g.", "http://a/b/c/g."},        {"g;x=1/../y", "http://a/b/c/y"},
        {"g#s", "http://a/b/c/g"},       {"  ../live/x.ts  ", "http://a/b/live/x.ts"},
        {"https://cdn.example:8443/s/../1.ts?t=2", "https://cdn.example:8443/1.ts?t=2"},
        {"file:///etc/passwd", "file:///etc/passwd"},
    };
    for (const auto& [reference, expected] : cases)
        EXPECT_EQ(resolveReference(base, reference), expected) << '"' << reference << '"';
    // A base without a path, and one with credentials and a port.
    EXPECT_EQ(resolveReference("http://tv.example", "live.ts"), "http://tv.example/live.ts");
    EXPECT_EQ(resolveReference("http://u:p@[2001:db8::1]:8080/live/1.ts?token=x", "/2.ts"),
              "http://u:p@[2001:db8::1]:8080/2.ts");
}

TEST(HttpLocation, TheHeadGivesTheStatusAndLocationAndNothingOfTheBody) {
    auto head = parseHttpHead("HTTP/1.1 302 Found\r\nContent-Length: 0\r\nlocation:  /next.ts \r\n\r\n");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 302);
    EXPECT_EQ(head->location, "/next.ts");
    EXPECT_TRUE(isRedirectStatus(head->status));

    // Bare line feeds, and a body that names another place.
    head = parseHttpHead("HTTP/1.0 301 Moved Permanently\nLOCATION: http://x.example/a\n\nLocation: http://127.0.0.1/");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 301);
    EXPECT_EQ(head->location, "http://x.example/a");

    // A bare carriage return inside a field starts no line of its own.
    head = parseHttpHead("HTTP/1.1 302 Found\r\nLocation: /a.ts\rSet-Cookie: x=1\r\n\r\n");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->location, "/a.ts Set-Cookie: x=1");

    head = parseHttpHead("HTTP/1.1 200 OK\r\nContent-Type: video/mp2t\r\n\r\n");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->location, "");
    EXPECT_FALSE(isRedirectStatus(200));
    EXPECT_FALSE(isRedirectStatus(304));

    for (const char* notHttp : {"", "ICY 200 OK\r\n\r\n", "HTTP/1.1 20", "HTTP/1.1 3x2 Found\r\n\r\n", "garbage"})
        EXPECT_FALSE(parseHttpHead(notHttp)) << notHttp;
}
