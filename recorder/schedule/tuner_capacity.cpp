#include "tuner_capacity.h"

#include <algorithm>
#include <utility>

namespace kelbo {

namespace {

bool overlap(const TunerWindow& a, const TunerWindow& b) {
    return a.bufferedStart < b.bufferedEnd && b.bufferedStart < a.bufferedEnd;
}

// The most of `taken` recording at one instant within `window`. An end and
// a start at the same instant do not overlap: the end comes first.
int peakWithin(const TunerWindow& window, const std::vector<const TunerWindow*>& taken) {
    std::vector<std::pair<Instant, int>> edges;
    edges.reserve(taken.size() * 2);
    for (const TunerWindow* other : taken) {
        edges.emplace_back(std::max(other->bufferedStart, window.bufferedStart), +1);
        edges.emplace_back(std::min(other->bufferedEnd, window.bufferedEnd), -1);
    }
    std::sort(edges.begin(), edges.end());
    int now = 0, peak = 0;
    for (const auto& edge : edges) peak = std::max(peak, now += edge.second);
    return peak;
}

}  // namespace

std::vector<TunerShortage> findTunerShortages(const std::vector<TunerWindow>& windows, int tuners,
                                              Instant now) {
    std::vector<TunerShortage> shortages;
    std::vector<std::size_t> holders;  // programmes that took a tuner, in order
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const TunerWindow& window = windows[i];
        if (window.bufferedEnd <= now || window.bufferedEnd <= window.bufferedStart) continue;
        std::vector<const TunerWindow*> overlapping;
        std::vector<std::size_t> with;
        for (std::size_t holder : holders)
            if (overlap(window, windows[holder])) {
                overlapping.push_back(&windows[holder]);
                with.push_back(holder);
            }
        if (peakWithin(window, overlapping) < tuners) holders.push_back(i);
        else shortages.push_back({i, std::move(with)});
    }
    return shortages;
}

}  // namespace kelbo
