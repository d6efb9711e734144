#pragma once

#include <istream>
#include <string>

namespace kelbo {

// Reads text lines ended by CR LF, LF or a bare CR, without their ends.
// A line longer than `maxLine` bytes is cut there (the rest is skipped), so
// a file without line breaks cannot take unbounded memory.
class LineReader {
public:
    static constexpr size_t kDefaultMaxLine = 1 << 20;

    explicit LineReader(std::istream& in, size_t maxLine = kDefaultMaxLine);

    bool next(std::string& line);
    long lineNumber() const { return lineNumber_; }
    // True when reading stopped on an error rather than at the end.
    bool failed() const { return failed_; }

private:
    bool fill();

    std::istream& in_;
    size_t maxLine_;
    std::string buffer_;
    size_t chunk_ = 0;  // read by the last fill
    size_t pos_ = 0;
    long lineNumber_ = 0;
    bool eof_ = false;
    bool failed_ = false;
};

}  // namespace kelbo
