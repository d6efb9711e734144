#include "stream_io.h"

#include "checked_answer.h"
#include "http_redirect.h"
#include "stream_address.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <thread>
#include <utility>

namespace kelbo {

namespace {

// An HLS key or segment may be "crypto+http://..." or "crypto:http://...":
// the length of that prefix before the address that is asked.
std::size_t cryptoPrefix(std::string_view url) {
    std::size_t cut = 0;
    for (std::string scheme = urlScheme(url); scheme == "crypto" || scheme.rfind("crypto+", 0) == 0;
         scheme = urlScheme(url.substr(cut)))
        cut += scheme == "crypto" ? scheme.size() + 1 : std::string_view("crypto+").size();
    return cut;
}

// The demuxer the stream's own answer names, where probing would be slow:
// MP3 radio joined mid-frame (Icecast, Shoutcast) is told from other
// formats only after some 100 kB, seconds of waiting. Null: probe.
const AVInputFormat* formatOfAnswer(AVIOContext& answer) {
    std::uint8_t* mime = nullptr;
    if (av_opt_get(&answer, "mime_type", AV_OPT_SEARCH_CHILDREN, &mime) < 0 || !mime) return nullptr;
    std::string type(reinterpret_cast<const char*>(mime));
    av_free(mime);
    type = type.substr(0, type.find(';'));
    return type == "audio/mpeg" || type == "audio/mp3" ? av_find_input_format("mp3") : nullptr;
}

bool interrupted(const AVFormatContext& format) {
    const AVIOInterruptCB& interrupt = format.interrupt_callback;
    return interrupt.callback && interrupt.callback(interrupt.opaque);
}

}  // namespace

StreamIo::StreamIo(const StreamRequest& stream, std::shared_ptr<RequestBudget> budget)
    : entry_(stream.url),
      http_(stream.http),
      reach_(urlHostName(stream.url)),
      budget_(budget ? std::move(budget) : std::make_shared<RequestBudget>()) {}

StreamIo::~StreamIo() {
    if (entryAnswer_) checked_answer::close(entryAnswer_);
}

void StreamIo::attach(AVFormatContext* format) {
    format->opaque = this;
    format->io_open = &StreamIo::openUrl;
    format->io_close2 = &StreamIo::closeUrl;
}

int StreamIo::openEntry(AVFormatContext* format, AVDictionary** options, const AVInputFormat** as) {
    const std::string scheme = urlScheme(entry_);
    if (scheme != "http" && scheme != "https") return 0;
    AVIOContext* answer = nullptr;
    const int opened = open(format, &answer, entry_, AVIO_FLAG_READ, options, false);
    if (opened < 0) return opened;
    entryAnswer_ = format->pb = answer;
    *as = formatOfAnswer(*answer);
    return opened;
}

std::string StreamIo::takeRefusal() {
    // RTSP connects inside FFmpeg: only the reach saw what it refused.
    if (const std::string why = reach_.takeRefusal(); !why.empty() && refused_.empty())
        refused_ = "refused to open " + entry_ + ": " + why;
    return std::exchange(refused_, {});
}

int StreamIo::openUrl(AVFormatContext* format, AVIOContext** pb, const char* url, int flags,
                      AVDictionary** options) {
    return static_cast<StreamIo*>(format->opaque)->open(format, pb, url, flags, options, pb != &format->pb);
}

int StreamIo::closeUrl(AVFormatContext*, AVIOContext* pb) {
    return checked_answer::isChecked(pb) ? checked_answer::close(pb) : avio_close(pb);
}

int StreamIo::refuse(const std::string& url, const std::string& where, const std::string& why) {
    refused_ = "refused to open " + url;
    if (where != url) refused_ += ", redirected to " + where;
    refused_.append(": ").append(why);
    return AVERROR(EPERM);
}

bool StreamIo::waitTurn(AVFormatContext* format) {
    using Clock = RequestBudget::Clock;
    const Clock::time_point until = Clock::now() + budget_->take(Clock::now());
    for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
        if (interrupted(*format)) return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(until - now, std::chrono::milliseconds(50)));
    }
    return true;
}

// FFmpeg's HTTP reader is not let follow a redirect: it would connect
// before anyone could look where to. A redirect makes it fail, and each
// step of the way is then asked here and checked before it is taken.
int StreamIo::open(AVFormatContext* format, AVIOContext** pb, const std::string& url, int flags,
                   AVDictionary** options, bool nested) {
    std::string where = url;
    for (int redirects = 0;; ++redirects) {
        std::string why;
        const int opened = openOnce(format, pb, where, flags, options, nested, &why);
        if (!why.empty()) return refuse(url, where, why);
        const std::size_t prefix = cryptoPrefix(where);
        const std::string asked = where.substr(prefix);
        const std::string scheme = urlScheme(asked);
        // A redirect not taken is an I/O error; anything else is the answer.
        if (opened != AVERROR(EIO) || (scheme != "http" && scheme != "https")) return opened;
        if (!waitTurn(format)) return AVERROR_EXIT;
        const std::optional<HttpHead> head = askHttpHead(asked, http_, &format->interrupt_callback);
        if (why = reach_.takeRefusal(); !why.empty()) return refuse(url, where, why);
        if (!head || !isRedirectStatus(head->status) || head->location.empty()) return opened;
        const std::string next = resolveReference(asked, head->location);
        const std::string nextScheme = urlScheme(next);
        if (nextScheme != "http" && nextScheme != "https")
            return refuse(url, next, "it leads to a " + (nextScheme.empty() ? std::string("local file")
                                                                             : nextScheme + ": address"));
        // It goes into the next request's first line.
        if (!safeHeaderValue(next)) return refuse(url, url, "it redirects to an address with control characters");
        if (redirects == kMaxRedirects)
            return refuse(url, url, "it redirects more than " + std::to_string(kMaxRedirects) + " times");
        where.replace(prefix, std::string::npos, next);
    }
}

// One request, checked: the URL before it is asked, the address as it is
// connected to, the answer before FFmpeg reads it. EPERM, with `why`
// set, when any of them is refused.
int StreamIo::openOnce(AVFormatContext* format, AVIOContext** pb, const std::string& where, int flags,
                       AVDictionary** options, bool nested, std::string* why) {
    if (*why = urlRefusal(where); !why->empty()) return AVERROR(EPERM);
    if (!waitTurn(format)) return AVERROR_EXIT;
    AVDictionary* attempt = nullptr;
    av_dict_copy(&attempt, *options, 0);
    av_dict_set(&attempt, "protocol_whitelist", kStreamProtocols, 0);
    av_dict_set(&attempt, "max_redirects", "0", 0);
    reach_.takeRefusal();
    const int opened = avio_open2(pb, where.c_str(), flags, &format->interrupt_callback, &attempt);
    if (*why = reach_.takeRefusal(); !why->empty()) {
        av_dict_free(&attempt);
        if (opened >= 0) avio_closep(pb);
        return AVERROR(EPERM);
    }
    if (opened < 0) {
        av_dict_free(&attempt);
        return opened;
    }
    av_dict_free(options);
    *options = attempt;
    const std::string scheme = urlScheme(where.substr(cryptoPrefix(where)));
    if (scheme == "udp" || scheme == "rtp") return opened;  // packets, never a playlist
    int error = 0;
    *pb = checked_answer::wrap(*pb, nested, why, &error);
    return *pb ? opened : why->empty() ? error : AVERROR(EPERM);
}

}  // namespace kelbo
