#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kelbo::guide {

// Each distinct text once: listings repeat titles, categories, credits and
// even whole descriptions thousands of times, so programmes hold small
// numbers into the pool instead of copies. Id 0 is the empty text.
//
// Most descriptions are seen once, so adding a text must cost little more
// than copying it: the texts lie end to end in blocks growing to a
// megabyte (no allocation of their own), and the index is one flat table of
// hashes and ids, where a text that is not there yet is told in one probe
// or two, nearly always without comparing any text.
class StringPool {
public:
    using Id = uint32_t;

    StringPool();
    StringPool(StringPool&& other) noexcept = default;
    StringPool& operator=(StringPool&& other) noexcept = default;
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    Id intern(std::string_view text);
    // Valid as long as the pool.
    std::string_view text(Id id) const { return texts_[id]; }
    size_t size() const { return texts_.size(); }

private:
    struct Slot {
        uint32_t hash = 0;
        Id id = 0;  // 0: free
    };
    // Texts end to end in large blocks.
    class Blocks {
    public:
        std::string_view keep(std::string_view text);

    private:
        std::vector<std::unique_ptr<char[]>> blocks_;
        size_t blockBytes_ = 0;  // of the newest block, but for a text of its own
        size_t left_ = 0;
        char* next_ = nullptr;
    };
    void grow();

    std::vector<std::string_view> texts_;  // by id, into blocks_
    Blocks blocks_;
    std::vector<Slot> slots_;  // a power of two, at most half in use
};

}  // namespace kelbo::guide
