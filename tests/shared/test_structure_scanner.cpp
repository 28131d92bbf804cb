// The breadth-first folder scan and the collection of a whole structure over
// real temporary trees, cold and over a tree read ahead: order of entries,
// empty-folder markers, counting, appending, cancel at every yield, failures
// that name their folder, links and names the logical path shape cannot carry.

#include "shared_fixture.h"
#include "support/TempDrive.h"

#include "shared/FileFacts.h"
#include "shared/FolderListing.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"
#include "ui/SortOrder.h"

#include <QStringList>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace basGlobal;
using testing_support::listItems;

namespace {

const QString kMarker = QStringLiteral("\"NULL\"");

// Fresh, enabled working lists of structure 0 and its facts store.
class ScannerTest : public HiddenListsTest {
protected:
    void SetUp() override
    {
        HiddenListsTest::SetUp();
        frmHiddenForm& h = HiddenForm();
        folders = fresh(h.lstListBoxAuxiliary[0]);
        queue = fresh(h.lstListBoxUnsorted[0]);
        files = fresh(h.lstFileListBoxAuxiliary[0]);
        result = fresh(h.lstFinalListBox[0]);
    }
    Long collect(const QString& root, bool countOnly = false, StructurePrefetch* ahead = nullptr)
    {
        return CollectCompleteStructure(root, countOnly, *folders, *queue, *files, *result, cancelled, error,
                                        &facts, &failed, ahead);
    }
    qsizetype listed() const
    {
        return folders->listCount() + queue->listCount() + files->listCount() + result->listCount();
    }
    // deepTree(): 24 files and top.txt, a marker for each D (folders only) and D2\Empty.
    static constexpr Long kDeepEntries = 24 + 1 + 6 + 1;
    void deepTree()
    {
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 4; ++j)
                tree.file(QStringLiteral("D%1/E%2/f%3.txt").arg(i).arg(j).arg(i * 10 + j));
        tree.folder(QStringLiteral("D2/Empty"));
        tree.file(QStringLiteral("top.txt"));
    }

    testing_support::TempDrive tree;
    ui::ListBox* folders = nullptr;
    ui::ListBox* queue = nullptr;
    ui::ListBox* files = nullptr;
    ui::ListBox* result = nullptr;
    FileFactsStore facts;
    bool cancelled = true;
    Long error = -1;
    QString failed;
};

} // namespace

// --- Order and markers ------------------------------------------------------------

TEST_F(ScannerTest, EntriesComeInSortOrderWithAMarkerForEveryEmptyFolderButTheRoot)
{
    const QString m = kMarker;
    const QChar bar(0xF07C), backslash(0xF05C), quote(0xF022);
    const struct {
        const char* root;
        QStringList files, folders, expected;
    } cases[] = {
        {"C:", {}, {}, {}},
        {"C:\\", {"b.txt", "A.txt", "a.txt", "B.txt", "_x", "Z"}, {},
         {"C:\\A.txt", "C:\\a.txt", "C:\\B.txt", "C:\\b.txt", "C:\\Z", "C:\\_x"}},
        {"C:", {}, {"Empty"}, {"C:\\Empty\\" + m}},
        {"C:", {"P/Q/q.txt", "r.txt"}, {"E/E1", "E/E2"},
         {"C:\\r.txt", "C:\\E\\" + m, "C:\\E\\E1\\" + m, "C:\\E\\E2\\" + m, "C:\\P\\" + m, "C:\\P\\Q\\q.txt"}},
        // Names holding "\" or "|" stay one name; a file called "NULL" is no marker.
        {"C:", {"x\\y|z.txt", "D/\"NULL\""}, {}, {QString("C:\\x") + backslash + "y" + bar + "z.txt",
                                                   QString("C:\\D\\") + quote + "NULL" + quote}},
        {"C:\\Sub\\", {"Sub/x.txt"}, {}, {"C:\\Sub\\x.txt"}},   // one separator after a root ending in one
        // Folders of all depths mix in one order: "\\" sorts below the blank, and
        // case counts only between names equal without it.
        {"C:", {"A B/1.txt", "A/C/2.txt", "A/3.txt", "a/4.txt"}, {},
         {"C:\\A\\3.txt", "C:\\a\\4.txt", "C:\\A\\C\\2.txt", "C:\\A B\\1.txt"}},
    };
    for (const auto& k : cases) {
        for (ui::ListBox* l : {folders, queue, files, result}) l->clear();
        testing_support::TempDrive fresh;
        for (const QString& f : k.files) fresh.file(f);
        for (const QString& f : k.folders) fresh.folder(f);
        EXPECT_EQ(collect(QLatin1String(k.root)), k.expected.size()) << k.root;
        EXPECT_EQ(listItems(*result), k.expected);
        EXPECT_FALSE(cancelled);
        EXPECT_EQ(error, 0);
        // The working lists end empty.
        EXPECT_EQ(folders->listCount() + queue->listCount() + files->listCount(), 0);
    }
}

