#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kelbo::guide {

// Each distinct text once: listings repeat titles, categories, credits and
// even whole descriptions thousands of times, so programmes hold small
// numbers into the pool instead of copies. Id 0 is the empty text.
class StringPool {
public:
    using Id = uint32_t;

    StringPool() { texts_.emplace_back(); }
    StringPool(StringPool&& other) noexcept = default;
    StringPool& operator=(StringPool&& other) noexcept = default;
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    Id intern(std::string_view text) {
        if (text.empty()) return 0;
        if (const auto it = index_.find(text); it != index_.end()) return it->second;
        // A deque never moves its elements, so the views in the index stay valid.
        const std::string& kept = texts_.emplace_back(text);
        const Id id = static_cast<Id>(texts_.size() - 1);
        index_.emplace(std::string_view(kept), id);
        return id;
    }
    const std::string& text(Id id) const { return texts_[id]; }
    size_t size() const { return texts_.size(); }

private:
    std::deque<std::string> texts_;
    std::unordered_map<std::string_view, Id> index_;
};

}  // namespace kelbo::guide
