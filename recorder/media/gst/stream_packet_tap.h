#pragma once

#include "av_ref.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct AVCodecParameters;

namespace kelbo {

// A track of a stream as a copy carries it: its codec, and what a player
// tells it apart by.
struct CopyTrack {
    const AVCodecParameters* codec = nullptr;
    std::string language;  // ISO 639-2 ("deu"); empty when the stream gives none
    int disposition = 0;   // AV_DISPOSITION_* flags (default, hearing impaired, ...)
};

// The tracks of a stream as one connection brought them: the pictures
// (track 0), then every sound, subtitle and teletext track that is copied,
// in the stream's order. Radio has no pictures: its sound comes first.
class StreamCodecs {
public:
    explicit StreamCodecs(const std::vector<CopyTrack>& tracks);
    StreamCodecs(const StreamCodecs&) = delete;
    StreamCodecs& operator=(const StreamCodecs&) = delete;

    const std::vector<CopyTrack>& tracks() const { return tracks_; }
    // Null for radio.
    const AVCodecParameters* picture() const;
    // Whether `track` is a sound track.
    bool isSound(std::size_t track) const;
    bool hasSound() const;
    // Whether a file opened for `other` can go on with these: the same codecs
    // (their sizes, rates and headers may change, as they do in the stream).
    bool sameCodecsAs(const StreamCodecs& other) const;
    // "h264/aac/ac3", for the log.
    std::string names() const;

private:
    std::vector<AvCodecParametersPtr> owned_;
    std::vector<CopyTrack> tracks_;  // their codecs in owned_
};

// A stream's packet on the pipeline's timeline (running time, nanoseconds).
struct TimedPacket {
    std::shared_ptr<const AVPacket> packet;
    std::shared_ptr<const StreamCodecs> codecs;  // set by the tap
    int track = 0;  // among the codecs' tracks
    bool picture = false;  // of track 0
    bool key = false;
    std::int64_t pts = -1;
    std::int64_t dts = -1;
    std::int64_t duration = 0;
    std::uint64_t sequence = 0;  // order of arrival, from 1; set by the tap
    // The first packet after a break (a reconnection, media that never
    // came): the pictures before the next key picture cannot be decoded.
    bool resumes = false;

    // Its presentation time, or its decoding time when it has none.
    std::int64_t time() const { return pts >= 0 ? pts : dts; }
    // Whether it carries a copy's time: a picture, or the sound of a stream
    // without pictures (radio).
    bool leads() const { return picture || (track == 0 && codecs && !codecs->picture()); }
    // Whether a copy may begin with it: a key picture, or any sound packet
    // of radio, each of which decodes on its own.
    bool beginsGroup() const { return leads() && (key || !picture); }
};

// What a writer that copies the stream wants of it. Called with the tap's
// lock held, from the thread that reads the stream.
class StreamCopySink {
public:
    virtual ~StreamCopySink() = default;
    virtual void packet(const TimedPacket& packet) = 0;
    // The stream is out (being opened again): the timeline has reached `now`
    // with nothing to show for it.
    virtual void outage(std::int64_t now) = 0;
    // The source has stopped: nothing more will come.
    virtual void ended() = 0;
    // True once the sink wants no more packets.
    virtual bool done() const = 0;
};

// Hands a stream's own packets to the writers that copy them. The packets
// since the last key picture are kept (and the sound that goes with them),
// so a recording begins with the key picture at or before its start; a
// sink that attaches gets those first, then every packet until it is done.
class StreamPacketTap {
public:
    // Kept at most, when the stream brings no key picture.
    static constexpr std::int64_t kMostBacklogNs = 20'000'000'000;

    ~StreamPacketTap();
    // A new connection: its tracks, for the packets that follow.
    void setCodecs(std::shared_ptr<const StreamCodecs> codecs);
    void publish(TimedPacket packet);
    // The backlog and what follows go to the sink on the reading thread,
    // from the next packet on, so a long backlog never holds up the caller.
    void attach(std::shared_ptr<StreamCopySink> sink);
    // The stream is out, and the timeline has reached `now`: every sink is told.
    void outage(std::int64_t now);
    // The source has stopped: every sink is told, and let go.
    void end();
    // Whether a packet came within the last `ns` nanoseconds (steady clock).
    bool flowing(std::int64_t ns) const;
    // Whether the stream's connection brings sound and no pictures (radio);
    // false before one opened. Any thread, without waiting.
    bool soundOnly() const { return soundOnly_; }

private:
    void trimBacklog(const TimedPacket& newest);  // needs mutex_

    std::mutex mutex_;
    std::shared_ptr<const StreamCodecs> codecs_;
    std::uint64_t sequence_ = 0;
    std::deque<TimedPacket> backlog_;
    std::vector<std::shared_ptr<StreamCopySink>> sinks_;
    std::mutex attachMutex_;
    std::vector<std::shared_ptr<StreamCopySink>> attaching_;
    std::atomic<std::int64_t> lastPacketAt_{-1};  // steady nanoseconds
    std::atomic<bool> soundOnly_{false};
};

}  // namespace kelbo
