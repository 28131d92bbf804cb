#include "compare/EntryFilterStages.h"

#include "compare/CompareRun.h"

namespace compare {

// The filter stages come here, each called under its condition.
void RunEntryFilterStages(CompareRun& /*run*/) {}

} // namespace compare
