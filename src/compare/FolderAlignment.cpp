#include "compare/FolderAlignment.h"

#include "compare/EntryLists.h"
#include "shared/PathText.h"
#include "shared/frmHiddenForm.h"
#include "ui/SortOrder.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace compare {

using basGlobal::HiddenForm;

namespace {

QString structureWord(int i, bool greek)
{
    if (greek) return i == 0 ? QStringLiteral("Πρωτευούσης") : QStringLiteral("Δευτερευούσης");
    return i == 0 ? QStringLiteral("Primary") : QStringLiteral("Secondary");
}

void fillSortedList(int i, const std::vector<FolderRow>& rows)
{
    ui::ListBox& list = *HiddenForm().lstAlignedFoldersSorted[i];
    list.clear();
    for (const FolderRow& r : rows) {
        list.addItem(r.text, list.listCount());
        list.setItemData(list.listCount() - 1, r.code);
    }
}

void collectStructure(CompareRun& run, int i, StructureWork& side)
{
    const EntryLists entries(i);
    const int n = entries.count();
    const bool cs = run.settings().caseSensitive;
    QHash<QString, int> groupOfKey;
    // The group of each folder of the entries, found once per folder.
    std::vector<int> groupOfFolder;
    std::vector<FolderRow> firstSeen;
    std::vector<bool> drop(std::size_t(n), false);
    bool anyDropped = false;
    int dropped = 0;
    run.yieldAndCancelTest();
    side.entries.reserve(std::size_t(n));
    for (int k = 0; k < n; ++k) {
        run.yieldAndCancelTest();
        const int f = entries.folderOf(k);
        if (std::size_t(f) >= groupOfFolder.size()) groupOfFolder.resize(std::size_t(f) + 1, -1);
        int group = groupOfFolder[std::size_t(f)];
        if (group < 0) {
            // The folder is the path before its last "\" (a name holds none):
            // exactly the empty text is the root, a folder named with blanks is a folder.
            const QString& text = entries.folderText(f);
            const QString folder = text.isEmpty() ? QString() : text.left(text.size() - 1);
            const QString key = basGlobal::ApplyCaseSensitivity(folder, cs);
            auto it = groupOfKey.constFind(key);
            if (it == groupOfKey.constEnd()) {
                group = int(side.groups.size());
                groupOfKey.insert(key, group);
                side.groups.emplace_back();
                side.groupSorted.push_back(entries.folderInSortOrder(f));
                FolderRow row;
                row.root = folder.isEmpty();
                row.text = row.root ? QStringLiteral("\\") : folder;
                row.group = group;
                row.code = acEmptyFolder;   // until a file of its own turns up
                firstSeen.push_back(row);
            } else {
                group = it.value();
                side.groupSorted[std::size_t(group)] = false;   // a second folder under the same key
            }
            groupOfFolder[std::size_t(f)] = group;
        }
        if (entries.isMarker(k)) {
            drop[std::size_t(k)] = true;
            anyDropped = true;
            ++dropped;
        } else {
            side.groups[std::size_t(group)].push_back(int(side.entries.size()));
            side.entries.push_back(AlignedEntry{k - dropped});
            firstSeen[std::size_t(group)].code = acPresent;
        }
        StepProgress(run);
    }
    // The empty-folder entries leave the lists, not for lstExcluded.
    if (anyDropped) entries.removeEntries(drop);

    basGlobal::frmHiddenForm& h = HiddenForm();
    for (const FolderRow& r : firstSeen) h.lstAlignedFoldersUnsorted[i]->addItem(r.text, h.lstAlignedFoldersUnsorted[i]->listCount());
    side.rows = std::move(firstSeen);
    // A scan's folders come in this order already.
    const auto before = [](const FolderRow& a, const FolderRow& b) { return ui::compareSortOrder(a.text, b.text) < 0; };
    if (!std::is_sorted(side.rows.begin(), side.rows.end(), before))
        std::stable_sort(side.rows.begin(), side.rows.end(), before);
    fillSortedList(i, side.rows);
}

void checkCollected(CompareRun& run, const AlignmentWork& work)
{
    basGlobal::frmHiddenForm& h = HiddenForm();
    const bool gr = run.settings().greek;
    run.openStage(Stage::FailSafeCheck,
                  h.lstAlignedFoldersSorted[0]->listCount() + h.lstAlignedFoldersSorted[1]->listCount());
    for (int i = 0; i < 2; ++i) {
        run.yieldAndCancelTest();
        const ui::ListBox& sorted = *h.lstAlignedFoldersSorted[i];
        const ui::ListBox& unsorted = *h.lstAlignedFoldersUnsorted[i];
        for (int j = 0; j < sorted.listCount(); ++j) {
            run.yieldAndCancelTest();
            const QString other = j < unsorted.listCount() ? unsorted.list(j) : QString();
            if (sorted.list(j) != other) {
                const QString& root = run.state().StructureRoot[std::size_t(i)];
                run.failSafeFailure(
                    gr ? QStringLiteral("Συλλογή φακέλλων") : QStringLiteral("Collecting folders"),
                    gr ? QStringLiteral("Κατά τον έλεγχο της ") + structureWord(i, gr) + QStringLiteral(" Δομής «") + root
                             + QStringLiteral("», ο φάκελλος «") + sorted.list(j)
                             + QStringLiteral("», αντιστοιχεί στον φάκελλο «") + other
                             + QStringLiteral("», κάτι το οποίο δεν είναι σωστό.")
                       : QStringLiteral("While checking the ") + structureWord(i, gr) + QStringLiteral(" Structure '") + root
                             + QStringLiteral("', folder '") + sorted.list(j)
                             + QStringLiteral("', is in compliance with folder '") + other
                             + QStringLiteral("', something that is not correct."));
            }
            StepProgress(run);
        }
    }
    (void)work;
}

// Rows of `from` that `to` lacks go into `to` with code 1, in sort order.
void alignInto(CompareRun& run, Stage stage, const StructureWork& from, StructureWork& to, int toIndex)
{
    run.openStage(stage, qint64(from.rows.size()));
    const bool cs = run.settings().caseSensitive;
    auto keysOf = [cs](const std::vector<FolderRow>& rows) {
        std::vector<QString> keys;
        if (cs) return keys;   // the texts are the keys
        keys.reserve(rows.size());
        for (const FolderRow& r : rows) keys.push_back(basGlobal::ApplyCaseSensitivity(r.text, false));
        return keys;
    };
    const std::vector<QString> keysA = keysOf(from.rows), keysB = keysOf(to.rows);
    const std::vector<std::pair<int, int>> pairs = MergeAlignedBy(
        from.rows.size(), to.rows.size(),
        [&](std::size_t a, std::size_t b) { return cs ? from.rows[a].text == to.rows[b].text : keysA[a] == keysB[b]; },
        [&](std::size_t a, std::size_t b) { return ui::compareSortOrder(from.rows[a].text, to.rows[b].text) <= 0; });
    for (std::size_t k = 0; k < from.rows.size(); ++k) {
        run.yieldAndCancelTest();
        StepProgress(run);
    }
    std::vector<FolderRow> aligned;
    aligned.reserve(pairs.size());
    for (const auto& [a, b] : pairs) {
        if (b >= 0) {
            aligned.push_back(to.rows[std::size_t(b)]);
        } else {
            FolderRow inserted = from.rows[std::size_t(a)];
            inserted.code = acInserted;
            inserted.group = -1;
            aligned.push_back(std::move(inserted));
        }
    }
    to.rows = std::move(aligned);
    fillSortedList(toIndex, to.rows);
}

} // namespace