// A reader asked for sorted files gives every folder's file order with its
// contents, whether a worker read the folder or the caller did; a reader not
// asked gives none.
TEST_F(ScannerTest, AReaderAskedForSortedFilesGivesTheirOrderFromAWorkerOrInPlace)
{
    for (const char* name : {"b.txt", "A.txt", "a.txt", "B.txt", "_x", "Z"}) tree.file(QStringLiteral("Sub/") + QLatin1String(name));
    tree.folder(QStringLiteral("Sub/Folder"));
    for (const int workers : {0, 2}) {
        for (const bool sorted : {true, false}) {
            detail::FolderReader reader(platform::ListWhat::All, workers, sorted);
            reader.request(QStringLiteral("C:\\Sub"));
            detail::FolderContents contents;
            ASSERT_EQ(reader.take(QStringLiteral("C:\\Sub"), contents), 0);
            QStringList names;
            for (const std::uint32_t k : contents.sortedFileIndex) names << contents.files.at(k).name;
            const QStringList expected = {"A.txt", "a.txt", "B.txt", "b.txt", "Z", "_x"};
            EXPECT_EQ(names, sorted ? expected : QStringList()) << workers << sorted;
            EXPECT_EQ(contents.folders.size(), 1u);
        }
    }
}

// A sorted result list takes each entry in its own order, facts and all.
TEST_F(ScannerTest, ASortedResultListHoldsEveryEntryInItsOwnOrder)
{
    ui::ListBox& sorted = *HiddenForm().lstSortedListBox[0];
    sorted.clear();
    const bool wasSorted = sorted.sorted();
    sorted.setSorted(true);
    tree.file(QStringLiteral("b/z.txt"));
    tree.file(QStringLiteral("B.txt"));
    tree.file(QStringLiteral("a.txt"));
    tree.folder(QStringLiteral("Empty"));
    EXPECT_EQ(CollectCompleteStructure(QStringLiteral("C:"), false, *folders, *queue, *files, sorted, cancelled, error, &facts), 4);
    QStringList want = {"C:\\b\\z.txt", "C:\\B.txt", "C:\\a.txt", "C:\\Empty\\" + kMarker};
    std::sort(want.begin(), want.end(), [](const QString& a, const QString& b) { return ui::sortsBefore(a, b); });
    EXPECT_EQ(listItems(sorted), want);
    EXPECT_EQ(facts.size(), 3);
    sorted.clear();
    sorted.setSorted(wasSorted);
}

TEST_F(ScannerTest, BreadthFirstFolderScanListsFoldersOfAllDepthsInTheOneSortOrder)
{
    for (const char* f : {"A B/1.txt", "A/C/2.txt", "A/3.txt", "a/4.txt"})
        tree.file(QLatin1String(f));
    EXPECT_EQ(ScanFolderTreeBreadthFirst(QStringLiteral("C:"), *queue, *folders, cancelled, error), 4);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(listItems(*folders), (QStringList{"C:\\A", "C:\\a", "C:\\A\\C", "C:\\A B"}));
    EXPECT_EQ(queue->listCount(), 0);
}

