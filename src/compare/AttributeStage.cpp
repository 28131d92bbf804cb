#include "compare/AttributeStage.h"

#include "compare/CompareRun.h"
#include "compare/EntryLists.h"
#include "compare/FilterSupport.h"
#include "platform/AppError.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/frmHiddenForm.h"

#include <algorithm>

namespace compare {

using basGlobal::HiddenForm;

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
        const QString root = basGlobal::AddTrailingSeparator(st.StructureRoot[std::size_t(i)]);
        const int n = entries.count();
        for (int k = 0; k < n; ++k) {
            run.yieldAndCancelTest();
            if (entries.isMarker(k)) {
                entries.appendMarkerValues();
            } else if (const platform::FileFacts* scanned = entries.scannedFacts(k)) {
                entries.appendFactValues(*scanned);
            } else {
                // Not scanned, or its facts are gone: read from the disk.
                const QString rel = entries.path(k);
                platform::FileFacts facts;
                if (const int e = platform::fileFacts(root + rel, facts))
                    throw platform::AppError{e, platform::errorDescription(e) + QStringLiteral(": ") + root + rel};
                entries.appendFactValues(facts);
            }
            run.advanceProgress();
        }
        // Nothing after this stage asks for a file's facts.
        entries.releaseFacts();
    }
}

} // namespace compare
