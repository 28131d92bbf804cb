#pragma once
// Stages 11 to 18 of the comparison, in this order: collecting folders,
// aligning primary and secondary structure folders, the fail-safe check of
// the aligned folders, aligning files, initializing and populating the grid
// and the final processing (which sets RunState::StructuresDiffer and fills
// the totals labels).
//
// The stages themselves: FolderAlignment.h (11-14), FileAlignment.h (15),
// GridFill.h (16-18).

namespace compare {

class CompareRun;

void RunAlignmentAndGridStages(CompareRun& run);

} // namespace compare