// --- Count only, appending ---------------------------------------------------------

TEST_F(ScannerTest, CountOnlyLeavesADisabledResultAloneAndAFullCollectionAppendsToIt)
{
    tree.file(QStringLiteral("a.txt"));
    tree.file(QStringLiteral("D/b.txt"));
    tree.folder(QStringLiteral("Empty"));
    result->addItem(QStringLiteral("earlier"));
    result->setEnabled(false);
    EXPECT_EQ(collect(QStringLiteral("C:"), true), 2);
    EXPECT_EQ(listItems(*result), QStringList{QStringLiteral("earlier")});

    result->setEnabled(true);
    EXPECT_EQ(collect(QStringLiteral("C:"), true), 2);
    EXPECT_EQ(result->listCount(), 0);
    EXPECT_EQ(facts.size(), 0);

    // A full collection appends to a disabled result and clears an enabled one.
    result->addItem(QStringLiteral("Z:\\earlier"));
    result->setEnabled(false);
    EXPECT_EQ(collect(QStringLiteral("C:")), 3);
    EXPECT_EQ(listItems(*result), (QStringList{"Z:\\earlier", "C:\\a.txt", "C:\\D\\b.txt", "C:\\Empty\\" + kMarker}));
    result->setEnabled(true);
    EXPECT_EQ(collect(QStringLiteral("C:")), 3);
    EXPECT_EQ(result->listCount(), 3);
}

// --- A tree read ahead ----------------------------------------------------------------

TEST_F(ScannerTest, ATreeReadAheadGivesTheColdListsFactsAndYieldsOnceAndOnlyForItsRoot)
{
    deepTree();
    desk.resetYieldCount();
    const Long cold = collect(QStringLiteral("C:"));
    const int coldYields = desk.yieldCount();
    const QStringList coldList = listItems(*result);
    const qsizetype coldFacts = facts.size();
    ASSERT_EQ(cold, kDeepEntries);

    StructurePrefetch ahead(QStringLiteral("C:\\"));   // the same root, spelt with its separator
    desk.resetYieldCount();
    EXPECT_EQ(collect(QStringLiteral("C:"), false, &ahead), cold);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(desk.yieldCount(), coldYields);
    EXPECT_EQ(listItems(*result), coldList);
    EXPECT_EQ(facts.size(), coldFacts);

    // Taken once: a second collection reads the tree itself, changes included.
    tree.file(QStringLiteral("D0/E0/late.txt"));
    EXPECT_EQ(collect(QStringLiteral("C:"), false, &ahead), cold + 1);
    EXPECT_TRUE(listItems(*result).contains(QStringLiteral("C:\\D0\\E0\\late.txt")));

    // A read-ahead of another root is left alone.
    StructurePrefetch other(QStringLiteral("C:\\D1"));
    EXPECT_EQ(collect(QStringLiteral("C:\\D2"), false, &other), 4 + 1);
    EXPECT_EQ(listItems(*result).first(), QStringLiteral("C:\\D2\\E0\\f20.txt"));
    // Still there for its own root.
    EXPECT_EQ(collect(QStringLiteral("C:\\D1\\"), false, &other), 4);
    EXPECT_EQ(listItems(*result), (QStringList{"C:\\D1\\E0\\f10.txt", "C:\\D1\\E1\\f11.txt", "C:\\D1\\E2\\f12.txt",
                                               "C:\\D1\\E3\\f13.txt"}));
    // Read-aheads dropped unused, of a root or of nothing, leave the next collection whole.
    { StructurePrefetch dropped(QStringLiteral("C:")); }
    { StructurePrefetch missing(QStringLiteral("C:\\Nowhere")); }
    EXPECT_EQ(collect(QStringLiteral("C:")), kDeepEntries + 1);
}

