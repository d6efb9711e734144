#pragma once

namespace kelbo {

class ScheduleDocument;

// A recorder that was killed or lost its power leaves part files under
// their working names ("Base1[1.]".mpg). For every listed programme this
// finds such parts in the folder of its file name (its own or the
// pattern's), and
// gives them their final names as the end of a recording does, counting
// the parts found per file number; empty parts are removed. Returns how
// many files were renamed. Run at start-up, before the first tick.
int recoverLeftoverParts(const ScheduleDocument& document);

}  // namespace kelbo
