#pragma once
// Stage 15 of the comparison, "aligning files": folder pair by folder pair
// (row k of both aligned folder lists), each structure's files of that
// folder become names, the names one structure lacks are inserted into it
// with code 1 (the k-th occurrence of a name facing the k-th on the other
// side, under the one sort order and the case rule), and both structures'
// rows go to lstOutput:
//
//   folder row    the folder's text and "\" (none for the root), its code
//   file row      name|hidden|system|read-only|archive|size|date|time, 0
//   inserted row  name|, 1
//
// Each name carries its own entry, so a file's line is never looked up by
// its text: a name holding "|" keeps its line. The six step indicators and
// the second progress bar follow the steps of each pair; the pair's
// fail-safe check (FailSafeChecks) verifies counts, names and codes. At the
// end the aligned folder lists and the structures' entries are empty.

#include "compare/FolderAlignment.h"

namespace compare {

void AlignFiles(CompareRun& run, AlignmentWork& work);

} // namespace compare
