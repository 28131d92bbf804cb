#include "compare/FilterSupport.h"

#include "compare/CompareRun.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"

namespace compare {

void EntryMarks::reset(int structure, int count)
{
    auto& m = m_marks[std::size_t(structure)];
    m.assign(std::size_t(count < 0 ? 0 : count), false);
    m_any[std::size_t(structure)] = false;
}

void EntryMarks::mark(int structure, int k)
{
    m_marks[std::size_t(structure)][std::size_t(k)] = true;
    m_any[std::size_t(structure)] = true;
}

void EntryMarks::apply(CompareRun& run)
{
    for (int i = 0; i < 2; ++i) {
        if (m_any[std::size_t(i)])
            run.removeEntries(i, m_marks[std::size_t(i)]);
        m_marks[std::size_t(i)].clear();
        m_any[std::size_t(i)] = false;
    }
}

void YieldKeepingMarks(CompareRun& run, EntryMarks& marks)
{
    run.view().yieldToUser();
    if (run.view().cancelRequested()) {
        marks.apply(run);
        run.yieldAndCancelTest();
    }
}

} // namespace compare
