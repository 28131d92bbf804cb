// The breadth-first folder scan and the collection of a whole structure over
// real temporary trees: order of entries, empty-folder markers, counting,
// appending, cancel at every yield, failures that name their folder, links,
// FIFOs and names the logical path shape cannot carry.

#include "scan_support.h"
#include "shared_fixture.h"

#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"
#include "shared/frmHiddenForm.h"

#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

using namespace basGlobal;
using scan_support::Tree;

using testing_support::listItems;

namespace {

const QString kMarker = QStringLiteral("\"NULL\"");

class ScannerTest : public scan_support::CollectionTest<0> {
protected:
    void expectAllEmpty()
    {
        EXPECT_EQ(folders->listCount(), 0);
        EXPECT_EQ(queue->listCount(), 0);
        EXPECT_EQ(files->listCount(), 0);
        EXPECT_EQ(result->listCount(), 0);
        EXPECT_EQ(StructureFactsStore(0).size(), 0);
    }

};

} // namespace

// --- Order and markers ------------------------------------------------------------

TEST_F(ScannerTest, EntriesComeInSortOrderWithAMarkerForEveryEmptyFolderButTheRoot)
{
    const QString m = kMarker;
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
        {"C:\\Sub\\", {"Sub/x.txt"}, {}, {"C:\\Sub\\x.txt"}},   // one separator after a root ending in one
    };
    for (const auto& k : cases) {
        for (ui::ListBox* l : {folders, queue, files, result}) l->clear();
        Tree fresh;
        for (const QString& f : k.files) fresh.file(f);
        for (const QString& f : k.folders) fresh.folder(f);
        EXPECT_EQ(collect(QLatin1String(k.root)), k.expected.size()) << k.root;
        EXPECT_EQ(listItems(*result), k.expected);
        EXPECT_FALSE(cancelled);
        EXPECT_EQ(error, 0);
        // The scan lists end empty; the per-folder list keeps the last folder's files.
        EXPECT_EQ(folders->listCount() + queue->listCount(), 0);
    }
    EXPECT_EQ(files->listCount(), 1);
    EXPECT_EQ(kMarker.size(), 6);
}

TEST_F(ScannerTest, FoldersOfAllDepthsMixInTheOneSortOrder)
{
    // "\" sorts below the blank, so A's sub-folders come before "A B"; case
    // counts only between names equal without it, so "a" (shorter) comes
    // before "A\C".
    tree.file(QStringLiteral("A B/1.txt"));
    tree.file(QStringLiteral("A/C/2.txt"));
    tree.file(QStringLiteral("A/3.txt"));
    tree.file(QStringLiteral("a/4.txt"));
    bool c = true;
    Long e = -1;
    EXPECT_EQ(ScanFolderTreeBreadthFirst(QStringLiteral("C:"), *queue, *folders, c, e), 4);
    EXPECT_FALSE(c);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(listItems(*folders), (QStringList{"C:\\A", "C:\\a", "C:\\A\\C", "C:\\A B"}));
    EXPECT_EQ(queue->listCount(), 0);

    EXPECT_EQ(collect(QStringLiteral("C:")), 4);
    EXPECT_EQ(listItems(*result), (QStringList{"C:\\A\\3.txt", "C:\\a\\4.txt", "C:\\A\\C\\2.txt", "C:\\A B\\1.txt"}));
}

// --- Count only, appending ---------------------------------------------------------

TEST_F(ScannerTest, CountOnlyCountsFilesAndLeavesADisabledResultAlone)
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
    EXPECT_EQ(StructureFactsStore(0).size(), 0);
}

TEST_F(ScannerTest, DisabledResultIsAppendedToAndAnEnabledOneCleared)
{
    tree.file(QStringLiteral("a.txt"));
    tree.folder(QStringLiteral("Empty"));
    result->addItem(QStringLiteral("Z:\\earlier"));
    result->setEnabled(false);
    EXPECT_EQ(collect(QStringLiteral("C:")), 2);
    EXPECT_EQ(listItems(*result), (QStringList{"Z:\\earlier", "C:\\a.txt", "C:\\Empty\\" + kMarker}));
    result->setEnabled(true);
    EXPECT_EQ(collect(QStringLiteral("C:")), 2);
    EXPECT_EQ(result->listCount(), 2);
}

// --- Cancel --------------------------------------------------------------------------

TEST_F(ScannerTest, CancelAtEveryYieldEmptiesEveryList)
{
    // Yields: the root's one sub-folder (1), the root's two files listed (2)
    // and copied (2), before folder S (1), its file listed (1) and copied (1).
    tree.file(QStringLiteral("f1.txt"));
    tree.file(QStringLiteral("f2.txt"));
    tree.file(QStringLiteral("S/s1.txt"));
    desk.resetYieldCount();
    EXPECT_EQ(collect(QStringLiteral("C:")), 3);
    EXPECT_EQ(desk.yieldCount(), 8);

    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        g().CancelRequested = false;
        result->setEnabled(false);
        result->addItem(QStringLiteral("earlier"));
        desk.resetYieldCount();
        desk.onYieldNumber(n, [this] { g().CancelRequested = true; });
        EXPECT_EQ(collect(QStringLiteral("C:")), 0);
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(error, 0);
        EXPECT_EQ(desk.yieldCount(), n) << "the collection goes on after the cancel";
        EXPECT_TRUE(g().CancelRequested) << "the flag belongs to the caller";
        expectAllEmpty();
        result->setEnabled(true);
    }
}

