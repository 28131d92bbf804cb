#pragma once
// Stages 4 to 10 of the comparison, in this order and each under its own
// condition: filtering number of levels, including or excluding first level
// folders, filtering file types, collecting local structure file
// attributes, filtering file attributes, filtering common files, filtering
// differences. The no-files check follows stages 4, 5, 6 and 8; stages 9
// and 10 have their own per-structure message (CompareRun::reportNoFiles).
// The stages themselves: EntryFilters.h, AttributeStage.h, CommonFilters.h.

namespace compare {

class CompareRun;

void RunEntryFilterStages(CompareRun& run);

} // namespace compare
