#include "compare/FileAlignment.h"

#include "compare/EntryLists.h"
#include "shared/PathText.h"
#include "shared/frmHiddenForm.h"
#include "ui/SortOrder.h"

#include <algorithm>

namespace compare {

using basGlobal::HiddenForm;

namespace {

// A file's name within its folder. The text is a view into the entry's own
// name (which stays untouched until its pair is done),
// so taking a name apart costs no copy; a text that outlives the stage is
// copied where it is stored.
struct Name {
    QString text;
    QString key;      // the text under the case rule (the text itself on a case-sensitive volume)
    int entry = -1;   // -1: inserted for alignment
};

QString viewOf(const QString& path, qsizetype from)
{
    return QString::fromRawData(path.constData() + from, path.size() - from);
}

// The second bar, counted like the main one.
struct SubProgress {
    RunView& view;
    qint64 count = 0;
    qint64 total = 0;
    void restart(qint64 t)
    {
        count = 0;
        total = t;
        view.setSubProgressValue(0);
    }
    void full()
    {
        view.showSubProgress(100, 100);
        view.setSubProgressValue(0);
    }
    // n steps at once: the bar is set once, as the last of those steps that
    // would have moved it left it.
    void advance(qint64 n)
    {
        if (n <= 0) return;
        const qint64 from = count;
        count += n;
        if (total <= 0 || count >= total) {
            view.showSubProgress(count, total);
            return;
        }
        const qint64 reached = count * 1000 / total;
        if (reached == from * 1000 / total) return;
        // The first count at that thousandth is the step that moved the bar last.
        view.showSubProgress((reached * total + 999) / 1000, total);
    }
};

class PairAligner {
public:
    PairAligner(CompareRun& run, AlignmentWork& work)
        : run_(run), work_(work), view_(run.view()), sub_{run.view()}, lists_{EntryLists(0), EntryLists(1)}
    {
    }

    void run()
    {
        basGlobal::frmHiddenForm& h = HiddenForm();
        const qint64 pairTotal = qint64(work_.side[0].rows.size());
        run_.openStage(Stage::AligningFiles, pairTotal);
        view_.setSubProgressValue(0);
        view_.showSubProgressBar(true);
        view_.showSteps(true);
        qint64 pairCount = 0;
        const std::size_t pairs = std::min(work_.side[0].rows.size(), work_.side[1].rows.size());
        for (std::size_t k = 0; k < pairs; ++k) {
            view_.showSteps(true);
            for (int i = 0; i < 2; ++i) collect(i, work_.side[std::size_t(i)].rows[k]);
            alignNames(1);   // the Primary names first
            alignNames(0);
            if (run_.settings().failSafeChecks) checkPair(k);
            for (int i = 0; i < 2; ++i) output(i, work_.side[std::size_t(i)].rows[k], k + 1 == pairs);
            for (int i = 0; i < 2; ++i) releasePaths(i, work_.side[std::size_t(i)].rows[k]);
            ++pairCount;
            run_.state().progressCount = pairCount;
            run_.updateProgress();
        }
        // Every pair is done: the aligned folder lists are used up.
        for (int i = 0; i < 2; ++i) h.lstAlignedFoldersSorted[i]->clear();
        for (int i = 0; i < 2; ++i) {
            lists_[std::size_t(i)].clear();
            h.lstPerLevelFilesAndAttributes[i]->clear();
        }
        view_.showSubProgressBar(false);
        view_.showSteps(false);
        view_.showProgress(pairTotal, pairTotal);
    }

private:
    void collect(int i, const FolderRow& row)
    {
        basGlobal::frmHiddenForm& h = HiddenForm();
        run_.yieldAndCancelTest();
        h.lstPerLevelFilesSorted[i]->clear();
        h.lstPerLevelFilesAndAttributes[i]->clear();
        std::vector<Name>& names = names_[std::size_t(i)];
        names.clear();
        if (row.code != acPresent || row.group < 0) return;
        StructureWork& side = work_.side[std::size_t(i)];
        const std::vector<int>& group = side.groups[std::size_t(row.group)];
        run_.yieldAndCancelTest();
        sub_.restart(qint64(group.size()));
        view_.markSteps(i == 0 ? 1 : 2);
        const bool cs = run_.settings().caseSensitive;
        const EntryLists& lists = lists_[std::size_t(i)];
        names.reserve(group.size());
        run_.batchedItems(qint64(group.size()), [&](qint64 from, qint64 to) {
            for (qint64 k = from; k < to; ++k) {
                const int e = group[std::size_t(k)];
                Name n;
                n.text = viewOf(lists.name(side.entries[std::size_t(e)].row), 0);
                n.key = cs ? n.text : basGlobal::ApplyCaseSensitivity(n.text, false);
                n.entry = e;
                names.push_back(std::move(n));
            }
            sub_.advance(to - from);
        });
        // A folder's entries mostly arrive in sort order already; a scanned
        // folder's always do.
        const auto before = [](const Name& a, const Name& b) { return ui::compareSortOrder(a.text, b.text) < 0; };
        if (!side.groupSorted[std::size_t(row.group)] && !std::is_sorted(names.begin(), names.end(), before))
            std::stable_sort(names.begin(), names.end(), before);
    }

