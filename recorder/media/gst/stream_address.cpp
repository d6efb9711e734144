#include "stream_address.h"

#include "common/stream_url.h"
#include "common/url_split.h"

namespace kelbo {

std::string urlRefusal(std::string_view url) {
    std::string scheme = urlScheme(url);
    // "crypto+http://..." and "crypto:http://...": the address is the inner one.
    while (scheme == "crypto" || scheme.rfind("crypto+", 0) == 0) {
        const std::size_t cut = scheme == "crypto" ? url.find(':') + 1 : url.find('+') + 1;
        url.remove_prefix(cut);
        scheme = urlScheme(url);
    }
    if (scheme == "data") return {};
    if (scheme != "http" && scheme != "https" && scheme != "udp" && scheme != "rtp")
        return "it leads to a " + (scheme.empty() ? std::string("local file") : scheme + ": address");
    // FFmpeg reads "http:host/x" and "http:/host/x" as naming `host`, where
    // other readers see a path: such a URL is nobody's stream.
    const UrlSplit split = splitUrlAsFfmpeg(url);
    if (!split.slashes) return "it is not written " + scheme + "://host/...";
    // FFmpeg connects to this machine when no host is named; UDP and RTP
    // without one only listen ("udp://@:1234").
    if (split.host.empty() && (scheme == "http" || scheme == "https")) return "it names no host";
    return {};
}

}  // namespace kelbo
