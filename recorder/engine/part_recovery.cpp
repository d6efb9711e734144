#include "part_recovery.h"

#include "recorder/schedule/part_files.h"
#include "recorder/ports/log.h"
#include "recorder/schedule/schedule_document.h"

#include <set>

namespace kelbo {

int recoverLeftoverParts(const ScheduleDocument& document) {
    int renamed = 0;
    std::set<std::string> bases;
    for (const ProgrammeId id : document.schedule().inStartOrder()) {
        const std::string base = part_files::baseName(document.fileNameOf(id));
        if (base.empty() || !bases.insert(base).second) continue;
        for (const auto& found : part_files::findWorkingParts(base)) {
            const part_files::FinalNames names = part_files::nameFinalParts(found);
            for (const auto& name : names.named)
                log::info(log::Area::Recording, "Recovered an interrupted recording: " + name);
            for (const auto& name : names.removed)
                log::info(log::Area::Recording, "Removed the empty part file " + name + " of an interrupted recording");
            for (const auto& name : names.failed)
                log::warn(log::Area::Recording, "Could not give its final name to " + name + " of an interrupted recording");
            renamed += static_cast<int>(names.named.size());
        }
    }
    return renamed;
}

}  // namespace kelbo