// --- Cancel --------------------------------------------------------------------------

TEST_F(ScannerTest, CancelAtEveryYieldIsNoticedThereAndEmptiesEveryListWithOrWithoutAReadAhead)
{
    // Yields: the root's one sub-folder (1), the root's two files (2),
    // before folder S (1), its file (1).
    tree.file(QStringLiteral("f1.txt"));
    tree.file(QStringLiteral("f2.txt"));
    tree.file(QStringLiteral("S/s1.txt"));
    desk.resetYieldCount();
    EXPECT_EQ(collect(QStringLiteral("C:")), 3);
    EXPECT_EQ(desk.yieldCount(), 5);

    for (const bool readAhead : {false, true}) {
        for (int n = 1; n <= 5; ++n) {
            SCOPED_TRACE(testing::Message() << "yield " << n << (readAhead ? " with a read-ahead" : ""));
            g().CancelRequested = false;
            std::optional<StructurePrefetch> ahead;
            if (readAhead)
                ahead.emplace(QStringLiteral("C:"));
            result->setEnabled(false);
            result->addItem(QStringLiteral("earlier"));
            desk.resetYieldCount();
            desk.onYieldNumber(n, [this] { g().CancelRequested = true; });
            EXPECT_EQ(collect(QStringLiteral("C:"), false, ahead ? &*ahead : nullptr), 0);
            EXPECT_TRUE(cancelled);
            EXPECT_EQ(error, 0);
            EXPECT_EQ(desk.yieldCount(), n) << "the collection goes on after the cancel";
            EXPECT_TRUE(g().CancelRequested) << "the flag belongs to the caller";
            EXPECT_EQ(listed(), 0);
            EXPECT_EQ(facts.size(), 0);
            result->setEnabled(true);
        }
    }
}

// --- Failures ------------------------------------------------------------------------

TEST_F(ScannerTest, MissingRootFailsWithPathNotFoundAndNamesIt)
{
    for (const bool readAhead : {false, true}) {
        std::optional<StructurePrefetch> ahead;
        if (readAhead)
            ahead.emplace(QStringLiteral("C:\\Nowhere"));
        result->addItem(QStringLiteral("earlier"));
        result->setEnabled(false);
        EXPECT_EQ(collect(QStringLiteral("C:\\Nowhere"), false, ahead ? &*ahead : nullptr), 0);
        EXPECT_FALSE(cancelled);
        EXPECT_EQ(error, 76);
        EXPECT_EQ(failed, QStringLiteral("C:\\Nowhere"));
        EXPECT_EQ(LastListingFailedFolder(), QStringLiteral("C:\\Nowhere"));
        EXPECT_EQ(listed(), 0);
        EXPECT_EQ(facts.size(), 0);
    }
}

TEST_F(ScannerTest, FirstUnreadableFolderInTheCollectionsOwnOrderStopsItAndIsNamed)
{
    // A read-ahead's workers may meet the two locked folders in either
    // order; the collection still meets them in its own breadth-first order
    // and names the shallower one, as a cold collection does.
    tree.file(QStringLiteral("A/x/y/locked/a.txt"));
    tree.file(QStringLiteral("B/locked/b.txt"));
    tree.file(QStringLiteral("C/c.txt"));
    ASSERT_EQ(::chmod(tree.nativeBytes().constData(), 0755), 0);
    for (const char* p : {"A/x/y/locked", "B/locked"})
        ASSERT_EQ(::chmod(tree.nativeBytes(QString::fromLatin1(p)).constData(), 0), 0);
    const int rc = testing_support::runUnprivileged([this] {
        for (int k = 0; k <= 20; ++k) {   // the first cold, then read ahead
            std::optional<StructurePrefetch> ahead;
            if (k > 0)
                ahead.emplace(QStringLiteral("C:"));
            if (collect(QStringLiteral("C:"), false, ahead ? &*ahead : nullptr) != 0 || cancelled) return 1;
            if (error != 70) return 2;
            if (failed != QStringLiteral("C:\\B\\locked")) return 3;
            if (listed() != 0) return 4;
        }
        return 0;
    });
    for (const char* p : {"A/x/y/locked", "B/locked"})
        ::chmod(tree.nativeBytes(QString::fromLatin1(p)).constData(), 0755);
    if (rc == -1)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(rc, 0) << "1 wrong result, 2 wrong error, 3 another folder named, 4 lists not emptied";
}

