#include "schedule_table.h"

namespace kelbo {

void ScheduleTable::clear() {
    for (auto& item : slots_) item.clear();
    LastIndex = 0;
}

int ScheduleTable::slotForNewItem() {
    if (!(*this)[LastIndex].hasRequiredFields()) return LastIndex;
    if (LastIndex + 1 >= kSlots) return -1;
    return ++LastIndex;
}

}  // namespace kelbo
