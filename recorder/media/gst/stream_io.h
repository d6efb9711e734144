#pragma once

#include "common/stream_url.h"
#include "request_budget.h"
#include "stream_reach.h"

#include <memory>
#include <string>

struct AVDictionary;
struct AVFormatContext;
struct AVInputFormat;
struct AVIOContext;

namespace kelbo {

// Everything FFmpeg opens for one stream, and where it connects. Every URL
// it opens passes urlRefusal(); every address it connects to passes the
// stream's reach (StreamReach, while a ReachGuard of reach() lives);
// every request waits its turn in the tuner's RequestBudget; every answer
// is a checked_answer, so no HLS playlist nests playlists deeper than two
// or lists too many. FFmpeg's HTTP reader follows no redirect: each step is
// asked here (askHttpHead) and checked before it is taken.
class StreamIo {
public:
    StreamIo(const StreamRequest& stream, std::shared_ptr<RequestBudget> budget);
    ~StreamIo();
    StreamIo(const StreamIo&) = delete;
    StreamIo& operator=(const StreamIo&) = delete;

    // Takes over `format`'s opening and closing of what it reads.
    void attach(AVFormatContext* format);
    // An HTTP(S) stream's own answer, opened ahead of FFmpeg (which then
    // reads it as its own input) so that it is checked like any other;
    // `options` as avformat_open_input takes them. The format the answer
    // names, where probing would be slow (MP3 radio), goes to `as`. Other
    // streams are left to FFmpeg (0).
    int openEntry(AVFormatContext* format, AVDictionary** options, const AVInputFormat** as);

    StreamReach& reach() { return reach_; }
    // Why something the stream led to was last refused, handed over once;
    // empty when nothing was.
    std::string takeRefusal();

private:
    static int openUrl(AVFormatContext* format, AVIOContext** pb, const char* url, int flags,
                       AVDictionary** options);
    static int closeUrl(AVFormatContext* format, AVIOContext* pb);
    int open(AVFormatContext* format, AVIOContext** pb, const std::string& url, int flags,
             AVDictionary** options, bool nested);
    int openOnce(AVFormatContext* format, AVIOContext** pb, const std::string& where, int flags,
                 AVDictionary** options, bool nested, std::string* why);
    bool waitTurn(AVFormatContext* format);
    int refuse(const std::string& url, const std::string& where, const std::string& why);

    std::string entry_;
    HttpOptions http_;
    StreamReach reach_;
    std::shared_ptr<RequestBudget> budget_;
    std::string refused_;
    AVIOContext* entryAnswer_ = nullptr;
};

}  // namespace kelbo
