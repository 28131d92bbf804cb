#include "compare/CommonFilters.h"

#include "compare/CompareRun.h"
#include "compare/EntryLists.h"
#include "compare/FilterSupport.h"
#include "shared/PathText.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace compare {


namespace {

int entryCount(int i) { return EntryLists(i).count(); }

// The key of every entry of structure i, in list order.
std::vector<QString> keysOf(int i, bool cs)
{
    const EntryLists entries(i);
    std::vector<QString> keys;
    keys.reserve(std::size_t(entries.count()));
    for (int k = 0; k < entries.count(); ++k)
        keys.push_back(basGlobal::ApplyCaseSensitivity(entries.path(k), cs));
    return keys;
}

QSet<QString> keySet(const std::vector<QString>& keys)
{
    QSet<QString> set;
    set.reserve(qsizetype(keys.size()));
    for (const QString& key : keys)
        set.insert(key);
    return set;
}

// The entries of one structure by key, each key's entries in list order:
// first(key) is the lowest position not yet taken, take() moves on to the
// next entry with the same key.
class FirstMatchIndex {
public:
    explicit FirstMatchIndex(const std::vector<QString>& keys) : m_next(keys.size(), -1)
    {
        m_first.reserve(qsizetype(keys.size()));
        QHash<QString, int> last;
        last.reserve(qsizetype(keys.size()));
        for (int k = 0; k < int(keys.size()); ++k) {
            const QString& key = keys[std::size_t(k)];
            auto it = last.find(key);
            if (it == last.end()) {
                m_first.insert(key, k);
                last.insert(key, k);
            } else {
                m_next[std::size_t(*it)] = k;
                *it = k;
            }
        }
    }
    int first(const QString& key) const { return m_first.value(key, -1); }
    void take(const QString& key)
    {
        auto it = m_first.find(key);
        if (it != m_first.end() && *it >= 0)
            *it = m_next[std::size_t(*it)];
    }

private:
    QHash<QString, int> m_first;
    std::vector<int> m_next;
};

bool sizeDateTimeEqual(const EntryLists& a, int ka, const EntryLists& b, int kb)
{
    return a.sameSizeDateTime(ka, b, kb);
}

// The per-structure no-files message of these two filters.
void structureCheck(CompareRun& run, Stage stage, int structure)
{
    if (entryCount(structure) == 0)
        run.reportNoFiles(StageName(stage, run.settings().greek), structure);
}

// One pass of the common-files filter: the entries of `side` whose key the
// other structure lacks.
void commonFilesPass(CompareRun& run, EntryMarks& marks, int side)
{
    const bool cs = run.settings().caseSensitive;
    const std::vector<QString> keys = keysOf(side, cs);
    const QSet<QString> other = keySet(keysOf(1 - side, cs));
    marks.reset(side, int(keys.size()));
    for (int k = 0; k < int(keys.size()); ++k) {
        YieldKeepingMarks(run, marks);
        if (!other.contains(keys[std::size_t(k)]))
            marks.mark(side, k);
        run.advanceProgress();
    }
    marks.apply(run);
}

void commonFilesFailSafe(CompareRun& run)
{
    const RunState& st = run.state();
    const bool gr = run.settings().greek;
    const bool cs = run.settings().caseSensitive;
    run.openStage(Stage::FailSafeCheck, qint64(entryCount(0)) + qint64(entryCount(1)));
    // The lists as they stand now, not what the passes believe they left.
    const std::vector<QString> keys[2] = {keysOf(0, cs), keysOf(1, cs)};
    for (int side = 0; side < 2; ++side) {
        const QSet<QString> other = keySet(keys[1 - side]);
        const EntryLists entries(side);
        for (int k = 0; k < int(keys[side].size()); ++k) {
            run.yieldAndCancelTest();
            run.advanceProgress();
            if (!other.contains(keys[side][std::size_t(k)]))
                run.failSafeFailure(CommonFilesFailSafeTitle(gr),
                                    CommonFilesFailSafeText(side, entries.path(k), st.StructureRoot[0], st.StructureRoot[1], gr));
        }
    }
}

// One pass of the differences filter: each entry of `side` against the
// first remaining entry of the other structure with its key.
void differencesPass(CompareRun& run, EntryMarks& marks, int side)
{
    const int other = 1 - side;
    const bool cs = run.settings().caseSensitive;
    const std::vector<QString> keys = keysOf(side, cs);
    FirstMatchIndex index(keysOf(other, cs));
    const EntryLists mine(side), theirs(other);
    marks.reset(side, int(keys.size()));
    marks.reset(other, entryCount(other));
    for (int k = 0; k < int(keys.size()); ++k) {
        YieldKeepingMarks(run, marks);
        const QString& key = keys[std::size_t(k)];
        const int j = index.first(key);
        if (j >= 0 && sizeDateTimeEqual(mine, k, theirs, j)) {
            marks.mark(side, k);
            marks.mark(other, j);
            index.take(key);
        }
        run.advanceProgress();
    }
    marks.apply(run);
}

} // namespace

QString CommonFilesFailSafeTitle(bool greek)
{
    return greek ? QStringLiteral("Διαλογή κοινών αρχείων") : QStringLiteral("Filtering common files");
}

QString CommonFilesFailSafeText(int which, const QString& path, const QString& primaryRoot, const QString& secondaryRoot,
                                bool greek)
{
    if (which == 0)
        return greek ? QStringLiteral("Το αρχείο «") + path + QStringLiteral("» της Πρωτευούσης Δομής «") + primaryRoot
                           + QStringLiteral("», θα έπρεπε επίσης να υπάρχει και στην Δευτερεύουσα Δομή «") + secondaryRoot
                           + QStringLiteral("».")
                     : QStringLiteral("File '") + path + QStringLiteral("' of the Primary Structure '") + primaryRoot
                           + QStringLiteral("', should also exist in the Secondary Structure.");
    return greek ? QStringLiteral("Το αρχείο «") + path + QStringLiteral("» της Δευτερευούσης Δομής «") + secondaryRoot
                       + QStringLiteral("», θα έπρεπε επίσης να υπάρχει και στην Πρωτεύουσα Δομή «") + primaryRoot
                       + QStringLiteral("».")
                 : QStringLiteral("File '") + path + QStringLiteral("' of the Secondary Structure '") + secondaryRoot
                       + QStringLiteral("', should also exist in the Primary Structure.");
}

void FilterCommonFiles(CompareRun& run)
{
    if (!run.settings().commonFilesOnly)
        return;
    run.openStage(Stage::FilteringCommonFiles, qint64(entryCount(0)) + qint64(entryCount(1)));
    EntryMarks marks;
    commonFilesPass(run, marks, 0);
    structureCheck(run, Stage::FilteringCommonFiles, 0);
    commonFilesPass(run, marks, 1);
    structureCheck(run, Stage::FilteringCommonFiles, 1);
    if (run.settings().failSafeChecks)
        commonFilesFailSafe(run);
}

void FilterDifferences(CompareRun& run)
{
    if (!run.settings().differencesOnly)
        return;
    run.openStage(Stage::FilteringDifferences, qint64(entryCount(0)) + qint64(entryCount(1)));
    EntryMarks marks;
    differencesPass(run, marks, 0);
    structureCheck(run, Stage::FilteringDifferences, 0);
    differencesPass(run, marks, 1);
    structureCheck(run, Stage::FilteringDifferences, 1);
}

} // namespace compare