std::vector<std::pair<int, int>> MergeAligned(const std::vector<QString>& textsA, const std::vector<QString>& keysA,
                                              const std::vector<QString>& textsB, const std::vector<QString>& keysB)
{
    return MergeAlignedBy(
        textsA.size(), textsB.size(), [&](std::size_t a, std::size_t b) { return keysA[a] == keysB[b]; },
        [&](std::size_t a, std::size_t b) { return ui::compareSortOrder(textsA[a], textsB[b]) <= 0; });
}

void StepProgress(CompareRun& run)
{
    RunState& s = run.state();
    const qint64 before = s.progressTotal > 0 ? s.progressCount * 1000 / s.progressTotal : 0;
    ++s.progressCount;
    const qint64 after = s.progressTotal > 0 ? s.progressCount * 1000 / s.progressTotal : 1000;
    if (after != before || s.progressCount >= s.progressTotal) run.updateProgress();
}

void CollectFolders(CompareRun& run, AlignmentWork& work)
{
    run.openStage(Stage::CollectingFolders, EntryLists(0).count() + EntryLists(1).count());
    for (int i = 0; i < 2; ++i) collectStructure(run, i, work.side[std::size_t(i)]);
    if (run.settings().failSafeChecks) checkCollected(run, work);
}

void AlignPrimaryFolders(CompareRun& run, AlignmentWork& work)
{
    alignInto(run, Stage::AligningPrimaryFolders, work.side[0], work.side[1], 1);
}

void AlignSecondaryFolders(CompareRun& run, AlignmentWork& work)
{
    alignInto(run, Stage::AligningSecondaryFolders, work.side[1], work.side[0], 0);
}

void CheckAlignedFolders(CompareRun& run, const AlignmentWork& /*work*/)
{
    basGlobal::frmHiddenForm& h = HiddenForm();
    const bool gr = run.settings().greek;
    const bool cs = run.settings().caseSensitive;
    const ui::ListBox& p = *h.lstAlignedFoldersSorted[0];
    const ui::ListBox& s = *h.lstAlignedFoldersSorted[1];
    const QString title = gr ? QStringLiteral("Ευθυγράμμιση φακέλλων") : QStringLiteral("Aligning folders");
    run.openStage(Stage::FailSafeCheck, p.listCount());
    if (p.listCount() != s.listCount())
        run.failSafeFailure(title, gr ? QStringLiteral("Το πλήθος των ευθυγραμμισμένων φακέλλων δεν θα έπρεπε να είναι "
                                                       "διαφορετικό, αλλά είναι.")
                                      : QStringLiteral("The number of aligned folders should be the same, but it isn't."));
    const std::array<QString, 2>& roots = run.state().StructureRoot;
    for (int k = 0; k < p.listCount(); ++k) {
        run.yieldAndCancelTest();
        if (basGlobal::ApplyCaseSensitivity(p.list(k), cs) != basGlobal::ApplyCaseSensitivity(s.list(k), cs))
            run.failSafeFailure(
                title, gr ? QStringLiteral("Ο φάκελλος «") + p.list(k) + QStringLiteral("» της Πρωτευούσης Δομής «") + roots[0]
                                + QStringLiteral("», αντιστοιχεί στον φάκελλο «") + s.list(k)
                                + QStringLiteral("» της Δευτερευούσης Δομής «") + roots[1]
                                + QStringLiteral("», κάτι το οποίο δεν είναι σωστό.")
                          : QStringLiteral("Folder '") + p.list(k) + QStringLiteral("' of the Primary Structure '") + roots[0]
                                + QStringLiteral("', is in compliance with folder '") + s.list(k)
                                + QStringLiteral("' of the Secondary Structure '") + roots[1]
                                + QStringLiteral("', something that is not correct."));
        StepProgress(run);
    }
}

} // namespace compare
