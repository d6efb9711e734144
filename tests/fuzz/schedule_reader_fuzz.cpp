// Feeds arbitrary bytes to the schedule reader. Besides not crashing, every
// record must read back with the same fields after the recorder writes it.
#include "common/schedule_format.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

using namespace kelbo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ScheduleReader reader(in);
    while (auto record = reader.next()) {
        ScheduleItem item = record->item;
        const std::string written = formatRecord(item);
        if (written.empty()) continue;
        std::istringstream again(written);
        ScheduleReader rereader(again);
        auto back = rereader.next();
        if (!back || rereader.next()) std::abort();
        back->item.IndexString = item.IndexString;
        if (!(back->item == item)) std::abort();
    }
    return 0;
}
