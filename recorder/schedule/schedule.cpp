#include "schedule.h"

#include "record_merge.h"

#include <algorithm>
#include <unordered_map>

namespace kelbo {

Schedule::Schedule(const std::string& defaultStartBuffer, const std::string& defaultEndBuffer)
    : defaultStartBuffer_(defaultStartBuffer), defaultEndBuffer_(defaultEndBuffer) {}

Schedule::Schedule(const Schedule& other)
    : defaultStartBuffer_(other.defaultStartBuffer_),
      defaultEndBuffer_(other.defaultEndBuffer_),
      table_(other.table_),
      ids_(other.ids_),
      order_(other.order_),
      lastId_(other.lastId_),
      recording_(other.recording_),
      version_(other.version_) {}

void Schedule::load(std::vector<ScheduleItem> inFileOrder) {
    std::unordered_multimap<std::string, ProgrammeId> before;
    for (int slot = 0; slot < kSlots; ++slot)
        if (ids_[static_cast<size_t>(slot)] != 0) before.emplace(programmeKey(table_[slot]), ids_[static_cast<size_t>(slot)]);
    table_.clear();
    ids_.fill(0);
    order_.clear();
    bool recordingKept = false;
    int slot = 0;
    for (auto& item : inFileOrder) {
        if (slot >= kSlots) break;
        ProgrammeId id = 0;
        if (const auto it = before.find(programmeKey(item)); it != before.end()) {
            id = it->second;
            before.erase(it);
        } else {
            id = newId();
        }
        recordingKept = recordingKept || id == recording_;
        ids_[static_cast<size_t>(slot)] = id;
        table_[slot++] = std::move(item);
    }
    table_.LastIndex = slot > 0 ? slot - 1 : 0;
    if (!recordingKept) recording_ = 0;
    changed();
    tell([](ScheduleObserver& o) { o.scheduleCleared(); });
}

void Schedule::listAll() {
    order_.clear();
    tell([](ScheduleObserver& o) { o.scheduleCleared(); });
    for (int slot = 0; slot <= table_.LastIndex; ++slot) {
        auto& id = ids_[static_cast<size_t>(slot)];
        if (!table_[slot].inUse()) {
            id = 0;
            continue;
        }
        if (id == 0) id = newId();
        if (table_[slot].hasRequiredFields()) list(id);
    }
    changed();
}

int Schedule::placeFor(const std::string& key) const {
    const auto where = std::upper_bound(order_.begin(), order_.end(), key, [this](const std::string& k, ProgrammeId id) {
        return k < table_[slotOf(id)].IndexString;
    });
    return static_cast<int>(where - order_.begin());
}

void Schedule::list(ProgrammeId id) {
    const int at = placeFor(table_[slotOf(id)].IndexString);
    order_.insert(order_.begin() + at, id);
    tell([&](ScheduleObserver& o) { o.programmeListed(id, at); });
}

void Schedule::unlistAt(int at) {
    const ProgrammeId id = order_[static_cast<size_t>(at)];
    order_.erase(order_.begin() + at);
    tell([&](ScheduleObserver& o) { o.programmeUnlisted(id, at); });
}

void Schedule::removeObserver(ScheduleObserver* observer) { std::erase(observers_, observer); }

std::optional<ProgrammeId> Schedule::add(ScheduleItem item) {
    const int slot = table_.slotForNewItem();
    if (slot < 0) return std::nullopt;
    // A slot that held an incomplete record is taken over, as a load would.
    if (const ProgrammeId old = ids_[static_cast<size_t>(slot)]; old != 0 && position(old) >= 0)
        unlistAt(position(old));
    const bool listed = item.hasRequiredFields();
    table_[slot] = std::move(item);
    const ProgrammeId id = table_[slot].inUse() ? newId() : 0;
    ids_[static_cast<size_t>(slot)] = id;
    if (listed) list(id);
    changed();
    return id;
}

bool Schedule::edit(ProgrammeId id, ScheduleItem item) {
    const int slot = slotOf(id);
    if (slot < 0) return false;
    if (!item.inUse()) return remove(id);
    ScheduleItem& ours = table_[slot];
    const int at = position(id);
    const bool keyChanged = ours.IndexString != item.IndexString;
    ours = std::move(item);
    if (at >= 0 && (keyChanged || !ours.hasRequiredFields())) {
        unlistAt(at);
        if (ours.hasRequiredFields()) list(id);
    } else if (at < 0 && ours.hasRequiredFields()) {
        list(id);
    } else {
        tell([&](ScheduleObserver& o) { o.programmeChanged(id, at); });
    }
    changed();
    return true;
}

bool Schedule::placeAgain(ProgrammeId id) {
    const int at = position(id);
    if (at < 0) return false;
    unlistAt(at);
    list(id);
    changed();
    return true;
}

bool Schedule::remove(ProgrammeId id) {
    const int slot = slotOf(id);
    if (slot < 0) return false;
    if (const int at = position(id); at >= 0) unlistAt(at);
    table_[slot].clear();
    ids_[static_cast<size_t>(slot)] = 0;
    if (recording_ == id) recording_ = 0;
    changed();
    return true;
}

bool Schedule::unlist(ProgrammeId id) {
    const int at = position(id);
    if (at < 0) return false;
    unlistAt(at);
    changed();
    return true;
}

bool Schedule::setStatus(ProgrammeId id, ProgrammeStatus status) {
    const int slot = slotOf(id);
    if (slot < 0) return false;
    table_[slot].Complete = storedMark(status);
    if (status == ProgrammeStatus::Recording) recording_ = id;
    else if (recording_ == id) recording_ = 0;
    tell([&, at = position(id)](ScheduleObserver& o) { o.programmeChanged(id, at); });
    changed();
    return true;
}

std::optional<Programme> Schedule::find(ProgrammeId id) const {
    const int slot = slotOf(id);
    if (slot < 0) return std::nullopt;
    return readProgramme(id, table_[slot], statusOf(id), defaultStartBuffer_, defaultEndBuffer_);
}

const ScheduleItem* Schedule::stored(ProgrammeId id) const {
    const int slot = slotOf(id);
    return slot < 0 ? nullptr : &table_[slot];
}

std::optional<RowTimes> Schedule::timesOf(ProgrammeId id) const {
    const int slot = slotOf(id);
    if (slot < 0) return std::nullopt;
    return programmeTimes(table_[slot], defaultStartBuffer_, defaultEndBuffer_);
}

ProgrammeStatus Schedule::statusOf(ProgrammeId id) const {
    if (id != 0 && id == recording_) return ProgrammeStatus::Recording;
    const ScheduleItem* item = stored(id);
    return item ? storedStatus(item->Complete) : ProgrammeStatus::Pending;
}

int Schedule::position(ProgrammeId id) const {
    if (id == 0) return -1;
    const auto it = std::find(order_.begin(), order_.end(), id);
    return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
}

ProgrammeId Schedule::idAt(int slot) const {
    return slot >= 0 && slot < kSlots ? ids_[static_cast<size_t>(slot)] : 0;
}

int Schedule::slotOf(ProgrammeId id) const {
    if (id == 0) return -1;
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    return it == ids_.end() ? -1 : static_cast<int>(it - ids_.begin());
}

}  // namespace kelbo