    // Names of the other structure that this one lacks go into it, code 1.
    void alignNames(int into)
    {
        const int from = 1 - into;
        std::vector<Name>& src = names_[std::size_t(from)];
        std::vector<Name>& dst = names_[std::size_t(into)];
        if (src.empty()) return;
        run_.yieldAndCancelTest();
        sub_.full();
        view_.markSteps(from == 0 ? 3 : 4);
        sub_.restart(qint64(src.size()));
        const std::vector<std::pair<int, int>> pairs = MergeAlignedBy(
            src.size(), dst.size(), [&](std::size_t a, std::size_t b) { return src[a].key == dst[b].key; },
            [&](std::size_t a, std::size_t b) { return ui::compareSortOrder(src[a].text, dst[b].text) <= 0; });
        run_.batchedItems(qint64(src.size()), [&](qint64 from, qint64 to) { sub_.advance(to - from); });
        // Nothing of the other side is missing here: the names stay as they are.
        if (pairs.size() == dst.size()) return;
        std::vector<Name> merged;
        merged.reserve(pairs.size());
        for (const auto& [a, b] : pairs) {
            if (b >= 0) {
                merged.push_back(std::move(dst[std::size_t(b)]));
            } else {
                Name n = src[std::size_t(a)];
                n.entry = -1;
                merged.push_back(std::move(n));
            }
        }
        dst = std::move(merged);
    }

    void checkPair(std::size_t k)
    {
        const bool gr = run_.settings().greek;
        RunState& st = run_.state();
        const double barValue = view_.progressValue();
        const qint64 keptCount = st.progressCount;
        const qint64 keptTotal = st.progressTotal;
        const QString keptLabel = view_.stageText();
        const std::vector<Name>& p = names_[0];
        const std::vector<Name>& s = names_[1];
        const FolderRow& rp = work_.side[0].rows[k];
        const FolderRow& rs = work_.side[1].rows[k];
        const std::array<QString, 2>& roots = st.StructureRoot;
        const QString title = gr ? QStringLiteral("Ευθυγράμμιση αρχείων") : QStringLiteral("Aligning files");

        run_.showStageName(Stage::FailSafeCheck);
        run_.yieldAndCancelTest();
        view_.setProgressValue(0);
        st.progressCount = 0;
        st.progressTotal = 3 * qint64(p.size());
        if (p.size() != s.size())
            run_.failSafeFailure(
                title, gr ? QStringLiteral("Το πλήθος των ευθυγραμμισμένων αρχείων τα οποία περιέχουν οι φάκελλοι «") + rp.text
                                + QStringLiteral("» και «") + rs.text
                                + QStringLiteral("», δεν θα έπρεπε να είναι διαφορετικό, αλλά είναι.")
                          : QStringLiteral("The number of aligned files contained in the '") + rp.text + QStringLiteral("' and '")
                                + rs.text + QStringLiteral("' folders, should be the same, but it isn't."));
        for (std::size_t n = 0; n < p.size(); ++n) {
            run_.yieldAndCancelTest();
            if (p[n].key != s[n].key)
                run_.failSafeFailure(
                    title,
                    gr ? QStringLiteral("Το αρχείο «") + p[n].text + QStringLiteral("» του φακέλλου «") + rp.text
                             + QStringLiteral("» της Πρωτευούσης Δομής «") + roots[0]
                             + QStringLiteral("», αντιστοιχεί στο αρχείο «") + s[n].text + QStringLiteral("» του φακέλλου «")
                             + rs.text + QStringLiteral("» της Δευτερευούσης Δομής «") + roots[1]
                             + QStringLiteral("», κάτι το οποίο δεν είναι σωστό.")
                       : QStringLiteral("File '") + p[n].text + QStringLiteral("' in folder '") + rp.text
                             + QStringLiteral("' of the Primary Structure '") + roots[0]
                             + QStringLiteral("', is in compliance with file '") + s[n].text + QStringLiteral("' in folder '")
                             + rs.text + QStringLiteral("' of the Secondary Structure '") + roots[1]
                             + QStringLiteral("', something that is not correct."));
            StepProgress(run_);
        }
        for (int i = 0; i < 2; ++i) {
            run_.yieldAndCancelTest();
            const FolderRow& row = work_.side[std::size_t(i)].rows[k];
            if (row.code == acPresent) continue;
            for (const Name& n : names_[std::size_t(i)]) {
                run_.yieldAndCancelTest();
                if (n.entry >= 0) {
                    const QString word = gr ? (i == 0 ? QStringLiteral("Πρωτευούσης") : QStringLiteral("Δευτερευούσης"))
                                            : (i == 0 ? QStringLiteral("Primary") : QStringLiteral("Secondary"));
                    const QString state = row.code == acInserted
                        ? (gr ? QStringLiteral("έχει παρεμβληθεί για λόγους ευθυγραμμίσεως")
                              : QStringLiteral("has been inserted for alignment purposes"))
                        : (gr ? QStringLiteral("δεν περιέχει αρχεία") : QStringLiteral("is empty"));
                    run_.failSafeFailure(
                        gr ? QStringLiteral("Ευθυγράμμιση αρχείων") : QStringLiteral("aligning files"),
                        gr ? QStringLiteral("Ο φάκελλος «") + row.text + QStringLiteral("» της ") + word
                                 + QStringLiteral(" Δομής «") + roots[std::size_t(i)] + QStringLiteral("», ") + state
                                 + QStringLiteral(". Παρά το γεγονός αυτό, περιέχει το αρχείο «") + n.text
                                 + QStringLiteral("», το οποίο δεν έχει παρεμβληθεί για λόγους ευθυγραμμίσεως.")
                           : QStringLiteral("Folder '") + row.text + QStringLiteral("' of the ") + word
                                 + QStringLiteral(" Structure '") + roots[std::size_t(i)] + QStringLiteral("', ") + state
                                 + QStringLiteral(". Despite this fact, it contains file '") + n.text
                                 + QStringLiteral("', which has not been inserted for alignment purposes."));
                }
                StepProgress(run_);
            }
        }
        view_.setProgressValue(barValue);
        st.progressCount = keptCount;
        st.progressTotal = keptTotal;
        view_.setStageText(keptLabel);
    }

