// A collection that takes over a tree read ahead: the same lists, facts,
// yields and failures as a cold one, and a read-ahead that is dropped or
// meant for another root changes nothing.

#include "scan_support.h"
#include "shared_fixture.h"

#include "shared/FileFacts.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"
#include "shared/frmHiddenForm.h"

#include <QStringList>

#include <sys/stat.h>

using namespace basGlobal;
using scan_support::Tree;
using testing_support::listItems;

namespace {

// deepTree(): 24 files and top.txt, a marker for each D (folders only) and D2\Empty.
constexpr Long kDeepEntries = 24 + 1 + 6 + 1;

class PrefetchTest : public scan_support::CollectionTest<1> {
protected:
    Long collect(const QString& root, StructurePrefetch* ahead = nullptr)
    {
        return CollectionTest::collect(root, false, ahead);
    }
    void deepTree()
    {
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 4; ++j)
                tree.file(QStringLiteral("D%1/E%2/f%3.txt").arg(i).arg(j).arg(i * 10 + j));
        tree.folder(QStringLiteral("D2/Empty"));
        tree.file(QStringLiteral("top.txt"));
    }

};

} // namespace

TEST_F(PrefetchTest, TakenOverTreeGivesTheColdListsFactsAndYields)
{
    deepTree();
    desk.resetYieldCount();
    const Long cold = collect(QStringLiteral("C:"));
    const int coldYields = desk.yieldCount();
    const QStringList coldList = listItems(*result);
    const qsizetype coldFacts = StructureFactsStore(1).size();
    ASSERT_EQ(cold, kDeepEntries);

    StructurePrefetch ahead(QStringLiteral("C:\\"));   // the same root, spelt with its separator
    desk.resetYieldCount();
    EXPECT_EQ(collect(QStringLiteral("C:"), &ahead), cold);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(desk.yieldCount(), coldYields);
    EXPECT_EQ(listItems(*result), coldList);
    EXPECT_EQ(StructureFactsStore(1).size(), coldFacts);

    // Taken once: a second collection reads the tree itself, changes included.
    tree.file(QStringLiteral("D0/E0/late.txt"));
    EXPECT_EQ(collect(QStringLiteral("C:"), &ahead), cold + 1);
    EXPECT_TRUE(listItems(*result).contains(QStringLiteral("C:\\D0\\E0\\late.txt")));
}

TEST_F(PrefetchTest, ReadAheadOfAnotherRootOrDroppedUnusedIsLeftAlone)
{
    deepTree();
    StructurePrefetch other(QStringLiteral("C:\\D1"));
    EXPECT_EQ(collect(QStringLiteral("C:\\D2"), &other), 4 + 1);
    EXPECT_EQ(listItems(*result).first(), QStringLiteral("C:\\D2\\E0\\f20.txt"));
    // Still there for its own root.
    EXPECT_EQ(collect(QStringLiteral("C:\\D1\\"), &other), 4);
    EXPECT_EQ(listItems(*result), (QStringList{"C:\\D1\\E0\\f10.txt", "C:\\D1\\E1\\f11.txt", "C:\\D1\\E2\\f12.txt",
                                               "C:\\D1\\E3\\f13.txt"}));
    // Read-aheads dropped unused, of a root or of nothing, leave the next collection whole.
    { StructurePrefetch dropped(QStringLiteral("C:")); }
    { StructurePrefetch missing(QStringLiteral("C:\\Nowhere")); }
    EXPECT_EQ(collect(QStringLiteral("C:")), kDeepEntries);
    StructurePrefetch missing(QStringLiteral("C:\\Nowhere"));
    EXPECT_EQ(collect(QStringLiteral("C:\\Nowhere"), &missing), 0);
    EXPECT_EQ(error, 76);
    EXPECT_EQ(failed, QStringLiteral("C:\\Nowhere"));
}

TEST_F(PrefetchTest, CancelAtEveryYieldIsNoticedThereAndEmptiesEveryList)
{
    tree.file(QStringLiteral("f1.txt"));
    tree.file(QStringLiteral("S/s1.txt"));
    tree.file(QStringLiteral("S/T/t1.txt"));
    desk.resetYieldCount();
    ASSERT_EQ(collect(QStringLiteral("C:")), 3);
    const int yields = desk.yieldCount();
    for (int n = 1; n <= yields; ++n) {
        SCOPED_TRACE(n);
        g().CancelRequested = false;
        StructurePrefetch ahead(QStringLiteral("C:"));
        desk.resetYieldCount();
        desk.onYieldNumber(n, [this] { g().CancelRequested = true; });
        EXPECT_EQ(collect(QStringLiteral("C:"), &ahead), 0);
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(error, 0);
        EXPECT_EQ(desk.yieldCount(), n);
        EXPECT_EQ(result->listCount() + folders->listCount() + queue->listCount() + files->listCount(), 0);
        EXPECT_EQ(StructureFactsStore(1).size(), 0);
    }
}

TEST_F(PrefetchTest, FirstUnreadableFolderInTheCollectionsOwnOrderIsNamed)
{
    // The workers may well read "B/deep/locked" (asked early, shallow
    // parent) before "A/x/y/locked"; the collection still meets the folders
    // in its own order, and names the one a cold collection names.
    tree.file(QStringLiteral("A/x/y/locked/a.txt"));
    tree.file(QStringLiteral("B/locked/b.txt"));
    tree.file(QStringLiteral("C/c.txt"));
    ASSERT_EQ(::chmod(tree.nativeBytes().constData(), 0755), 0);
    for (const char* p : {"A/x/y/locked", "B/locked"})
        ASSERT_EQ(::chmod(tree.nativeBytes(QString::fromLatin1(p)).constData(), 0), 0);
    const int rc = scan_support::runUnprivileged([this] {
        collect(QStringLiteral("C:"));
        if (error != 70) return 1;
        const QString coldFailed = failed;
        for (int k = 0; k < 20; ++k) {
            StructurePrefetch ahead(QStringLiteral("C:"));
            if (collect(QStringLiteral("C:"), &ahead) != 0 || cancelled) return 2;
            if (error != 70) return 3;
            if (failed != coldFailed) return 4;
            if (result->listCount() + folders->listCount() + queue->listCount() + files->listCount() != 0) return 5;
        }
        return 0;
    });
    for (const char* p : {"A/x/y/locked", "B/locked"})
        ::chmod(tree.nativeBytes(QString::fromLatin1(p)).constData(), 0755);
    if (rc == -1)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(rc, 0) << "1 cold error, 2 wrong result, 3 wrong error, 4 another folder named, 5 lists not emptied";
}
