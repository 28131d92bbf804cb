#include "compare/EntryFilters.h"

#include "compare/CompareRun.h"
#include "compare/EntryLists.h"
#include "compare/FilterSupport.h"
#include "platform/AppError.h"
#include "shared/PathText.h"
#include "shared/frmHiddenForm.h"

namespace compare {

using basGlobal::HiddenForm;

namespace {

// The loop that the levels, file-type and attribute filters share: every
// entry tested once, Primary first; the marked ones leave together at the
// end, then the no-files check under the stage's name.
template <class Rule>
void filterLoop(CompareRun& run, Stage stage, Rule takesOut)
{
    const int n[2] = {EntryLists(0).count(), EntryLists(1).count()};
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
    run.noFilesCheck(StageName(stage, run.settings().greek));
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

bool ExceedsLevelLimit(const QString& relativePath, int limit)
{
    return qint64(relativePath.count(u'\\')) + 1 > limit;
}

bool FailsFileTypes(const QString& relativePath, const QString& pattern)
{
    return IsMarkerEntry(relativePath) || !basGlobal::FileNameMatchesPatterns(relativePath, pattern);
}

bool FailsAttributeSwitches(const QString& relativePath, const std::array<const QString*, 4>& flags,
                            const std::array<bool, 4>& include)
{
    if (IsMarkerEntry(relativePath))
        return false;
    bool out = false;
    for (int f = 0; f < 4; ++f)
        if (flagIsSet(*flags[std::size_t(f)]) && !include[std::size_t(f)])
            out = true;
    return out;
}

FolderSelection::FolderSelection(const QStringList& names, bool caseSensitive) : m_caseSensitive(caseSensitive)
{
    for (const QString& name : names) {
        const QString key = basGlobal::ApplyCaseSensitivity(basGlobal::AddTrailingSeparator(name), caseSensitive);
        m_keys.insert(key);
        m_lengths.insert(key.size());
    }
}

bool FolderSelection::covers(const QString& relativePath) const
{
    const QString key = basGlobal::ApplyCaseSensitivity(relativePath, m_caseSensitive);
    for (const qsizetype len : m_lengths) {
        if (len > key.size())
            break;
        if (key[len - 1] == u'\\' && m_keys.contains(key.left(len)))
            return true;
    }
    return false;
}

void FilterNumberOfLevels(CompareRun& run)
{
    const int limit = run.settings().levelsLimit;
    if (limit <= 0)
        return;
    const EntryLists entries[2] = {EntryLists(0), EntryLists(1)};
    filterLoop(run, Stage::FilteringNumberOfLevels,
               // A name holds no "\": the folder's text has every level of the path.
               [&](int i, int k) { return ExceedsLevelLimit(entries[i].folderText(entries[i].folderOf(k)), limit); });
}

void FilterFirstLevelFolders(CompareRun& run)
{
    const RunSettings& settings = run.settings();
    if (settings.folderSelectionState != 1 && settings.folderSelectionState != 2)
        return;
    basGlobal::frmHiddenForm& h = HiddenForm();
    const int names[2] = {h.lstFoldersToIncludeExclude[0]->listCount(), h.lstFoldersToIncludeExclude[1]->listCount()};
    if (names[0] <= 0 && names[1] <= 0)
        return;

    qint64 total = 0;
    const EntryLists entries[2] = {EntryLists(0), EntryLists(1)};
    for (int i = 0; i < 2; ++i)
        if (names[i] > 0)
            total += entries[i].count();
    run.openStage(settings.folderSelectionState == 1 ? Stage::IncludingFirstLevelFolders : Stage::ExcludingFirstLevelFolders,
                  total);
    // The message quotes the label as it reads now.
    const QString stageText = run.view().stageText();

    const bool cs = settings.caseSensitive;
    EntryMarks marks;
    for (int i = 0; i < 2; ++i)
        marks.reset(i, entries[i].count());
    for (int i = 0; i < 2; ++i) {
        YieldKeepingMarks(run, marks);
        if (names[i] <= 0)
            continue;
        QStringList listed;
        for (int j = 0; j < names[i]; ++j)
            listed << h.lstFoldersToIncludeExclude[i]->list(j);
        const FolderSelection selection(listed, cs);
        const EntryLists& e = entries[i];
        const int n = e.count();
        for (int k = 0; k < n; ++k) {
            YieldKeepingMarks(run, marks);
            // Every "\" of a path is in its folder's text, so the folder decides.
            if (selection.covers(e.folderText(e.folderOf(k))))
                marks.mark(i, k);
            run.advanceProgress();
        }
    }
    marks.apply(run);
    run.noFilesCheck(stageText);
}

void FilterFileTypes(CompareRun& run)
{
    const QString& pattern = run.settings().fileTypesPattern;
    if (pattern == u"*.*")
        return;
    const EntryLists entries[2] = {EntryLists(0), EntryLists(1)};
    filterLoop(run, Stage::FilteringFileTypes,
               [&](int i, int k) { return FailsFileTypes(entries[i].path(k), pattern); });
}

void FilterFileAttributes(CompareRun& run)
{
    const std::array<bool, 4>& include = run.settings().includeAttributes;
    const EntryLists entries[2] = {EntryLists(0), EntryLists(1)};
    // The flags of a file's facts need no texts: bit f stands for flag f.
    unsigned excluded = 0;
    for (int f = 0; f < 4; ++f)
        if (!include[std::size_t(f)]) excluded |= 1u << f;
    filterLoop(run, Stage::FilteringFileAttributes, [&](int i, int k) {
        const EntryLists& e = entries[i];
        const EntryValues& v = e.values(k);
        if (v.kind == EntryValues::Facts) return (v.flags & excluded) != 0;
        const std::array<QString, 4> flags = e.flagTexts(k);
        return FailsAttributeSwitches(e.path(k), {&flags[0], &flags[1], &flags[2], &flags[3]}, include);
    });
}

} // namespace compare
