#pragma once
// What the filter stages share.
//
// A filter decides about every entry of a structure before it takes any
// out: it marks the entries to remove and then applies the marks in one
// pass over the structure's paths and values (CompareRun::removeEntries).
// Removing entry by entry would move the tail of both once per removal; the
// marks give the same entries, in the same order, with the same paths in
// lstExcluded.
//
// A cancel must not lose what the stage has decided so far: the yield of a
// marking loop applies the marks before the run leaves, so the lists hold
// exactly what the stage had done, as if it had removed entry by entry.

#include <QString>

#include <array>
#include <vector>

namespace compare {

class CompareRun;

// The entries of both structures that a stage will remove.
class EntryMarks {
public:
    // Starts marking structure i, which holds n entries.
    void reset(int structure, int count);
    void mark(int structure, int k);
    bool marked(int structure, int k) const { return m_marks[std::size_t(structure)][std::size_t(k)]; }
    bool any(int structure) const { return m_any[std::size_t(structure)]; }
    // Removes the marked entries of both structures (paths to lstExcluded)
    // and forgets the marks.
    void apply(CompareRun& run);

private:
    std::array<std::vector<bool>, 2> m_marks;
    std::array<bool, 2> m_any{};
};

// The yield and cancel test inside a marking loop: when the yield brings a
// cancel, the marks are applied first, then the run leaves.
void YieldKeepingMarks(CompareRun& run, EntryMarks& marks);

} // namespace compare
