#include "stream_reach.h"

#include "common/url_split.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace kelbo {

namespace {

using Kind = AddressPlace::Kind;

// The stream whose look-ups this thread checks, if any.
thread_local StreamReach* activeReach = nullptr;
std::atomic<Resolver> testResolver{nullptr};

std::string numeric(const sockaddr& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.sa_family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, text, sizeof text);
    else if (address.sa_family == AF_INET6)
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(address).sin6_addr, text, sizeof text);
    return text;
}

bool isOwn(const std::string& text, const std::vector<std::string>& own) {
    return std::find(own.begin(), own.end(), text) != own.end();
}

AddressPlace placeOfIpv4(std::uint32_t a, const std::vector<std::string>& own) {  // host order
    in_addr address{htonl(a)};
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    if ((a >> 24) == 127 || (a >> 24) == 0 || isOwn(text, own)) return {Kind::ThisMachine};
    if ((a >> 16) == 0xA9FE || a == 0xFFFFFFFF) return {Kind::Link};  // 169.254/16, broadcast
    if ((a >> 24) == 10) return {Kind::Private, 1};
    if ((a >> 20) == 0xAC1) return {Kind::Private, 2};    // 172.16/12
    if ((a >> 16) == 0xC0A8) return {Kind::Private, 3};   // 192.168/16
    if ((a >> 22) == 0x191) return {Kind::Private, 4};    // 100.64/10, carrier-grade NAT
    return {};
}

AddressPlace placeOfIpv6(const in6_addr& a, const std::vector<std::string>& own) {
    const std::uint8_t* b = a.s6_addr;
    static constexpr std::uint8_t kNat64[12] = {0x00, 0x64, 0xff, 0x9b};
    // An IPv4 address inside (mapped, compatible, NAT64): where that one is.
    if (IN6_IS_ADDR_V4MAPPED(&a) || IN6_IS_ADDR_V4COMPAT(&a) || std::memcmp(b, kNat64, 12) == 0)
        return placeOfIpv4(std::uint32_t{b[12]} << 24 | std::uint32_t{b[13]} << 16 | std::uint32_t{b[14]} << 8 | b[15],
                           own);
    char text[INET6_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET6, &a, text, sizeof text);
    if (IN6_IS_ADDR_LOOPBACK(&a) || IN6_IS_ADDR_UNSPECIFIED(&a) || IN6_IS_ADDR_MC_NODELOCAL(&a) || isOwn(text, own))
        return {Kind::ThisMachine};
    if (IN6_IS_ADDR_LINKLOCAL(&a) || IN6_IS_ADDR_MC_LINKLOCAL(&a)) return {Kind::Link};
    if ((b[0] & 0xFE) == 0xFC) return {Kind::Private, 5};  // unique local
    if (IN6_IS_ADDR_SITELOCAL(&a)) return {Kind::Private, 6};
    return {};
}

const char* whereIs(Kind kind) {
    switch (kind) {
        case Kind::ThisMachine: return "on this machine";
        case Kind::Link: return "on this machine's link";
        case Kind::Private: return "in a private network the stream's own address is not in";
        case Kind::Public: break;
    }
    return "";
}

}  // namespace

// The C library's getaddrinfo, which ours stands in front of.
Resolver systemResolver() {
    static const Resolver next = [] {
        Resolver found = nullptr;
        void* symbol = ::dlsym(RTLD_NEXT, "getaddrinfo");
        static_assert(sizeof symbol == sizeof found);
        std::memcpy(&found, &symbol, sizeof found);
        return found;
    }();
    return next;
}

AddressPlace placeOf(const sockaddr& address, const std::vector<std::string>& own) {
    if (address.sa_family == AF_INET)
        return placeOfIpv4(ntohl(reinterpret_cast<const sockaddr_in&>(address).sin_addr.s_addr), own);
    if (address.sa_family == AF_INET6)
        return placeOfIpv6(reinterpret_cast<const sockaddr_in6&>(address).sin6_addr, own);
    return {Kind::ThisMachine};  // not an internet address: nowhere a stream goes
}