TEST_F(ScannerTest, CancelDuringTheFolderScanEmptiesBothLists)
{
    for (int i = 0; i < 5; ++i)
        tree.folder(QStringLiteral("D%1/E").arg(i));
    bool c = false;
    Long e = -1;
    desk.resetYieldCount();
    desk.onYieldNumber(7, [this] { g().CancelRequested = true; });
    EXPECT_EQ(ScanFolderTreeBreadthFirst(QStringLiteral("C:"), *queue, *folders, c, e), 0);
    EXPECT_TRUE(c);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(queue->listCount(), 0);
    EXPECT_EQ(folders->listCount(), 0);
}

// --- Failures ------------------------------------------------------------------------

TEST_F(ScannerTest, MissingRootFailsWithPathNotFoundAndNamesIt)
{
    result->addItem(QStringLiteral("earlier"));
    result->setEnabled(false);
    EXPECT_EQ(collect(QStringLiteral("C:\\Nowhere")), 0);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(error, 76);
    EXPECT_EQ(failed, QStringLiteral("C:\\Nowhere"));
    EXPECT_EQ(LastListingFailedFolder(), QStringLiteral("C:\\Nowhere"));
    expectAllEmpty();
}

TEST_F(ScannerTest, UnreadableFolderStopsTheCollectionAndIsNamed)
{
    tree.file(QStringLiteral("ok/a.txt"));
    tree.file(QStringLiteral("ok/locked/secret.txt"));
    tree.file(QStringLiteral("z.txt"));
    ASSERT_EQ(::chmod(tree.nativeBytes().constData(), 0755), 0);
    ASSERT_EQ(::chmod(tree.nativeBytes(QStringLiteral("ok/locked")).constData(), 0), 0);
    const int rc = scan_support::runUnprivileged([this] {
        const Long n = collect(QStringLiteral("C:"));
        if (n != 0 || cancelled) return 1;
        if (error != 70) return 2;
        if (failed != QStringLiteral("C:\\ok\\locked")) return 3;
        if (result->listCount() + folders->listCount() + queue->listCount() + files->listCount() != 0) return 4;
        return 0;
    });
    ::chmod(tree.nativeBytes(QStringLiteral("ok/locked")).constData(), 0755);
    if (rc == -1)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(rc, 0) << "1 wrong result, 2 wrong error, 3 folder not named, 4 lists not emptied";
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
    const platform::FileFacts* toA = StructureFactsStore(0).find(QStringLiteral("C:\\toA"));
    ASSERT_NE(toA, nullptr);
    EXPECT_EQ(toA->size, 1) << "a link to a file counts as the file";
    const platform::FileFacts* toD = StructureFactsStore(0).find(QStringLiteral("C:\\toD"));
    ASSERT_NE(toD, nullptr);
    EXPECT_FALSE(toD->isFolder);
}

TEST_F(ScannerTest, NamesWithBackslashAndBarStayOneNameAndReachTheirFile)
{
    tree.file(QStringLiteral("x\\y|z.txt"), "12345");
    EXPECT_EQ(collect(QStringLiteral("C:")), 1);
    ASSERT_EQ(result->listCount(), 1);
    const QString entry = result->list(0);
    EXPECT_EQ(entry.count(QLatin1Char('\\')), 1);
    EXPECT_FALSE(entry.contains(QLatin1Char('|')));
    EXPECT_EQ(GetTextAfterSeparator(entry), platform::nameToLogical(QStringLiteral("x\\y|z.txt")));
    Long e = -1;
    EXPECT_EQ(GetFileOrFolderSize(entry, e), 5);
    EXPECT_EQ(e, 0);
}

TEST_F(ScannerTest, AFileCalledNullIsNotTakenForTheMarker)
{
    tree.file(QStringLiteral("D/\"NULL\""));
    EXPECT_EQ(collect(QStringLiteral("C:")), 1);
    ASSERT_EQ(result->listCount(), 1);
    EXPECT_FALSE(result->list(0).endsWith(kMarker));
}

// --- Facts kept for the attribute stage ------------------------------------------------

TEST_F(ScannerTest, FactsOfEveryFileAreKeptAndReplacedByTheNextCollection)
{
    tree.file(QStringLiteral("a.txt"), "abc");
    tree.file(QStringLiteral("D/.b"), "abcdef");
    tree.folder(QStringLiteral("E"));
    EXPECT_EQ(collect(QStringLiteral("C:")), 3);
    FileFactsStore& store = StructureFactsStore(0);
    EXPECT_EQ(store.size(), 2);
    platform::FileFacts f;
    ASSERT_EQ(GetEntryFileFacts(store, QStringLiteral("C:\\D\\.b"), f), 0);
    EXPECT_EQ(f.size, 6);
    EXPECT_TRUE(f.hidden);
    platform::FileFacts disk;
    ASSERT_EQ(platform::fileFacts(QStringLiteral("C:\\D\\.b"), disk), 0);
    EXPECT_EQ(f.mtime, disk.mtime);
    EXPECT_EQ(f.modified, disk.modified);

    // A second collection of another root keeps no facts of the first.
    EXPECT_EQ(collect(QStringLiteral("C:\\D")), 1);
    EXPECT_EQ(store.size(), 1);
    EXPECT_EQ(store.find(QStringLiteral("C:\\a.txt")), nullptr);
    // An entry the store lacks is read from the disk.
    ASSERT_EQ(GetEntryFileFacts(store, QStringLiteral("C:\\a.txt"), f), 0);
    EXPECT_EQ(f.size, 3);
    EXPECT_EQ(GetEntryFileFacts(store, QStringLiteral("C:\\gone.txt"), f), 53);
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
    EXPECT_TRUE(result->list(0).endsWith(kMarker));
    EXPECT_EQ(result->list(8 * 41 - 41 + 14), QStringLiteral("C:\\d07\\e13\\f.txt"));
}
