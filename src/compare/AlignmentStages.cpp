#include "compare/AlignmentStages.h"

#include "compare/CompareRun.h"
#include "compare/FileAlignment.h"
#include "compare/FolderAlignment.h"
#include "compare/GridFill.h"
#include "shared/basGlobal.h"

namespace compare {

void RunAlignmentAndGridStages(CompareRun& run)
{
    AlignmentWork work;
    CollectFolders(run, work);
    AlignPrimaryFolders(run, work);
    AlignSecondaryFolders(run, work);
    if (run.settings().failSafeChecks) CheckAlignedFolders(run, work);
    AlignFiles(run, work);
    // The grid is the run's largest piece: what built the output rows goes
    // first, and its memory back to the system, so the grid takes its place.
    work = AlignmentWork();
    ReturnFreeMemory();
    InitializeGrid(run);
    const GridTotals totals = PopulateGrid(run);
    FinalProcessing(run, totals);
}

} // namespace compare