std::vector<std::string> ownAddresses() {
    std::vector<std::string> own;
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) return own;
    for (const ifaddrs* a = all; a; a = a->ifa_next)
        if (a->ifa_addr && (a->ifa_addr->sa_family == AF_INET || a->ifa_addr->sa_family == AF_INET6))
            own.push_back(numeric(*a->ifa_addr));
    ::freeifaddrs(all);
    return own;
}

StreamReach::StreamReach(std::string entryHost) : entryHost_(std::move(entryHost)) {
    // FFmpeg's HTTP reader goes through this proxy when it is set.
    if (const char* proxy = std::getenv("http_proxy"); proxy && std::strncmp(proxy, "http://", 7) == 0)
        proxyHost_ = splitUrlAsFfmpeg(proxy).host;
}

bool StreamReach::allows(const AddressPlace& place) const {
    if (place.kind == Kind::Public) return true;
    return std::any_of(entry_.begin(), entry_.end(),
                       [&](const AddressPlace& entry) { return entry.kind == Kind::ThisMachine || entry == place; });
}

std::string StreamReach::refusal(const std::string& host, const addrinfo* found) {
    if (!proxyHost_.empty() && host == proxyHost_) return {};
    const std::vector<std::string> own = ownAddresses();
    if (!entryFound_ && host == entryHost_) {
        entryFound_ = true;
        for (const addrinfo* a = found; a; a = a->ai_next)
            if (a->ai_addr) entry_.push_back(placeOf(*a->ai_addr, own));
        return {};
    }
    for (const addrinfo* a = found; a; a = a->ai_next) {
        if (!a->ai_addr) continue;
        const AddressPlace place = placeOf(*a->ai_addr, own);
        if (allows(place)) continue;
        const std::string address = numeric(*a->ai_addr);
        const std::string name = host.empty() ? std::string("no host") : host;
        refused_ = "it leads to " + name + (address != host ? " (" + address + ")" : "") + ", " + whereIs(place.kind);
        return refused_;
    }
    return {};
}

std::string StreamReach::takeRefusal() { return std::exchange(refused_, {}); }

ReachGuard::ReachGuard(StreamReach& reach) : outer_(std::exchange(activeReach, &reach)) {}

ReachGuard::~ReachGuard() { activeReach = outer_; }

void setResolverForTests(Resolver resolver) { testResolver = resolver; }

bool reachIsChecked() {
    const Resolver ours = &::getaddrinfo;
    void* address = nullptr;
    static_assert(sizeof address == sizeof ours);
    std::memcpy(&address, &ours, sizeof address);
    return ::dlsym(RTLD_DEFAULT, "getaddrinfo") == address;
}

}  // namespace kelbo

// Stands in front of the C library's: FFmpeg resolves every host it
// connects to here, and has no hook of its own for where it connects
// (RTSP follows redirects inside, HTTP and TLS open their TCP connections
// inside). Defined in the program, it is the one every library of the
// process binds to; outside a ReachGuard it only passes the call on.
extern "C" int getaddrinfo(const char* __restrict name, const char* __restrict service,
                           const addrinfo* __restrict hints, addrinfo** __restrict found) {
    kelbo::StreamReach* reach = kelbo::activeReach;
    const kelbo::Resolver fake = kelbo::testResolver.load();
    const kelbo::Resolver resolve = reach && fake ? fake : kelbo::systemResolver();
    if (!resolve) return EAI_SYSTEM;
    const int result = resolve(name, service, hints, found);
    const int flags = hints ? hints->ai_flags : 0;
    if (!reach || result != 0 || (flags & (AI_PASSIVE | AI_NUMERICHOST))) return result;
    if (reach->refusal(name ? name : "", *found).empty()) return result;
    ::freeaddrinfo(*found);
    *found = nullptr;
    return EAI_FAIL;
}
