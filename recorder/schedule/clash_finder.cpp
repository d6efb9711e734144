#include "clash_finder.h"

#include "overlap_pairs.h"
#include "schedule.h"
#include "tuner_capacity.h"
#include "common/channel_names.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kelbo {

namespace {

// Every duplicate (same date, time, channel number and name as an earlier row)
// goes before any pair is compared, so the row that stays never names its
// own duplicate as a clash. Rows sharing a start need not be next to each
// other, so all earlier rows count, not just the one above.
void dropDuplicates(Schedule& schedule) {
    std::set<std::string> seen;
    std::vector<ProgrammeId> dropped;
    for (const ProgrammeId id : schedule.inStartOrder()) {
        const ScheduleItem& item = *schedule.stored(id);
        std::string key = programmeSlotKey(item.StartDate, item.StartTime, item.ChannelNumber, item.ChannelName);
        if (!seen.insert(std::move(key)).second) dropped.push_back(id);
    }
    for (const ProgrammeId id : dropped) schedule.unlist(id);
}

}  // namespace

std::vector<ProgrammeId> Clashes::with(ProgrammeId id) const {
    std::vector<ProgrammeId> ids;
    const auto at = std::find(order.begin(), order.end(), id);
    if (at == order.end()) return ids;
    for (const int row : partners[static_cast<size_t>(at - order.begin()) + 1])
        ids.push_back(order[static_cast<size_t>(row - 1)]);
    return ids;
}

namespace {

// Times are read once per call; programmes whose texts do not read as
// times take part in no clash.
PlaceTimes timesInOrder(const Schedule& schedule, const std::vector<ProgrammeId>& order) {
    PlaceTimes times(order.size() + 1);
    for (size_t place = 1; place <= order.size(); ++place) times[place] = schedule.timesOf(order[place - 1]);
    return times;
}

// Several tuners: the programmes, in start order, that find every tuner
// taken, each naming those that hold them; the holders themselves are no
// clash.
std::vector<std::vector<int>> shortOfTuners(const PlaceTimes& times, int tuners, Instant now) {
    std::vector<TunerWindow> windows;
    std::vector<int> placeOf;
    for (size_t place = 1; place < times.size(); ++place) {
        if (!times[place]) continue;
        windows.push_back({times[place]->bufferedStart, times[place]->bufferedEnd});
        placeOf.push_back(static_cast<int>(place));
    }
    std::vector<std::vector<int>> partners(times.size());
    for (const TunerShortage& shortage : findTunerShortages(windows, tuners, now)) {
        std::vector<int>& named = partners[static_cast<size_t>(placeOf[shortage.programme])];
        for (const std::size_t holder : shortage.with) named.push_back(placeOf[holder]);
    }
    return partners;
}

}  // namespace

Clashes findClashes(Schedule& schedule, Instant now, int tuners) {
    dropDuplicates(schedule);
    Clashes clashes;
    clashes.order = schedule.inStartOrder();
    const PlaceTimes times = timesInOrder(schedule, clashes.order);
    if (tuners > 1) {
        clashes.partners = shortOfTuners(times, tuners, now);
        return clashes;
    }
    clashes.partners = overlapPartners(times, now);
    return clashes;
}

}  // namespace kelbo
