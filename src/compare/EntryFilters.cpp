#include "compare/EntryFilters.h"

#include "compare/CompareRun.h"
#include "compare/FilterSupport.h"
#include "compare/frmCompare.h"
#include "platform/AppError.h"
#include "shared/PathText.h"
#include "shared/frmHiddenForm.h"

#include <QSet>

#include <set>

namespace compare {

using basGlobal::globals;
using basGlobal::HiddenForm;

namespace {

// The loop that the levels, file-type and attribute filters share: every
// entry tested once, Primary first; the marked ones leave together at the
// end, then the no-files check under the stage's name.
template <class Rule>
void filterLoop(CompareRun& run, Stage stage, Rule takesOut)
{
    basGlobal::frmHiddenForm& h = HiddenForm();
    const int n[2] = {h.lstFinalListBox[0]->listCount(), h.lstFinalListBox[1]->listCount()};
    run.openStage(stage, qint64(n[0]) + qint64(n[1]));
    EntryMarks marks;
    marks.reset(0, n[0]);
    marks.reset(1, n[1]);
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < n[i]; ++k) {
            YieldKeepingMarks(run, marks);
            if (takesOut(i, k))
                marks.mark(i, k);
            run.advanceProgress();
        }
    }
    marks.apply(run);
    run.noFilesCheck(StageName(stage, globals().LanguageIsGreek));
}

// A flag text of the attribute lists: "True" or "False" in any letter case
// (blanks around are tolerated, as the structure files' reader does).
bool flagIsSet(const QString& text)
{
    // The attribute stage writes exactly these two; anything else is read
    // the tolerant way below.
    if (text.size() == 4 && QStringView(text) == u"True")
        return true;
    if (text.size() == 5 && QStringView(text) == u"False")
        return false;
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    throw platform::makeError(platform::errTypeMismatch);
}

} // namespace

void FilterNumberOfLevels(CompareRun& run)
{
    const int limit = globals().NumberOfLevelsLimit;
    if (limit <= 0)
        return;
    basGlobal::frmHiddenForm& h = HiddenForm();
    filterLoop(run, Stage::FilteringNumberOfLevels, [&](int i, int k) {
        const QString& path = h.lstFinalListBox[i]->list(k);
        return qint64(path.count(u'\\')) + 1 > limit;
    });
}

void FilterFirstLevelFolders(CompareRun& run)
{
    const basGlobal::Globals& g = globals();
    if (g.FolderSelectionState != 1 && g.FolderSelectionState != 2)
        return;
    basGlobal::frmHiddenForm& h = HiddenForm();
    const int names[2] = {h.lstFoldersToIncludeExclude[0]->listCount(), h.lstFoldersToIncludeExclude[1]->listCount()};
    if (names[0] <= 0 && names[1] <= 0)
        return;

    qint64 total = 0;
    for (int i = 0; i < 2; ++i)
        if (names[i] > 0)
            total += h.lstFinalListBox[i]->listCount();
    run.openStage(g.FolderSelectionState == 1 ? Stage::IncludingFirstLevelFolders : Stage::ExcludingFirstLevelFolders,
                  total);
    // The message quotes the label as it reads now.
    const QString stageText = run.form().lblProcessInProgress->caption();

    const bool cs = g.VolumeIsCaseSensitive;
    EntryMarks marks;
    for (int i = 0; i < 2; ++i)
        marks.reset(i, h.lstFinalListBox[i]->listCount());
    for (int i = 0; i < 2; ++i) {
        YieldKeepingMarks(run, marks);
        if (names[i] <= 0)
            continue;
        // The listed folders as keys with their "\", and the lengths they
        // come in: an entry is tested only at its own "\"s of those lengths.
        QSet<QString> folderKeys;
        std::set<qsizetype> lengths;
        for (int j = 0; j < names[i]; ++j) {
            const QString key =
                basGlobal::ApplyCaseSensitivity(basGlobal::AddTrailingSeparator(h.lstFoldersToIncludeExclude[i]->list(j)), cs);
            folderKeys.insert(key);
            lengths.insert(key.size());
        }
        ui::ListBox& paths = *h.lstFinalListBox[i];
        const int n = paths.listCount();
        for (int k = 0; k < n; ++k) {
            YieldKeepingMarks(run, marks);
            const QString key = basGlobal::ApplyCaseSensitivity(paths.list(k), cs);
            for (const qsizetype len : lengths) {
                if (len > key.size())
                    break;
                if (key[len - 1] == u'\\' && folderKeys.contains(key.left(len))) {
                    marks.mark(i, k);
                    break;
                }
            }
            run.advanceProgress();
        }
    }
    marks.apply(run);
    run.noFilesCheck(stageText);
}

void FilterFileTypes(CompareRun& run)
{
    const QString pattern = globals().FileTypesPattern;
    if (pattern == u"*.*")
        return;
    basGlobal::frmHiddenForm& h = HiddenForm();
    filterLoop(run, Stage::FilteringFileTypes, [&](int i, int k) {
        const QString& path = h.lstFinalListBox[i]->list(k);
        return IsMarkerEntry(path) || !basGlobal::FileNameMatchesPatterns(path, pattern);
    });
}

void FilterFileAttributes(CompareRun& run)
{
    const basGlobal::Globals& g = globals();
    const bool include[4] = {g.IncludeHiddenFiles, g.IncludeSystemFiles, g.IncludeReadOnlyFiles, g.IncludeArchiveFiles};
    basGlobal::frmHiddenForm& h = HiddenForm();
    filterLoop(run, Stage::FilteringFileAttributes, [&](int i, int k) {
        if (IsMarkerEntry(h.lstFinalListBox[i]->list(k)))
            return false;
        const ui::ListBox* flags[4] = {h.lstHidden[i], h.lstSystem[i], h.lstReadOnly[i], h.lstArchive[i]};
        bool out = false;
        for (int f = 0; f < 4; ++f)
            if (flagIsSet(flags[f]->list(k)) && !include[f])
                out = true;
        return out;
    });
}

} // namespace compare
