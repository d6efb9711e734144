#include "string_pool.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace kelbo::guide {

namespace {

// Blocks start small and double up to their full size, so that a short
// listing (and each of the many read in tests) does not pay for a large one.
constexpr size_t kFirstBlockBytes = size_t(4) << 10;
constexpr size_t kBlockBytes = size_t(1) << 20;

uint32_t hashOf(std::string_view text) {
    const size_t full = std::hash<std::string_view>()(text);
    return static_cast<uint32_t>(full ^ (full >> 32));
}

}  // namespace

StringPool::StringPool() : texts_(1), slots_(64) {}

std::string_view StringPool::Blocks::keep(std::string_view text) {
    if (text.size() > left_) {
        // A text longer than a block gets one of its own; the rest of the
        // current block is given up (at most a text's length).
        blockBytes_ = blockBytes_ ? std::min(blockBytes_ * 2, kBlockBytes) : kFirstBlockBytes;
        const size_t bytes = std::max(blockBytes_, text.size());
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        next_ = blocks_.back().get();
        left_ = bytes;
    }
    std::memcpy(next_, text.data(), text.size());
    const std::string_view kept(next_, text.size());
    next_ += text.size();
    left_ -= text.size();
    return kept;
}

void StringPool::grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.id) continue;
        size_t at = slot.hash & mask;
        while (slots_[at].id) at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

StringPool::Id StringPool::intern(std::string_view text) {
    if (text.empty()) return 0;
    const uint32_t hash = hashOf(text);
    const size_t mask = slots_.size() - 1;
    size_t at = hash & mask;
    for (; slots_[at].id; at = (at + 1) & mask)
        if (slots_[at].hash == hash && texts_[slots_[at].id] == text) return slots_[at].id;
    const Id id = static_cast<Id>(texts_.size());
    texts_.push_back(blocks_.keep(text));
    slots_[at] = {hash, id};
    if (texts_.size() * 2 > slots_.size()) grow();
    return id;
}

}  // namespace kelbo::guide
