#include "http_redirect.h"

#include "common/url_split.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/dict.h>
}

namespace kelbo {

namespace {

// The longest answer head read; a server sending more is not answering.
constexpr std::size_t kMaxHead = std::size_t{16} * 1024;

// "Lavf/59.27.100", as FFmpeg's own requests say when no User-Agent is given.
std::string ffmpegAgent() {
    const unsigned v = avformat_version();
    return "Lavf/" + std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xFF) + "." +
           std::to_string(v & 0xFF);
}

}  // namespace

std::optional<HttpHead> askHttpHead(const std::string& url, const HttpOptions& http,
                                    const AVIOInterruptCB* interrupt) {
    // Asked where FFmpeg's HTTP reader would ask it: the same host, port and path.
    const UrlSplit split = splitUrlAsFfmpeg(url);
    if ((split.scheme != "http" && split.scheme != "https") || split.host.empty()) return std::nullopt;
    const bool tls = split.scheme == "https";
    const std::string name = split.host.find(':') != std::string::npos ? "[" + split.host + "]" : split.host;
    const std::string host = split.port >= 0 ? name + ":" + std::to_string(split.port) : name;
    const int port = split.port >= 0 ? split.port : tls ? 443 : 80;
    const std::string endpoint = (tls ? "tls://" : "tcp://") + name + ":" + std::to_string(port);

    std::string target = split.path.substr(0, split.path.find('#'));
    if (target.empty() || target.front() != '/') target.insert(0, "/");
    // A space would end the request line's target early.
    for (std::size_t at = target.find(' '); at != std::string::npos; at = target.find(' ', at))
        target.replace(at, 1, "%20");
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    const bool agentSafe = !http.userAgent.empty() && safeHeaderValue(http.userAgent);
    request += "User-Agent: " + (agentSafe ? http.userAgent : ffmpegAgent()) + "\r\n";
    if (!http.referer.empty() && safeHeaderValue(http.referer)) request += "Referer: " + http.referer + "\r\n";
    request += headerLines(http);
    request += "Accept: */*\r\nRange: bytes=0-\r\nConnection: close\r\n\r\n";

    AVIOContext* io = nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "tcp,tls", 0);
    const int opened = avio_open2(&io, endpoint.c_str(), AVIO_FLAG_READ_WRITE, interrupt, &options);
    av_dict_free(&options);
    if (opened < 0) return std::nullopt;
    avio_write(io, reinterpret_cast<const unsigned char*>(request.data()), static_cast<int>(request.size()));
    avio_flush(io);
    std::string head;
    unsigned char buffer[2048];
    while (io->error == 0 && head.size() < kMaxHead && head.find("\r\n\r\n") == std::string::npos &&
           head.find("\n\n") == std::string::npos) {
        // Unbuffered: an answer's body is never waited for.
        const int got = avio_read_partial(io, buffer, sizeof buffer);
        if (got <= 0) break;
        head.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
    }
    avio_closep(&io);
    return parseHttpHead(head);
}

}  // namespace kelbo
