#pragma once
// The stage "collecting local structure file attributes": every entry of a
// live structure gets its seven fields, taken from the facts that the
// scan kept with it (EntryLists): the stage reads no file, so a file that
// changed or went away since the scan keeps what the scan saw. An
// imported structure keeps the texts of its file. The stage removes no
// entry and has no no-files check. A file entry without the scan's facts,
// which no run leaves, is a fault of the program that the run reports
// (location "315").

#include "platform/FileSystem.h"

#include <QString>

#include <array>

namespace compare {

class CompareRun;

// Runs when at least one structure is live; gives every entry of each live
// structure its values: the facts of its file (the last write in local
// time), or the marker for an empty folder's entry.
void CollectFileAttributes(CompareRun& run);

} // namespace compare