// --- Into a sink ------------------------------------------------------------------------

namespace {

// A sink that writes each entry as its relative path.
class RecordingSink final : public StructureEntrySink {
public:
    QStringList entries;
    QList<qint64> sizes;   // -1 for a marker
    std::size_t expectedFiles = 0;
    void clear() override
    {
        entries.clear();
        sizes.clear();
    }
    void expect(std::size_t files, std::size_t) override { expectedFiles = files; }
    void beginFolder(const QString& relativePrefix) override { m_folder = relativePrefix; }
    void addFile(platform::DirEntry&& file) override
    {
        entries << m_folder + file.name;
        sizes << file.facts.size;
    }
    void addMarker() override
    {
        entries << m_folder + kMarker;
        sizes << -1;
    }

private:
    QString m_folder;
};

} // namespace

TEST_F(ScannerTest, ASinkGetsTheListedEntriesFactsYieldsAndEndings)
{
    deepTree();
    tree.file(QStringLiteral("D3/sized.bin"), "12345");
    const QString root = QStringLiteral("C:\\");
    for (const bool readAhead : {false, true}) {
        SCOPED_TRACE(readAhead ? "read ahead" : "cold");
        desk.resetYieldCount();
        const Long count = CollectCompleteStructure(root, false, *folders, *queue, *files, *result, cancelled, error,
                                                    &facts, &failed, nullptr, root.size());
        const int yields = desk.yieldCount();
        ASSERT_EQ(count, kDeepEntries) << "a file in D3 instead of its marker";
        std::optional<StructurePrefetch> ahead;
        if (readAhead)
            ahead.emplace(root);
        RecordingSink sink;
        sink.entries << QStringLiteral("earlier");
        desk.resetYieldCount();
        EXPECT_EQ(CollectStructureEntries(root, sink, cancelled, error, &failed, ahead ? &*ahead : nullptr, root.size()),
                  count);
        EXPECT_EQ(desk.yieldCount(), yields);
        EXPECT_EQ(sink.entries, listItems(*result));
        EXPECT_EQ(sink.expectedFiles, std::size_t(count - 6)) << "every file, no marker";
        for (int k = 0; k < sink.entries.size(); ++k) {
            const platform::FileFacts* f = facts.find(root + sink.entries[k]);
            EXPECT_EQ(f ? f->size : -1, sink.sizes[k]) << sink.entries[k].toStdString();
        }
        EXPECT_FALSE(cancelled);
        EXPECT_EQ(error, 0);
        EXPECT_EQ(failed, QString());

        // A cancel at any yield leaves the sink empty, noticed at that yield.
        for (const int n : {1, yields / 2, yields}) {
            g().CancelRequested = false;
            std::optional<StructurePrefetch> again;
            if (readAhead)
                again.emplace(root);
            desk.resetYieldCount();
            desk.onYieldNumber(n, [this] { g().CancelRequested = true; });
            EXPECT_EQ(CollectStructureEntries(root, sink, cancelled, error, &failed, again ? &*again : nullptr,
                                              root.size()),
                      0);
            EXPECT_TRUE(cancelled);
            EXPECT_EQ(error, 0);
            EXPECT_EQ(desk.yieldCount(), n);
            EXPECT_TRUE(sink.entries.isEmpty());
        }
        g().CancelRequested = false;
    }
    // A missing root fails and is named; the sink is left empty.
    RecordingSink sink;
    sink.entries << QStringLiteral("earlier");
    EXPECT_EQ(CollectStructureEntries(QStringLiteral("C:\\Nowhere\\"), sink, cancelled, error, &failed, nullptr, 11), 0);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(error, 76);
    EXPECT_EQ(failed, QStringLiteral("C:\\Nowhere\\")) << "the root as given";
    EXPECT_TRUE(sink.entries.isEmpty());
}

