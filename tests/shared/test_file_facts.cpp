// File facts, sizes, times, volume queries and the folder listing routines
// over real temporary trees mounted as drive C:.

#include "shared_fixture.h"
#include "support/TempDrive.h"

#include "shared/FileFacts.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"

#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <limits>
#include <vector>

using namespace basGlobal;
using Tree = testing_support::TempDrive;
using testing_support::listItems;

namespace {

struct Times {
    Integer v[15];
    Long read(const QString& path)
    {
        for (Integer& x : v) x = -1;
        return GetFileDateTimes(path, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11],
                                v[12], v[13], v[14]);
    }
};

class FileFactsTest : public SharedTest {
protected:
    Tree tree;
};

class ListingTest : public HiddenListsTest {
protected:
    void SetUp() override
    {
        HiddenListsTest::SetUp();
        list = fresh(HiddenForm().lstSortedListBox[1]);
        unsorted = fresh(HiddenForm().lstListBoxUnsorted[1]);
    }
    Tree tree;
    ui::ListBox* list = nullptr;
    ui::ListBox* unsorted = nullptr;
    bool cancelled = true;
    Long error = -1;
};

} // namespace

// --- Attributes -----------------------------------------------------------------------

TEST_F(FileFactsTest, AMissingPathGivesItsErrorWithEveryFlagFalse)
{
    bool folder = true, hidden = true, system = true, readOnly = true, archive = true;
    EXPECT_EQ(GetFileAttributeFlags(QStringLiteral("C:\\missing.txt"), folder, hidden, system, readOnly, archive), 53);
    EXPECT_FALSE(folder || hidden || system || readOnly || archive);
}

TEST_F(FileFactsTest, AFileAndAFolderGiveTheirFlags)
{
    tree.file(QStringLiteral(".notes.txt"));
    ASSERT_EQ(::chmod(tree.nativeBytes(QStringLiteral(".notes.txt")).constData(), 0444), 0);
    tree.folder(QStringLiteral("Sub"));
    bool folder = true, hidden = false, system = true, readOnly = false, archive = false;
    EXPECT_EQ(GetFileAttributeFlags(QStringLiteral("C:\\.notes.txt"), folder, hidden, system, readOnly, archive), 0);
    EXPECT_TRUE(!folder && hidden && !system && readOnly && archive);
    EXPECT_EQ(GetFileAttributeFlags(QStringLiteral("C:\\Sub"), folder, hidden, system, readOnly, archive), 0);
    EXPECT_TRUE(folder && !hidden && !system && !readOnly && !archive);
}

// --- Times ----------------------------------------------------------------------------

TEST_F(FileFactsTest, TimesOfAnUnreadableFileAreRealAndOfAMissingOneAnError)
{
    tree.file(QStringLiteral("secret.txt"));
    ASSERT_EQ(::chmod(tree.nativeBytes(QStringLiteral("secret.txt")).constData(), 0), 0);
    const struct timespec times[2] = {{1705314896, 0}, {1705314896, 0}};   // 2024-01-15 10:34:56 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, tree.nativeBytes(QStringLiteral("secret.txt")).constData(), times, 0), 0);
    ASSERT_EQ(::chmod(tree.nativeBytes().constData(), 0755), 0);
    const int rc = testing_support::runUnprivileged([] {
        testing_support::TimeZoneGuard zone("UTC");
        Times t;
        if (t.read(QStringLiteral("C:\\secret.txt")) != 0) return 1;
        return std::vector<Integer>(t.v + 6, t.v + 12) == std::vector<Integer>{2024, 1, 15, 10, 34, 56} ? 0 : 2;
    });
    if (rc == -1)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(rc, 0);

    Times t;
    EXPECT_EQ(t.read(QStringLiteral("C:\\gone.txt")), 53);
    for (Integer x : t.v)
        EXPECT_EQ(x, 0) << "no false dates with an error";
}

// --- Sizes ----------------------------------------------------------------------------

// A size as a structure file and the comparison carry it: ten digits at
// least, every digit of the largest, nothing for no size.
TEST(SizeText, HasTenDigitsAtLeastAndEveryDigitOfTheLargest)
{
    const std::pair<qint64, const char*> sizes[] = {
        {0, "0000000000"}, {7, "0000000007"}, {1234, "0000001234"}, {9999999999, "9999999999"},
        {10000000000, "10000000000"}, {std::numeric_limits<qint64>::max(), "9223372036854775807"}, {-1, ""},
    };
    for (const auto& [size, text] : sizes) EXPECT_EQ(FormatSizeText(size), QLatin1String(text)) << size;
}