    // The names of a folder's entries are done with once its rows are out:
    // their memory goes to the rows that follow, so the output lists grow
    // while the entries shrink. (The names of the pair, views into these
    // names, are not used again.)
    void releasePaths(int i, const FolderRow& row)
    {
        if (row.code != acPresent || row.group < 0) return;
        const StructureWork& side = work_.side[std::size_t(i)];
        const EntryLists& lists = lists_[std::size_t(i)];
        for (const int e : side.groups[std::size_t(row.group)]) lists.releaseName(side.entries[std::size_t(e)].row);
        names_[std::size_t(i)].clear();
    }

    // The per-level name list is only read after the stage, for the last
    // pair; it is written for that pair alone.
    void output(int i, const FolderRow& row, bool lastPair)
    {
        basGlobal::frmHiddenForm& h = HiddenForm();
        ui::ListBox& out = *h.lstOutput[i];
        ui::ListBox& perLevel = *h.lstPerLevelFilesSorted[i];
        run_.yieldAndCancelTest();
        if (!row.root) {
            out.addItem(row.text + QLatin1Char('\\'), out.listCount());
            out.setItemData(out.listCount() - 1, row.code);
        }
        const std::vector<Name>& names = names_[std::size_t(i)];
        if (names.empty()) return;
        run_.yieldAndCancelTest();
        sub_.full();
        view_.markSteps(i == 0 ? 5 : 6);
        sub_.restart(qint64(names.size()));
        const StructureWork& side = work_.side[std::size_t(i)];
        const EntryLists& lists = lists_[std::size_t(i)];
        // The rows of a pair go into the lists in batches between hand-overs.
        run_.batchedItems(qint64(names.size()), [&](qint64 from, qint64 to) {
            for (qint64 k = from; k < to; ++k) {
                const Name& n = names[std::size_t(k)];
                const bool inserted = n.entry < 0;
                const int code = inserted ? acInserted : acPresent;
                if (lastPair) {
                    levelTexts_.push_back(QString(n.text.constData(), n.text.size()));
                    levelCodes_.push_back(code);
                }
                outTexts_.push_back(inserted ? n.text + QLatin1Char('|')
                                             : lists.fileLine(n.text, side.entries[std::size_t(n.entry)].row));
                outCodes_.push_back(code);
            }
            sub_.advance(to - from);
            if (lastPair) perLevel.appendItems(std::move(levelTexts_), levelCodes_);
            out.appendItems(std::move(outTexts_), outCodes_);
            levelCodes_.clear();
            outCodes_.clear();
        });
    }

    CompareRun& run_;
    AlignmentWork& work_;
    RunView& view_;
    SubProgress sub_;
    std::array<EntryLists, 2> lists_;
    std::array<std::vector<Name>, 2> names_;
    // A batch of output rows and their codes, reused from batch to batch.
    std::vector<QString> outTexts_, levelTexts_;
    std::vector<int> outCodes_, levelCodes_;
};

} // namespace

void AlignFiles(CompareRun& run, AlignmentWork& work)
{
    PairAligner(run, work).run();
}

} // namespace compare
