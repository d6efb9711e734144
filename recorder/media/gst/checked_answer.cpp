#include "checked_answer.h"

#include "common/hls_playlist_bounds.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/version.h>
}

#include <algorithm>
#include <memory>

namespace kelbo::checked_answer {

namespace {

constexpr int kBufferSize = 32 * 1024;

struct Answer {
    AVIOContext* inner = nullptr;
    std::string held;  // read ahead: a whole playlist, or the first bytes of anything else
    std::size_t given = 0;
    bool whole = false;  // `held` is all there is
};

Answer& answerOf(void* opaque) { return *static_cast<Answer*>(opaque); }

// Option look-ups (av_opt_get with AV_OPT_SEARCH_CHILDREN) go on to the
// connection beneath.
void* innerConnection(void* object, void* previous) {
    return previous ? nullptr : answerOf(static_cast<AVIOContext*>(object)->opaque).inner;
}

const AVClass* answerClass() {
    static const AVClass kind = [] {
        AVClass made{};
        made.class_name = "checked answer";
        made.item_name = av_default_item_name;
        made.version = LIBAVUTIL_VERSION_INT;
        made.child_next = innerConnection;
        return made;
    }();
    return &kind;
}

int readAnswer(void* opaque, std::uint8_t* buffer, int size) {
    Answer& answer = answerOf(opaque);
    if (answer.given < answer.held.size()) {
        const std::size_t n = std::min(answer.held.size() - answer.given, static_cast<std::size_t>(size));
        std::copy_n(answer.held.data() + answer.given, n, buffer);
        answer.given += n;
        return static_cast<int>(n);
    }
    if (answer.whole) return AVERROR_EOF;
    const int got = avio_read_partial(answer.inner, buffer, size);
    return got == 0 ? AVERROR_EOF : got;
}

std::int64_t seekAnswer(void* opaque, std::int64_t offset, int whence) {
    Answer& answer = answerOf(opaque);
    const auto size = static_cast<std::int64_t>(answer.held.size());
    if (!answer.whole) {
        if (whence & AVSEEK_SIZE) return avio_size(answer.inner);
        answer.held.clear();  // the connection's own position counts from here
        answer.given = 0;
        return avio_seek(answer.inner, offset, whence);
    }
    if (whence & AVSEEK_SIZE) return size;
    const std::int64_t to = whence == SEEK_END   ? size + offset
                            : whence == SEEK_CUR ? static_cast<std::int64_t>(answer.given) + offset
                                                 : offset;
    if (to < 0 || to > size) return AVERROR(EINVAL);
    answer.given = static_cast<std::size_t>(to);
    return to;
}

// Reads up to `count` more bytes (all that come when the answer ends first).
int readMore(Answer& answer, std::size_t count) {
    std::uint8_t chunk[16 * 1024];
    while (count > 0) {
        const int got = avio_read(answer.inner, chunk, static_cast<int>(std::min(count, sizeof chunk)));
        if (got == AVERROR_EOF || got == 0) {
            answer.whole = true;
            return 0;
        }
        if (got < 0) return got;
        answer.held.append(reinterpret_cast<const char*>(chunk), static_cast<std::size_t>(got));
        count -= static_cast<std::size_t>(got);
    }
    return 0;
}

}  // namespace

AVIOContext* wrap(AVIOContext* inner, bool nested, std::string* why, int* error) {
    auto answer = std::make_unique<Answer>();
    answer->inner = inner;
    auto fail = [&](int code) -> AVIOContext* {
        *error = code;
        avio_closep(&answer->inner);
        return nullptr;
    };
    if (const int read = readMore(*answer, kPlaylistStart.size()); read < 0) return fail(read);
    if (answer->held == kPlaylistStart) {
        if (const int read = readMore(*answer, kMaxPlaylistBytes + 1); read < 0) return fail(read);
        answer->whole = true;
        if (*why = playlistRefusal(answer->held, nested); !why->empty()) return fail(AVERROR(EPERM));
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer) return fail(AVERROR(ENOMEM));
    AVIOContext* io = avio_alloc_context(buffer, kBufferSize, 0, answer.get(), readAnswer, nullptr, seekAnswer);
    if (!io) {
        av_free(buffer);
        return fail(AVERROR(ENOMEM));
    }
    io->av_class = answerClass();
    io->seekable = answer->whole ? AVIO_SEEKABLE_NORMAL : inner->seekable;
    io->opaque = answer.release();  // close() frees it
    return io;
}

bool isChecked(const AVIOContext* io) { return io && io->av_class == answerClass(); }

int close(AVIOContext* io) {
    std::unique_ptr<Answer> answer(&answerOf(io->opaque));
    av_freep(&io->buffer);
    avio_context_free(&io);
    return avio_closep(&answer->inner);
}

}  // namespace kelbo::checked_answer
