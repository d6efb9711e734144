#include "plan.h"

#include "overlap_pairs.h"
#include "schedule.h"
#include "tuner_capacity.h"
#include "common/channel_names.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace kelbo {

namespace {

// The schedule tells programmes apart by date, time and channel number.
std::string finishKey(const ScheduleItem& item) {
    return item.StartDate + '\0' + item.StartTime + '\0' + item.ChannelNumber;
}

// A programme that takes part in the choice: not a duplicate, its times read.
struct Kept {
    std::size_t at = 0;  // index into the plan's programmes
    std::optional<RowTimes> times;
};

// A programme that holds a tuner for [from, to): its window from now on.
struct Holder {
    std::size_t at = 0;
    Instant from;
    Instant to;
    // A window of no length (a programme of no duration) holds nothing.
    bool overlaps(const Holder& other) const {
        return from < to && other.from < other.to && from < other.to && other.from < to;
    }
};

class Planner {
public:
    Planner(const Schedule& schedule, Instant now, const std::vector<TunerNow>& tuners,
            std::vector<ProgrammePlan>& plan)
        : schedule_(schedule), now_(now), tuners_(tuners), plan_(plan) {}

    void run() {
        dropDuplicates();
        for (std::size_t number = 1; number <= tuners_.size(); ++number) {
            const TunerNow& tuner = tuners_[number - 1];
            if (tuner.open) open_.push_back(static_cast<int>(number));
            if (tuner.recording && !recordingOn_.contains(tuner.recording))
                recordingOn_[tuner.recording] = static_cast<int>(number);
            if (const ScheduleItem* item = schedule_.stored(tuner.recordedToItsEnd); item && tuner.recordedToItsEnd)
                finished_.insert(finishKey(*item));
        }
        for (Kept& kept : kept_) plan_[kept.at].state = stateOf(kept);
        if (open_.size() == 1) oneTuner();
        else severalTuners();
        markNextOfEachTuner();
    }

private:
    void dropDuplicates() {
        std::map<std::string, ProgrammeId> first;
        for (std::size_t at = 0; at < plan_.size(); ++at) {
            ProgrammePlan& p = plan_[at];
            const ScheduleItem& item = *schedule_.stored(p.id);
            const auto [it, added] = first.try_emplace(
                programmeSlotKey(item.StartDate, item.StartTime, item.ChannelNumber, item.ChannelName), p.id);
            if (added) {
                kept_.push_back({at, schedule_.timesOf(p.id)});
            } else {
                p.state = PlanState::Duplicate;
                p.duplicateOf = it->second;
            }
        }
    }

    PlanState stateOf(const Kept& kept) {
        ProgrammePlan& p = plan_[kept.at];
        if (const auto on = recordingOn_.find(p.id); on != recordingOn_.end()) {
            p.tuner = on->second;
            return PlanState::Recording;
        }
        if (schedule_.statusOf(p.id) == ProgrammeStatus::Stopped) return PlanState::Stopped;
        if (!kept.times) return PlanState::NoTimes;
        if (!(kept.times->bufferedEnd > now_) || finished_.contains(finishKey(*schedule_.stored(p.id))))
            return PlanState::Done;
        return PlanState::ToRecord;
    }

    // Every overlapping pair marked; the tuner takes every programme in turn.
    void oneTuner() {
        PlaceTimes times(kept_.size() + 1);
        for (std::size_t place = 1; place <= kept_.size(); ++place) times[place] = kept_[place - 1].times;
        const std::vector<std::vector<int>> partners = overlapPartners(times, now_);
        for (std::size_t place = 1; place <= kept_.size(); ++place) {
            ProgrammePlan& p = plan_[kept_[place - 1].at];
            for (const int partner : partners[place])
                p.clashesWith.push_back(plan_[kept_[static_cast<size_t>(partner - 1)].at].id);
            if (p.state == PlanState::ToRecord) p.tuner = open_.front();
        }
    }

    bool onOpenTuner(const ProgrammePlan& p) const {
        return p.state == PlanState::Recording && tuners_[static_cast<size_t>(p.tuner - 1)].open;
    }

