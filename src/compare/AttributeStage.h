#pragma once
// The stage "collecting local structure file attributes": every entry of a
// live structure gets its seven field texts, taken from the facts that the
// scan kept for it (StructureFactsStore), so no file is read twice; an entry
// the store lacks is read from the disk once. An imported structure keeps
// the texts of its file. The stage removes no entry and has no no-files
// check. A file whose facts cannot be read raises its error number, which
// the run reports (location "315").

#include "platform/FileSystem.h"

#include <QString>

#include <array>

namespace compare {

class CompareRun;

// The seven texts of one entry, in list order: Hidden, System, ReadOnly,
// Archive ("True"/"False"), Size (at least 10 digits, zero-padded), Date
// (YYYYMMDD) and Time (HHMMSS) of the last write in local time. A marker
// entry has the marker in all seven.
using FileEntryFields = std::array<QString, 7>;

FileEntryFields EntryFieldsFromFacts(const platform::FileFacts& facts);
FileEntryFields MarkerEntryFields();

// Runs when at least one structure is live; fills the seven value lists of
// each live structure.
void CollectFileAttributes(CompareRun& run);

} // namespace compare