TEST_F(FileFactsTest, SparseFilesOver4GiBHaveTheirExactSize)
{
    const qint64 five = 5LL * 1024 * 1024 * 1024 + 7;
    const qint64 twenty = 20LL * 1000 * 1000 * 1000;
    tree.file(QStringLiteral("Big/five.bin"), "");
    tree.file(QStringLiteral("Big/twenty.bin"), "");
    ASSERT_EQ(::truncate(tree.nativeBytes(QStringLiteral("Big/five.bin")).constData(), five), 0);
    ASSERT_EQ(::truncate(tree.nativeBytes(QStringLiteral("Big/twenty.bin")).constData(), twenty), 0);
    Long e = -1;
    EXPECT_EQ(GetFileOrFolderSize(QStringLiteral("C:\\Big\\five.bin"), e), five);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(GetFileOrFolderSize(QStringLiteral("C:\\Big"), e), five + twenty);
    EXPECT_EQ(GetFileOrFolderSize(QStringLiteral("C:\\Big\\none"), e), 0);
    EXPECT_EQ(e, 53);
}

// --- Creating an empty file --------------------------------------------------------------

TEST_F(FileFactsTest, CreateEmptyFileCreatesOrCutsAndRefusesWhatIsNoFile)
{
    tree.file(QStringLiteral("full.txt"), "content");
    tree.folder(QStringLiteral("D"));
    EXPECT_EQ(CreateEmptyFile(QStringLiteral("C:\\full.txt")), 0);
    EXPECT_EQ(QFileInfo(tree.native(QStringLiteral("full.txt"))).size(), 0);
    EXPECT_EQ(CreateEmptyFile(QStringLiteral("C:\\D\\new.txt")), 0);
    EXPECT_TRUE(QFileInfo::exists(tree.native(QStringLiteral("D/new.txt"))));
    EXPECT_EQ(CreateEmptyFile(QStringLiteral("C:\\NoFolder\\new.txt")), 76);
    EXPECT_EQ(CreateEmptyFile(QStringLiteral("C:\\D")), 75);
    // A file where a folder is expected: not writable even for root.
    EXPECT_NE(CreateEmptyFile(QStringLiteral("C:\\full.txt\\x")), 0);
}

// --- Volumes and drives -------------------------------------------------------------------

TEST_F(FileFactsTest, VolumeAndDriveDetailsOfAMountedFolder)
{
    QString fs = QStringLiteral("?"), vol = QStringLiteral("?");
    Long serial = -1;
    bool longNames = false, preserved = false, sensitive = false, unicode = false, acls = false, comp = false,
         volComp = true;
    ASSERT_EQ(GetDriveVolumeInformation(QStringLiteral("c:\\anything"), fs, vol, serial, longNames, preserved,
                                        sensitive, unicode, acls, comp, volComp), 0);
    EXPECT_EQ(fs, QStringLiteral("EXT4"));
    EXPECT_TRUE(sensitive);

    QString share = QStringLiteral("?");
    qint64 total = 0, avail = 0, freeSpace = 0;
    double availPct = -1, freePct = -1;
    ASSERT_EQ(GetDriveDetails(QStringLiteral("C"), fs, vol, serial, share, total, avail, availPct, freeSpace, freePct),
              0);
    EXPECT_TRUE(share.isEmpty());
    EXPECT_NEAR(availPct, double(avail) / double(total) * 100.0, 1e-9);
    EXPECT_NEAR(freePct, double(freeSpace) / double(total) * 100.0, 1e-9);
}

TEST_F(FileFactsTest, UnknownLetterIsAnErrorAndLeavesDetailsAlone)
{
    QString fs = QStringLiteral("kept"), vol, share;
    Long serial = 42;
    qint64 total = 7, avail = 7, freeSpace = 7;
    double a = 1, f = 1;
    EXPECT_EQ(GetDriveDetails(QStringLiteral("Q:"), fs, vol, serial, share, total, avail, a, freeSpace, f), 68);
    EXPECT_EQ(fs, QStringLiteral("kept"));
    EXPECT_EQ(total, 7);
    bool b[7] = {true, true, true, true, true, true, true};
    vol = QStringLiteral("old label");
    EXPECT_EQ(GetDriveVolumeInformation(QStringLiteral("Q"), fs, vol, serial, b[0], b[1], b[2], b[3], b[4], b[5], b[6]),
              68);
    // The volume's own details start from nothing.
    EXPECT_TRUE(fs.isEmpty());
    EXPECT_TRUE(vol.isEmpty());
    EXPECT_EQ(serial, 0);
    for (bool x : b)
        EXPECT_FALSE(x);
    EXPECT_FALSE(IsDriveReady(QString()));
}

