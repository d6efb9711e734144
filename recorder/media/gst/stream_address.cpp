#include "stream_address.h"

#include "common/stream_url.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kelbo {

namespace {

bool localIpv4(std::uint32_t address) {  // host order
    return (address >> 24) == 127 || (address >> 16) == 0xA9FE || address == 0;  // 127/8, 169.254/16, 0.0.0.0
}

bool localAddress(const sockaddr* address) {
    if (address->sa_family == AF_INET)
        return localIpv4(ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr));
    if (address->sa_family != AF_INET6) return false;
    const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    if (IN6_IS_ADDR_LOOPBACK(&a) || IN6_IS_ADDR_UNSPECIFIED(&a) || IN6_IS_ADDR_LINKLOCAL(&a)) return true;
    if (IN6_IS_ADDR_V4MAPPED(&a) || IN6_IS_ADDR_V4COMPAT(&a)) {
        std::uint32_t v4 = 0;
        std::memcpy(&v4, a.s6_addr + 12, 4);
        return localIpv4(ntohl(v4));
    }
    return false;
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

bool isLocalHost(const std::string& host) {
    std::string name = host;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!name.empty() && name.back() == '.') name.pop_back();
    if (name.empty() || name == "localhost" || endsWith(name, ".localhost")) return true;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return false;  // fails to open anyway
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(found, &::freeaddrinfo);
    for (const addrinfo* a = found; a; a = a->ai_next)
        if (localAddress(a->ai_addr)) return true;
    return false;
}

std::string urlRefusal(std::string_view url, bool streamIsLocal) {
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
    const std::string host = urlHostName(url);
    // udp://@239.0.0.1:1234 and the like: the host follows the "@".
    if (!streamIsLocal && isLocalHost(host))
        return "it leads to " + (host.empty() ? std::string("this machine") : host) + ", on this machine or its link";
    return {};
}

}  // namespace kelbo
