#pragma once

namespace kelbo {

class ScheduleList;

// A recorder that was killed or lost its power leaves part files under
// their working names ("Base1[1.]".mpg). For every item of the list this
// finds such parts in the item's folder, from its "Filename" cell, and
// gives them their final names as the end of a recording does, counting
// the parts found per file number; empty parts are removed. Returns how
// many files were renamed. Run at start-up, before the first tick.
int recoverLeftoverParts(const ScheduleList& list);

}  // namespace kelbo
