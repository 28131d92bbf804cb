#include "compare/AttributeStage.h"

#include "compare/CompareRun.h"
#include "compare/FilterSupport.h"
#include "platform/AppError.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/frmHiddenForm.h"

namespace compare {

using basGlobal::globals;
using basGlobal::HiddenForm;

namespace {

QString digits(int value, int width) { return QString::number(value).rightJustified(width, u'0'); }

QString flagText(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace

FileEntryFields EntryFieldsFromFacts(const platform::FileFacts& facts)
{
    const platform::LocalDateTime& m = facts.modified;
    return {flagText(facts.hidden),
            flagText(facts.system),
            flagText(facts.readOnly),
            flagText(facts.archive),
            basGlobal::FormatSizeText(facts.size < 0 ? 0 : facts.size),
            digits(m.year, 4) + digits(m.month, 2) + digits(m.day, 2),
            digits(m.hour, 2) + digits(m.minute, 2) + digits(m.second, 2)};
}

FileEntryFields MarkerEntryFields()
{
    FileEntryFields f;
    f.fill(basGlobal::EmptyFolderMarker);
    return f;
}

void CollectFileAttributes(CompareRun& run)
{
    RunState& st = run.state();
    if (!st.anyLive())
        return;
    basGlobal::frmHiddenForm& h = HiddenForm();
    qint64 total = 0;
    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i)
        total += h.lstFinalListBox[i]->listCount();
    run.openStage(Stage::CollectingFileAttributes, total);

    const FileEntryFields marker = MarkerEntryFields();
    for (int i = st.FirstLocalStructure; i <= st.LastLocalStructure; ++i) {
        ui::ListBox* lists[7] = {h.lstHidden[i], h.lstSystem[i], h.lstReadOnly[i], h.lstArchive[i],
                                 h.lstSize[i],   h.lstDate[i],   h.lstTime[i]};
        for (ui::ListBox* list : lists)
            list->clear();
        const basGlobal::FileFactsStore& store = basGlobal::StructureFactsStore(i);
        const QString root = basGlobal::AddTrailingSeparator(st.StructureRoot[std::size_t(i)]);
        const ui::ListBox& paths = *h.lstFinalListBox[i];
        const int n = paths.listCount();
        for (int k = 0; k < n; ++k) {
            run.yieldAndCancelTest();
            const QString& rel = paths.list(k);
            FileEntryFields fields;
            if (IsMarkerEntry(rel)) {
                fields = marker;
            } else {
                platform::FileFacts facts;
                if (const basGlobal::Long e = basGlobal::GetEntryFileFacts(store, root + rel, facts))
                    throw platform::AppError{int(e), platform::errorDescription(int(e)) + QStringLiteral(": ") + root + rel};
                fields = EntryFieldsFromFacts(facts);
            }
            for (int f = 0; f < 7; ++f)
                lists[f]->addItem(fields[std::size_t(f)]);
            run.advanceProgress();
        }
    }
}

} // namespace compare
