#include "compare/AlignmentStages.h"

#include "compare/CompareRun.h"

namespace compare {

// The folder, file and grid stages come here, in their order.
void RunAlignmentAndGridStages(CompareRun& /*run*/) {}

} // namespace compare