    // The recordings of the open tuners keep them; then the programmes to
    // record, in start order, take what is left.
    void severalTuners() {
        std::vector<const Kept*> order;
        for (const Kept& kept : kept_)
            if (onOpenTuner(plan_[kept.at]) && kept.times) order.push_back(&kept);
        for (const Kept& kept : kept_)
            if (plan_[kept.at].state == PlanState::ToRecord) order.push_back(&kept);
        std::vector<TunerWindow> windows;
        for (const Kept* kept : order) windows.push_back({kept->times->bufferedStart, kept->times->bufferedEnd});
        std::vector<bool> isShort(order.size(), false);
        for (const TunerShortage& shortage : findTunerShortages(windows, static_cast<int>(open_.size()), now_)) {
            isShort[shortage.programme] = true;
            ProgrammePlan& p = plan_[order[shortage.programme]->at];
            std::vector<std::size_t> holders;
            for (const std::size_t holder : shortage.with) holders.push_back(order[holder]->at);
            std::sort(holders.begin(), holders.end());
            p.state = PlanState::Clash;
            for (const std::size_t holder : holders) p.clashesWith.push_back(plan_[holder].id);
        }
        std::vector<Holder> holders;
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (isShort[i]) continue;
            const RowTimes& times = *order[i]->times;
            // A recording holds its tuner from now, whenever it began.
            const bool recording = plan_[order[i]->at].state == PlanState::Recording;
            const Instant from = recording ? now_ : std::max(times.bufferedStart, now_);
            holders.push_back({order[i]->at, from, times.bufferedEnd});
        }
        giveTuners(holders);
    }

    // In order of their windows from now on, the recordings first (they
    // hold their tuners already); each takes the first open tuner free for
    // the whole of its window. The tuners can never run short: at no
    // instant do more programmes hold one than there are; were it ever
    // otherwise, the programme would clash with those in its way.
    void giveTuners(std::vector<Holder>& holders) {
        std::stable_sort(holders.begin(), holders.end(), [this](const Holder& a, const Holder& b) {
            const bool ar = plan_[a.at].state == PlanState::Recording;
            const bool br = plan_[b.at].state == PlanState::Recording;
            return ar != br ? ar : a.from < b.from;
        });
        std::map<int, std::vector<const Holder*>> taken;
        for (const Holder& holder : holders) {
            ProgrammePlan& p = plan_[holder.at];
            if (p.state == PlanState::ToRecord) {
                const auto free = std::find_if(open_.begin(), open_.end(), [&](int number) {
                    return std::none_of(taken[number].begin(), taken[number].end(),
                                        [&](const Holder* other) { return other->overlaps(holder); });
                });
                if (free == open_.end()) {
                    clashWithAll(p, holder, taken);
                    continue;
                }
                p.tuner = *free;
            }
            if (p.tuner) taken[p.tuner].push_back(&holder);
        }
    }

    void clashWithAll(ProgrammePlan& p, const Holder& holder,
                      const std::map<int, std::vector<const Holder*>>& taken) {
        std::vector<std::size_t> in;
        for (const auto& [number, others] : taken)
            for (const Holder* other : others)
                if (other->overlaps(holder)) in.push_back(other->at);
        std::sort(in.begin(), in.end());
        p.state = PlanState::Clash;
        for (const std::size_t at : in) p.clashesWith.push_back(plan_[at].id);
    }

    void markNextOfEachTuner() {
        std::set<int> marked;
        for (ProgrammePlan& p : plan_)
            if (p.state == PlanState::ToRecord && p.tuner && marked.insert(p.tuner).second) p.next = true;
    }

    const Schedule& schedule_;
    Instant now_;
    const std::vector<TunerNow>& tuners_;
    std::vector<ProgrammePlan>& plan_;
    std::vector<Kept> kept_;
    std::vector<int> open_;
    std::map<ProgrammeId, int> recordingOn_;
    std::set<std::string> finished_;
};

}  // namespace

Plan::Plan(const Schedule& schedule, Instant now, const std::vector<TunerNow>& tuners) {
    programmes_.resize(schedule.inStartOrder().size());
    for (std::size_t at = 0; at < programmes_.size(); ++at) programmes_[at].id = schedule.inStartOrder()[at];
    Planner(schedule, now, tuners, programmes_).run();
}

const ProgrammePlan* Plan::of(ProgrammeId id) const {
    const auto it = std::find_if(programmes_.begin(), programmes_.end(),
                                 [id](const ProgrammePlan& p) { return p.id == id; });
    return it == programmes_.end() ? nullptr : &*it;
}

ProgrammeId Plan::nextFor(int number) const {
    for (const ProgrammePlan& p : programmes_)
        if (p.next && p.tuner == number) return p.id;
    return 0;
}

}  // namespace kelbo
