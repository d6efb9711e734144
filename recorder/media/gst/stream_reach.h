#pragma once

#include <string>
#include <vector>

struct addrinfo;
struct sockaddr;

namespace kelbo {

// Where an address is, seen from this machine: its own (loopback, the
// unspecified address, any address of its own interfaces), on its link
// (link-local), in one of the private ranges (`block` tells which: 10/8,
// 172.16/12, 192.168/16, 100.64/10, fc00::/7), or anywhere else.
struct AddressPlace {
    enum class Kind { Public, Private, Link, ThisMachine };
    Kind kind = Kind::Public;
    int block = 0;
    bool operator==(const AddressPlace&) const = default;
};
// `own` holds this machine's interface addresses (ownAddresses()).
AddressPlace placeOf(const sockaddr& address, const std::vector<std::string>& own);
// The machine's interface addresses, numeric ("192.0.2.2", "fe80::1").
std::vector<std::string> ownAddresses();

// Where one stream may connect, decided by where its own entry is: the
// entry's host may be anywhere (the user chose it), and what the stream
// leads to (redirects, HLS playlists, segments and keys, RTSP's redirects
// and transport) may be anywhere public, in a private range only when the
// entry is in the same one, on this machine's link only when the entry is
// there, and on this machine only when the entry itself is on it.
// The proxy that `http_proxy` names is the user's choice too.
class StreamReach {
public:
    // `entryHost` as FFmpeg reads it from the entry (urlHostName()).
    explicit StreamReach(std::string entryHost);

    // Why the stream may not connect to `host`, found at the addresses
    // `found`; empty when it may. The entry's host, the first time it is
    // found, tells where the entry is.
    std::string refusal(const std::string& host, const addrinfo* found);
    // The last refusal, handed over once.
    std::string takeRefusal();

private:
    bool allows(const AddressPlace& place) const;

    std::string entryHost_;
    std::string proxyHost_;
    bool entryFound_ = false;
    std::vector<AddressPlace> entry_;  // where the entry's host was found
    std::string refused_;
};

// While one lives on a thread, every name and address resolved there to
// connect to (by FFmpeg's HTTP, TLS, TCP, UDP and RTP, and RTSP at each
// redirect it follows and for each transport it sets up) is checked by
// `reach` at that very look-up, whose answer the connection then uses, so
// no second look-up can answer otherwise (DNS rebinding). A refused
// look-up fails as a name that does not resolve. Look-ups that only read a
// literal (AI_NUMERICHOST) or find a local address to listen on
// (AI_PASSIVE) connect nowhere and pass.
class ReachGuard {
public:
    explicit ReachGuard(StreamReach& reach);
    ~ReachGuard();
    ReachGuard(const ReachGuard&) = delete;
    ReachGuard& operator=(const ReachGuard&) = delete;

private:
    StreamReach* outer_;
};

// True when the look-ups of this program's libraries come to the check
// (the program defines getaddrinfo, as linking kelbo_gst into it does).
bool reachIsChecked();

// The resolver the checked look-ups ask (getaddrinfo's signature): the C
// library's, or one a test gives that answers differently each time.
using Resolver = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
Resolver systemResolver();
void setResolverForTests(Resolver resolver);  // null: the C library's

}  // namespace kelbo
