#include "stream_packet_tap.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>

namespace kelbo {

void StreamPacketTap::ParametersFree::operator()(AVCodecParameters* p) const {
    avcodec_parameters_free(&p);
}

StreamPacketTap::Parameters StreamPacketTap::copyOf(const AVCodecParameters* p) {
    if (!p) return nullptr;
    Parameters copy(avcodec_parameters_alloc());
    if (copy && avcodec_parameters_copy(copy.get(), p) < 0) copy.reset();
    return copy;
}

StreamPacketTap::~StreamPacketTap() { end(); }

void StreamPacketTap::setCodecs(const AVCodecParameters* picture, const AVCodecParameters* sound) {
    std::lock_guard lock(mutex_);
    picture_ = copyOf(picture);
    sound_ = copyOf(sound);
}

void StreamPacketTap::publish(TimedPacket packet) {
    std::lock_guard lock(mutex_);
    for (auto& sink : sinks_) sink->packet(packet, picture_.get(), sound_.get());
    sinks_.erase(std::remove_if(sinks_.begin(), sinks_.end(), [](const auto& s) { return s->done(); }),
                 sinks_.end());
    const std::int64_t newest = packet.dts >= 0 ? packet.dts : packet.pts;
    backlog_.push_back(std::move(packet));
    while (!backlog_.empty()) {
        const TimedPacket& oldest = backlog_.front();
        const std::int64_t at = oldest.dts >= 0 ? oldest.dts : oldest.pts;
        if (newest - at <= kBacklogNs) break;
        backlog_.pop_front();
    }
}

void StreamPacketTap::attach(std::shared_ptr<StreamCopySink> sink) {
    std::lock_guard lock(mutex_);
    for (const TimedPacket& packet : backlog_) {
        if (sink->done()) return;
        sink->packet(packet, picture_.get(), sound_.get());
    }
    if (!sink->done()) sinks_.push_back(std::move(sink));
}

void StreamPacketTap::end() {
    std::vector<std::shared_ptr<StreamCopySink>> sinks;
    {
        std::lock_guard lock(mutex_);
        sinks.swap(sinks_);
        backlog_.clear();
    }
    for (auto& sink : sinks) sink->ended();
}

}  // namespace kelbo
