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
        const basGlobal::FileFactsStore& store = basGlobal::StructureFactsStore(i);
        const QString root = basGlobal::AddTrailingSeparator(st.StructureRoot[std::size_t(i)]);
        qsizetype cursor = 0;   // the entries come in the order the scan put their facts
        const ui::ListBox& paths = entries.paths();
        const int n = paths.listCount();
        for (int k = 0; k < n; ++k) {
            run.yieldAndCancelTest();
            const QString& rel = paths.list(k);
            if (IsMarkerEntry(rel)) {
                entries.appendMarkerValues();
            } else {
                platform::FileFacts facts;
                if (const basGlobal::Long e = basGlobal::GetEntryFileFacts(store, root, rel, cursor, facts))
                    throw platform::AppError{int(e), platform::errorDescription(int(e)) + QStringLiteral(": ") + root + rel};
                entries.appendFactValues(facts);
            }
            run.advanceProgress();
        }
        // Nothing after this stage asks for a file's facts.
        basGlobal::StructureFactsStore(i).release();
    }
}

} // namespace compare
