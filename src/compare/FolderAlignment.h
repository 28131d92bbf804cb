#pragma once
// Stages 11 to 14 of the comparison: the folders that the entries of each
// structure lie in, and the two folder lists made to face each other row by
// row.
//
// - "collecting folders" reads each structure's entries once into an
//   AlignmentWork: every entry with its folder key (the case rule applied to
//   the text before its last "\"), grouped by that key over the whole
//   structure (so a folder whose entries are not next to each other still
//   gets one row), and the empty-folder entries taken out as a flag. A
//   folder row gets code 2 when the folder holds no file of its own, else 0.
//   It fills lstAlignedFoldersUnsorted (order of first appearance) and
//   lstAlignedFoldersSorted (the program's one sort order) and takes the
//   empty-folder entries out of the structure's entries, not into
//   lstExcluded.
// - "aligning primary/secondary structure folders" insert into each sorted
//   list, with code 1, the folders that only the other structure has: the
//   two lists are merged under the one sort order and the case rule, so row
//   k of one always faces row k of the other, also for names that differ
//   only in letter case.
// - the fail-safe checks of both (FailSafeChecks) verify that, and report
//   as the run frame does.

#include "compare/CompareRun.h"

#include <QString>

#include <algorithm>
#include <array>
#include <vector>

namespace compare {

enum AlignmentCode : int { acPresent = 0, acInserted = 1, acEmptyFolder = 2 };

// One entry of a structure as the folder and file stages see it: its index
// among the structure's entries (EntryLists.h) once the empty-folder
// entries have left them. The entries themselves hold the name and values,
// so an entry needs no copy of its own: the file stage lets go of an
// entry's name once the rows of its folder pair are written, and of the
// values (with the entries) when its last pair is done.
struct AlignedEntry {
    int row = -1;
};

// One row of an aligned folder list.
struct FolderRow {
    QString text;      // "\" for the root, else the relative path without a trailing "\"
    int code = acPresent;
    bool root = false;
    int group = -1;    // the structure's entry group, -1 for an inserted row
};

// What the folder stages hand to the file stage, per structure.
struct StructureWork {
    std::vector<AlignedEntry> entries;
    // Entry indexes per folder, in entry order; a group per folder key.
    std::vector<std::vector<int>> groups;
    // Per group: its entries are known to be in sort order (one folder of a scan).
    std::vector<bool> groupSorted;
    std::vector<FolderRow> rows;   // sorted, then aligned
};

struct AlignmentWork {
    std::array<StructureWork, 2> side;
};

// Pairs of indexes into a and b (-1: nothing on that side) that put the two
// sorted sequences side by side: equal keys face each other (the k-th
// occurrence of a key on one side the k-th on the other), the rest follow
// the one sort order of their texts.
std::vector<std::pair<int, int>> MergeAligned(const std::vector<QString>& textsA, const std::vector<QString>& keysA,
                                              const std::vector<QString>& textsB, const std::vector<QString>& keysB);

// The same over any two sequences of na and nb items: sameKey(a, b) tells
// whether item a of the first faces item b of the second, notAfter(a, b)
// whether a sorts before or equal to b.
template <class SameKey, class NotAfter>
std::vector<std::pair<int, int>> MergeAlignedBy(std::size_t na, std::size_t nb, SameKey sameKey, NotAfter notAfter)
{
    std::vector<std::pair<int, int>> out;
    out.reserve(std::max(na, nb));
    std::size_t a = 0, b = 0;
    while (a < na && b < nb) {
        if (sameKey(a, b)) out.emplace_back(int(a++), int(b++));
        else if (notAfter(a, b)) out.emplace_back(int(a++), -1);
        else out.emplace_back(-1, int(b++));
    }
    while (a < na) out.emplace_back(int(a++), -1);
    while (b < nb) out.emplace_back(-1, int(b++));
    return out;
}

void CollectFolders(CompareRun& run, AlignmentWork& work);
void AlignPrimaryFolders(CompareRun& run, AlignmentWork& work);
void AlignSecondaryFolders(CompareRun& run, AlignmentWork& work);
void CheckAlignedFolders(CompareRun& run, const AlignmentWork& work);

// Counts one item of the current stage; the main bar follows in steps of a
// thousandth of the stage (and at its end), which no eye can tell from a
// step per item.
void StepProgress(CompareRun& run);

} // namespace compare
