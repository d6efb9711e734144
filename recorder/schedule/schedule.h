#pragma once

#include "programme.h"
#include "schedule_table.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelbo {

// Told of every change of the programmes in start order, so that a
// projection (the windows' list) keeps in step. Positions count from 0.
class ScheduleObserver {
public:
    virtual ~ScheduleObserver() = default;
    virtual void scheduleCleared() {}
    virtual void programmeListed(ProgrammeId /*id*/, int /*position*/) {}
    virtual void programmeUnlisted(ProgrammeId /*id*/, int /*position*/) {}
    // `position` is -1 for a programme that is not listed.
    virtual void programmeChanged(ProgrammeId /*id*/, int /*position*/) {}
};

// The recorder's programmes. Records live in 501 slots in file order; the
// listed ones (those with the six required fields, less the duplicates the
// clash finder drops) also stand in start order, by IndexString, a newly
// placed one after those with the same key. The version changes with every
// change, so a reader can tell whether what it drew is still current.
class Schedule {
public:
    static constexpr int kSlots = ScheduleTable::kSlots;

    // The default buffers are read at each use: the options edit them in place.
    Schedule(const std::string& defaultStartBuffer, const std::string& defaultEndBuffer);
    // A copy tells no one of its changes.
    Schedule(const Schedule& other);
    Schedule& operator=(const Schedule&) = delete;

    // Observers are told in the order they were added.
    void addObserver(ScheduleObserver* observer) { observers_.push_back(observer); }
    void removeObserver(ScheduleObserver* observer);

    // Replaces every record, in file order from slot 0, nothing listed. A
    // record with the same programme key as one held before keeps its id.
    void load(std::vector<ScheduleItem> inFileOrder);
    // Lists every slot with the required fields again, in start order. Also
    // takes in what was written to the slots directly.
    void listAll();

    // A new programme in the first free slot; none when the slots are full.
    std::optional<ProgrammeId> add(ScheduleItem item);
    // Replaces the record. It keeps its place in the start order unless its
    // start key changed; it is listed or unlisted as its fields require.
    bool edit(ProgrammeId id, ScheduleItem item);
    // Places a listed programme anew, after those of the same start key.
    bool placeAgain(ProgrammeId id);
    // Frees its slot.
    bool remove(ProgrammeId id);
    // Takes it out of the start order only: it keeps its slot, and is not
    // written back to the file.
    bool unlist(ProgrammeId id);
    bool setStatus(ProgrammeId id, ProgrammeStatus status);

    std::optional<Programme> find(ProgrammeId id) const;
    // The record as stored; null for an unknown id.
    const ScheduleItem* stored(ProgrammeId id) const;
    std::optional<RowTimes> timesOf(ProgrammeId id) const;
    ProgrammeStatus statusOf(ProgrammeId id) const;
    const std::vector<ProgrammeId>& inStartOrder() const { return order_; }
    int listedCount() const { return static_cast<int>(order_.size()); }
    // Position in the start order from 0; -1 when not listed.
    int position(ProgrammeId id) const;
    ProgrammeId idAt(int slot) const;
    int slotOf(ProgrammeId id) const;
    ProgrammeId recordingId() const { return recording_; }
    std::uint64_t version() const { return version_; }

    // The slots themselves, for the file's reading and writing and file
    // naming. Whoever writes them directly calls listAll() afterwards.
    ScheduleTable& slotTable() { return table_; }
    const ScheduleTable& slotTable() const { return table_; }

private:
    void changed() { ++version_; }
    void list(ProgrammeId id);
    void unlistAt(int position);
    int placeFor(const std::string& key) const;
    ProgrammeId newId() { return ++lastId_; }
    template <typename F> void tell(F&& f) {
        for (ScheduleObserver* o : observers_) f(*o);
    }

    const std::string& defaultStartBuffer_;
    const std::string& defaultEndBuffer_;
    ScheduleTable table_;
    std::array<ProgrammeId, kSlots> ids_{};
    std::vector<ProgrammeId> order_;
    ProgrammeId lastId_ = 0;
    ProgrammeId recording_ = 0;
    std::uint64_t version_ = 0;
    std::vector<ScheduleObserver*> observers_;
};

}  // namespace kelbo
