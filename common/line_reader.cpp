#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace kelbo {

namespace {
// Chunks grow from 4 KiB to 64 KiB, so that a short text (one record read
// back, a small schedule) does not pay for clearing a large buffer.
constexpr size_t kFirstChunk = size_t{4} * 1024;
constexpr size_t kChunk = size_t{64} * 1024;
}

LineReader::LineReader(std::istream& in, size_t maxLine) : in_(in), maxLine_(maxLine) {}

bool LineReader::fill() {
    if (eof_) return false;
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    chunk_ = chunk_ ? std::min(chunk_ * 2, kChunk) : kFirstChunk;
    const size_t old = buffer_.size();
    buffer_.resize(old + chunk_);
    in_.read(buffer_.data() + old, static_cast<std::streamsize>(chunk_));
    const auto got = static_cast<size_t>(in_.gcount());
    buffer_.resize(old + got);
    if (got == 0) {
        eof_ = true;
        failed_ = in_.bad();
        return false;
    }
    return true;
}

bool LineReader::next(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        if (pos_ >= buffer_.size() && !fill()) break;
        const char* begin = buffer_.data() + pos_;
        const size_t avail = buffer_.size() - pos_;
        size_t n = 0;
        while (n < avail && begin[n] != '\n' && begin[n] != '\r') ++n;
        const size_t room = maxLine_ > line.size() ? maxLine_ - line.size() : 0;
        line.append(begin, n < room ? n : room);
        any = true;
        pos_ += n;
        if (n == avail) continue;  // the line goes on in the next chunk
        const char end = buffer_[pos_++];
        if (end == '\r') {
            if (pos_ >= buffer_.size()) fill();
            if (pos_ < buffer_.size() && buffer_[pos_] == '\n') ++pos_;
        }
        ++lineNumber_;
        return true;
    }
    if (any && !line.empty()) {
        ++lineNumber_;
        return true;
    }
    return false;
}

}  // namespace kelbo
