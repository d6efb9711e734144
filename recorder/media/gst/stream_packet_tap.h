#pragma once

#include "av_ref.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

struct AVCodecParameters;

namespace kelbo {

// A stream's packet on the pipeline's timeline (running time, nanoseconds).
struct TimedPacket {
    std::shared_ptr<const AVPacket> packet;
    bool picture = false;
    bool key = false;
    std::int64_t pts = -1;
    std::int64_t dts = -1;
};

// What a writer that copies the stream wants of it.
class StreamCopySink {
public:
    virtual ~StreamCopySink() = default;
    // The codecs of the stream's pictures and sound (sound may be null).
    virtual void packet(const TimedPacket& packet, const AVCodecParameters* picture,
                        const AVCodecParameters* sound) = 0;
    // The source has stopped: nothing more will come.
    virtual void ended() = 0;
    // True once the sink wants no more packets.
    virtual bool done() const = 0;
};

// Hands a stream's own packets to the writers that copy them. The last few
// seconds are kept, so a writer that learns where its file begins only
// after those packets went by still finds them.
class StreamPacketTap {
public:
    static constexpr std::int64_t kBacklogNs = 5'000'000'000;

    ~StreamPacketTap();
    // A new connection: its codecs.
    void setCodecs(const AVCodecParameters* picture, const AVCodecParameters* sound);
    void publish(TimedPacket packet);
    // The sink gets the backlog at once, then every packet until it is done.
    void attach(std::shared_ptr<StreamCopySink> sink);
    // The source has stopped: every sink is told, and let go.
    void end();

private:
    struct ParametersFree {
        void operator()(AVCodecParameters* p) const;
    };
    using Parameters = std::unique_ptr<AVCodecParameters, ParametersFree>;
    static Parameters copyOf(const AVCodecParameters* p);

    std::mutex mutex_;
    Parameters picture_;
    Parameters sound_;
    std::deque<TimedPacket> backlog_;
    std::vector<std::shared_ptr<StreamCopySink>> sinks_;
};

}  // namespace kelbo
