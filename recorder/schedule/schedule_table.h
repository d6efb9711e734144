#pragma once

#include "common/schedule_item.h"

#include <array>
#include <string>

namespace kelbo {

// The recorder's in-memory copy of the schedule file: a fixed array of
// 501 slots in file order. A slot with an empty ProgrammeName is free.
class ScheduleTable {
public:
    static constexpr int kSlots = 501;

    ScheduleItem& operator[](int slot) { return slots_.at(static_cast<size_t>(slot)); }
    const ScheduleItem& operator[](int slot) const { return slots_.at(static_cast<size_t>(slot)); }

    // Highest slot in use; 0 also for an empty table.
    int LastIndex = 0;

    void clear();
    // Where a new item goes: slot LastIndex, or the one after it when that
    // slot holds a complete entry. None when the table is full.
    int slotForNewItem();

private:
    std::array<ScheduleItem, kSlots> slots_{};
};

}  // namespace kelbo
