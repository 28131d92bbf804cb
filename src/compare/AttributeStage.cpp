#include "compare/AttributeStage.h"

#include "compare/CompareRun.h"
#include "compare/EntryLists.h"

#include <stdexcept>

namespace compare {

void CollectFileAttributes(CompareRun& run)
{
    RunState& st = run.state();
    if (!st.anyLive())
        return;
    qint64 total = 0;
    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i)
        total += EntryLists(i).count();
    run.openStage(Stage::CollectingFileAttributes, total);

    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i) {
        const EntryLists entries(i);
        entries.clearFields();
        const int n = entries.count();
        for (int k = 0; k < n; ++k) {
            run.yieldAndCancelTest();
            if (entries.isMarker(k)) {
                entries.appendMarkerValues();
            } else if (const platform::FileFacts* scanned = entries.scannedFacts(k)) {
                entries.appendFactValues(*scanned);
            } else {
                // Every file of a live structure came from the scan with its
                // facts; without them the stage has nothing true to write.
                throw std::logic_error("a scanned entry without its facts");
            }
            run.advanceProgress();
        }
        // Nothing after this stage asks for a file's facts.
        entries.releaseFacts();
    }
}

} // namespace compare
