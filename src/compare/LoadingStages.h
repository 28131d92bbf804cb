#pragma once
// Stages 1 to 3 of the comparison: both structures brought into the same
// form. After them, each structure's entries (EntryLists.h) hold one entry
// per file (or per empty folder): its path relative to the structure's root
// (no leading "\") and its seven value fields, the file's texts for an
// imported structure, a single blank for a live one until the attribute
// stage fills them.
//
// - Importing (ComparisonMode 1): the exported-structure files named in
//   ImportedStructureFile, for FirstStructureToProcess to
//   LastStructureToProcess; it sets the live range first. A file that
//   cannot be opened or is damaged ends the run with a message that names
//   the file and the line.
// - Scanning (some structure live): every file below CurrentPath of each
//   live structure, as its folder relative to the root and its name; the
//   facts of each file are kept with it (EntryLists) for the attribute
//   stage. Then the no-files check.
// - Preparing (some structure live): blank fields.

namespace compare {

class CompareRun;

// The live range, then the three stages in order.
void RunLoadingStages(CompareRun& run);

void SetLiveRange(CompareRun& run);
void ImportRemoteStructures(CompareRun& run);
void ScanLocalStructures(CompareRun& run);
void PrepareLocalStructures(CompareRun& run);

} // namespace compare