// --- Listing and counting ------------------------------------------------------------------

TEST_F(ListingTest, ItemsCarryTheFolderPathWithOneSeparator)
{
    tree.file(QStringLiteral("b.txt"));
    tree.file(QStringLiteral("A.txt"));
    tree.folder(QStringLiteral("Sub"));
    EXPECT_EQ(ListFolderFiles(QStringLiteral("C:"), *list, cancelled, error), 2);
    EXPECT_EQ(listItems(*list), (QStringList{"C:\\A.txt", "C:\\b.txt"}));
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(ListSubFolders(QStringLiteral("C:\\"), *list, cancelled, error), 1);
    EXPECT_EQ(listItems(*list), QStringList{QStringLiteral("C:\\Sub")});
    tree.file(QStringLiteral("Sub/x"));
    EXPECT_EQ(ListFolderFiles(QStringLiteral("C:\\Sub\\"), *list, cancelled, error), 1);
    EXPECT_EQ(listItems(*list), QStringList{QStringLiteral("C:\\Sub\\x")});
}

TEST_F(ListingTest, ADisabledListGathersSeveralFoldersInSortOrderAnEmptyFolderClearsAnEnabledOneWithoutYielding)
{
    tree.folder(QStringLiteral("One/b"));
    tree.folder(QStringLiteral("One/Z"));
    tree.folder(QStringLiteral("Two/a"));
    list->setEnabled(false);
    EXPECT_EQ(ListSubFolders(QStringLiteral("C:\\Two"), *list, cancelled, error), 1);
    EXPECT_EQ(ListSubFolders(QStringLiteral("C:\\One"), *list, cancelled, error), 2);
    EXPECT_EQ(listItems(*list), (QStringList{"C:\\One\\b", "C:\\One\\Z", "C:\\Two\\a"}));
    list->setEnabled(true);
    EXPECT_EQ(ListSubFolders(QStringLiteral("C:\\Two"), *list, cancelled, error), 1);
    EXPECT_EQ(listItems(*list), QStringList{QStringLiteral("C:\\Two\\a")});
    tree.folder(QStringLiteral("Empty"));
    list->addItem(QStringLiteral("old"));
    desk.resetYieldCount();
    EXPECT_EQ(ListFolderFiles(QStringLiteral("C:\\Empty"), *list, cancelled, error), 0);
    EXPECT_EQ(desk.yieldCount(), 0);
    EXPECT_EQ(list->listCount(), 0);
}

TEST_F(ListingTest, CancelInASecondAppendingCallEmptiesTheWholeListButNotAListingThatCannotBeCancelled)
{
    tree.file(QStringLiteral("A/1"));
    tree.file(QStringLiteral("B/2"));
    tree.file(QStringLiteral("B/3"));
    unsorted->setEnabled(false);
    EXPECT_EQ(ListFolderFiles(QStringLiteral("C:\\A"), *unsorted, cancelled, error), 1);
    desk.resetYieldCount();
    desk.onYieldNumber(2, [this] { g().CancelRequested = true; });
    EXPECT_EQ(ListFolderFiles(QStringLiteral("C:\\B"), *unsorted, cancelled, error), 0);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(unsorted->listCount(), 0);
    EXPECT_TRUE(g().CancelRequested);
    tree.file(QStringLiteral("a"));
    EXPECT_EQ(ListFolderFiles(QStringLiteral("C:"), *list, cancelled, error, Cancellable::No), 1);
    EXPECT_FALSE(cancelled);
}

TEST_F(ListingTest, FailureEmptiesTheListAndNamesTheFolderInTheErrorDescription)
{
    tree.file(QStringLiteral("A/1"));
    unsorted->setEnabled(false);
    EXPECT_EQ(ListFolderFiles(QStringLiteral("C:\\A"), *unsorted, cancelled, error), 1);
    EXPECT_EQ(ListSubFolders(QStringLiteral("C:\\Missing"), *unsorted, cancelled, error), 0);
    EXPECT_EQ(error, 76);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(unsorted->listCount(), 0);
    EXPECT_EQ(LastListingFailedFolder(), QStringLiteral("C:\\Missing"));
    const platform::AppError e = ListingError(70, QStringLiteral("C:\\Data\\locked"));
    EXPECT_EQ(e.number, 70);
    EXPECT_EQ(e.description, QStringLiteral("Permission denied: C:\\Data\\locked"));
    EXPECT_EQ(ListingError(76, QString()).description, QStringLiteral("Path not found"));
}
