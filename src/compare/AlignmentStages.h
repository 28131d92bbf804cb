#pragma once
// Stages 11 to 18 of the comparison, in this order: collecting folders,
// aligning primary and secondary structure folders, the fail-safe check of
// the aligned folders, aligning files, initializing and populating the grid
// and the final processing (which sets RunState::StructuresDiffer and fills
// the totals labels).
//
// None of these stages is built yet: the group runs no stage, so a
// comparison ends with the common exit right after the filters, with the
// results grid as the window opened it.

namespace compare {

class CompareRun;

void RunAlignmentAndGridStages(CompareRun& run);

} // namespace compare
