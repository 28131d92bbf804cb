#include "compare/EntryFilterStages.h"

#include "compare/AttributeStage.h"
#include "compare/CommonFilters.h"
#include "compare/CompareRun.h"
#include "compare/EntryFilters.h"

namespace compare {

// Each stage tests its own condition; the attributes are collected after
// the first three filters, so only the entries they kept are looked at, and
// directly before the filter that needs them.
void RunEntryFilterStages(CompareRun& run)
{
    FilterNumberOfLevels(run);
    FilterFirstLevelFolders(run);
    FilterFileTypes(run);
    CollectFileAttributes(run);
    FilterFileAttributes(run);
    FilterCommonFiles(run);
    FilterDifferences(run);
}

} // namespace compare