// --- What the file system may hold ----------------------------------------------------

TEST_F(ScannerTest, LinksToFoldersAreEntriesNotDescendedInto)
{
    tree.file(QStringLiteral("D/a.txt"));
    ASSERT_EQ(::symlink("..", tree.nativeBytes(QStringLiteral("D/up")).constData()), 0);
    ASSERT_EQ(::symlink("D", tree.nativeBytes(QStringLiteral("toD")).constData()), 0);
    ASSERT_EQ(::symlink("D/a.txt", tree.nativeBytes(QStringLiteral("toA")).constData()), 0);
    EXPECT_EQ(collect(QStringLiteral("C:")), 4);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(listItems(*result), (QStringList{"C:\\toA", "C:\\toD", "C:\\D\\a.txt", "C:\\D\\up"}));
    const platform::FileFacts* toA = facts.find(QStringLiteral("C:\\toA"));
    ASSERT_NE(toA, nullptr);
    EXPECT_EQ(toA->size, 1) << "a link to a file counts as the file";
    const platform::FileFacts* toD = facts.find(QStringLiteral("C:\\toD"));
    ASSERT_NE(toD, nullptr);
    EXPECT_FALSE(toD->isFolder);
}

// --- Facts kept for the attribute stage ------------------------------------------------

TEST_F(ScannerTest, FactsOfEveryFileAreKeptAndReplacedByTheNextCollection)
{
    tree.file(QStringLiteral("a.txt"), "abc");
    tree.file(QStringLiteral("D/.b"), "abcdef");
    tree.folder(QStringLiteral("E"));
    EXPECT_EQ(collect(QStringLiteral("C:")), 3);
    EXPECT_EQ(facts.size(), 2);
    const QString root = QStringLiteral("C:\\");
    qsizetype cursor = 0;
    platform::FileFacts f;
    ASSERT_EQ(GetEntryFileFacts(facts, root, QStringLiteral("D\\.b"), cursor, f), 0);
    EXPECT_EQ(f.size, 6);

    // A second collection of another root keeps no facts of the first.
    EXPECT_EQ(collect(QStringLiteral("C:\\D")), 1);
    EXPECT_EQ(facts.size(), 1);
    EXPECT_EQ(facts.find(QStringLiteral("C:\\a.txt")), nullptr);
    // An entry the store lacks is read from the disk.
    cursor = 0;
    ASSERT_EQ(GetEntryFileFacts(facts, root, QStringLiteral("a.txt"), cursor, f), 0);
    EXPECT_EQ(f.size, 3);
    EXPECT_EQ(GetEntryFileFacts(facts, root, QStringLiteral("gone.txt"), cursor, f), 53);
}

TEST_F(ScannerTest, WideTreeCollectsEveryFolderOnce)
{
    // Enough folders to keep the read-ahead busy and the queue in several blocks.
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j)
            tree.folder(QStringLiteral("d%1/e%2").arg(i, 2, 10, QLatin1Char('0')).arg(j, 2, 10, QLatin1Char('0')));
    tree.file(QStringLiteral("d07/e13/f.txt"));
    EXPECT_EQ(collect(QStringLiteral("C:")), 40 + 1600);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(result->list(0), QStringLiteral("C:\\d00\\") + kMarker);
    EXPECT_EQ(result->list(8 * 41 - 41 + 14), QStringLiteral("C:\\d07\\e13\\f.txt"));
}
