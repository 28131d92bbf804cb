// The drive and folder tree over temporary folders mounted as drives.
#include "support/TempDrive.h"
#include "shared/basTreeViewManager.h"
#include "shared/shared_fixture.h"
#include "ui/TestSupport.h"
#include "ui/TreeView.h"

#include <QDir>

using namespace basGlobal;

namespace {

class TreeTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().VolumeIsCaseSensitive = true;
        form.setBuilder([this](uitest::TestForm& f) { tree = f.add<ui::TreeView>(QStringLiteral("tvwStructure"), 0); });
        form.load();
    }
    void TearDown() override
    {
        form.unload();
        SharedTest::TearDown();
    }
    QStringList childTexts(const QString& key) const
    {
        QStringList out;
        for (const ui::TreeNode* n : tree->node(key)->childNodes())
            out << n->text();
        return out;
    }

    testing_support::TempDrive drive;
    uitest::TestForm form{QStringLiteral("frmTree")};
    ui::TreeView* tree = nullptr;
};

TEST_F(TreeTest, LowerCaseDriveRootSelectsTheDriveAndReadsBackUpperCaseAndChildrenSortInTheProgramOrder)
{
    for (const char* name : {"beta", "Alpha", "_under", "Gamma"})
        drive.folder(QLatin1String(name));
    Long err = -1;
    EXPECT_TRUE(SelectPathInTreeView(QStringLiteral("c:"), *tree, err));
    EXPECT_EQ(err, 0);
    ASSERT_NE(tree->selectedItem(), nullptr);
    EXPECT_EQ(tree->selectedItem()->key(), QStringLiteral("C:\\"));
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:"));
    EXPECT_TRUE(tree->selectedItem()->text().startsWith(QStringLiteral("C: [")));
    EXPECT_EQ(childTexts(QStringLiteral("C:\\")), (QStringList{"Alpha", "beta", "Gamma", "_under"}));
    // On a case-sensitive volume only the exact spelling of a folder is found.
    EXPECT_FALSE(SelectPathInTreeView(QStringLiteral("C:\\alpha"), *tree, err));
    EXPECT_EQ(err, 35601);
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:"));
    EXPECT_TRUE(SelectPathInTreeView(QStringLiteral("C:\\Alpha"), *tree, err));
}

// Until the start-up has read the volume, the program state is case-blind.
TEST_F(TreeTest, BeforeTheVolumeIsKnownAFolderIsFoundInAnyLetterCase)
{
    resetGlobals();
    drive.folder(QStringLiteral("Alpha"));
    Long err = -1;
    EXPECT_TRUE(SelectPathInTreeView(QStringLiteral("C:\\ALPHA"), *tree, err));
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:\\Alpha"));
}

TEST_F(TreeTest, SelectedPathComesFromTheNodeNotItsTextOrKey)
{
    // A bracket in a folder name and an upper-casing case rule must not
    // change the path read back.
    g().VolumeIsCaseSensitive = false;
    drive.folder(QStringLiteral("Old [2019]/MiXed Case"));
    Long err = 0;
    ASSERT_TRUE(SelectPathInTreeView(QStringLiteral("c:\\old [2019]\\mixed case"), *tree, err)) << err;
    EXPECT_EQ(tree->selectedItem()->key(), QStringLiteral("C:\\OLD [2019]\\MIXED CASE\\"));
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:\\Old [2019]\\MiXed Case"));
}

TEST_F(TreeTest, FoldersLoadOneLevelAheadAndExpandingTwiceAddsNoDuplicates)
{
    drive.folder(QStringLiteral("A/B/C"));
    drive.folder(QStringLiteral("A/B2"));
    drive.file(QStringLiteral("A/file.txt"));
    ASSERT_EQ(FillDriveNodes(*tree), 0);
    // The drive's folders and nothing deeper.
    ui::TreeNode* a = tree->node(QStringLiteral("C:\\A\\"));
    EXPECT_TRUE(NodeChildrenLoaded(*tree->node(QStringLiteral("C:\\"))));
    EXPECT_FALSE(NodeChildrenLoaded(*a));
    EXPECT_EQ(a->children(), 0);
    const int before = tree->count();
    ASSERT_EQ(ExpandFolderNode(*tree, tree->node(QStringLiteral("C:\\"))), 0);
    EXPECT_EQ(childTexts(QStringLiteral("C:\\A\\")), (QStringList{QStringLiteral("B"), QStringLiteral("B2")}));
    const int afterOne = tree->count();
    EXPECT_EQ(afterOne, before + 2);
    ASSERT_EQ(ExpandFolderNode(*tree, tree->node(QStringLiteral("C:\\"))), 0);
    ASSERT_EQ(AddSubFolderNodes(*tree, QStringLiteral("C:\\A\\")), 0);
    EXPECT_EQ(tree->count(), afterOne);
    // An empty folder is loaded once too: its flag, not its children, says so.
    ASSERT_EQ(ExpandFolderNode(*tree, a), 0);
    ASSERT_EQ(ExpandFolderNode(*tree, a), 0);
    EXPECT_EQ(childTexts(QStringLiteral("C:\\A\\B\\")), QStringList{QStringLiteral("C")});
    EXPECT_TRUE(NodeChildrenLoaded(*tree->node(QStringLiteral("C:\\A\\B2\\"))));
}

// The question in full, both paragraphs, in each language.
TEST_F(TreeTest, TheRestoreQuestionTellsWhatRetryAndCancelDo)
{
    drive.folder(QStringLiteral("Work"));
    const QString english = QStringLiteral(
        "You are trying to restore path 'C:\\Work\\Gone', which could not be located on your computer. The path that "
        "has been restored so far, is 'C:\\Work'.\r\n\r\nIf the full path refers to a removable or network disk, make "
        "the necessary arrangements NOW and click 'Retry' to restore the full path, or click 'Cancel' to keep as "
        "current, the path that has been restored so far.");
    const QString greek = QStringLiteral(
        "Προσπαθείτε να επαναφέρετε την διαδρομή «C:\\Work\\Gone», η οποία όμως δεν εντοπίσθηκε στον υπολογιστή σας. "
        "Η διαδρομή η οποία έγινε δυνατόν να επαναφερθεί μέχρι τώρα, είναι η «C:\\Work».\r\n\r\nΕάν η πλήρης διαδρομή "
        "αφορά αφαιρούμενο δίσκο ή δίσκο δικτύου, κάντε ΤΩΡΑ τις απαραίτητες ενέργειες και πατήστε το «Επανάληψη» "
        "ώστε να επαναφερθεί η πλήρης διαδρομή, ή πατήστε το «Άκυρο» ώστε να παραμείνει τρέχουσα η διαδρομή η "
        "οποία έχει επαναφερθεί μέχρι τώρα.");
    Long err = -1;
    desk.expectMsgBox(QStringLiteral("Restore path"), english, 325, ui::vbCancel);
    EXPECT_EQ(RestorePath(&form, QStringLiteral("C:\\Work\\Gone"), *tree, err), QStringLiteral("C:\\Work"));
    g().LanguageIsGreek = true;
    desk.expectMsgBox(QStringLiteral("Επαναφορά διαδρομής"), greek, 325, ui::vbCancel);
    EXPECT_EQ(RestorePath(&form, QStringLiteral("C:\\Work\\Gone"), *tree, err), QStringLiteral("C:\\Work"));
    EXPECT_EQ(err, 0);
}

TEST_F(TreeTest, RestoringAMissingFolderSelectsItsParentUnlessARetryFindsIt)
{
    drive.folder(QStringLiteral("Work/Gone"));
    ASSERT_TRUE(QDir(drive.native(QStringLiteral("Work/Gone"))).removeRecursively());
    desk.expectMsgBoxContaining(QStringLiteral("Restore path"),
                                QStringLiteral("You are trying to restore path 'C:\\Work\\Gone', which could not be "
                                               "located on your computer. The path that has been restored so far, is "
                                               "'C:\\Work'."),
                                325, ui::vbCancel);
    Long err = -1;
    EXPECT_EQ(RestorePath(&form, QStringLiteral("C:\\Work\\Gone"), *tree, err), QStringLiteral("C:\\Work"));
    EXPECT_EQ(err, 0);
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:\\Work"));
    drive.folder(QStringLiteral("Work"));
    g().LanguageIsGreek = true;
    desk.expectMsgBoxContaining(QStringLiteral("Επαναφορά διαδρομής"), QStringLiteral("«C:\\Work\\Gone»"), 325, ui::vbRetry);
    desk.expectMsgBox(QStringLiteral("Επαναφορά διαδρομής"),
                      QStringLiteral("Τελικώς, η διαδρομή «C:\\Work\\Gone» δεν έγινε δυνατόν να επαναφερθεί. Η "
                                     "διαδρομή η οποία έγινε δυνατόν να επαναφερθεί, είναι η «C:\\Work»."),
                      64, ui::vbOK);
    err = -1;
    EXPECT_EQ(RestorePath(&form, QStringLiteral("C:\\Work\\Gone"), *tree, err), QStringLiteral("C:\\Work"));
    EXPECT_EQ(err, 0);

    // Retry finds a folder that appeared meanwhile; a missing drive keeps the selection.
    g().LanguageIsGreek = false;
    drive.folder(QStringLiteral("Here"));
    ASSERT_TRUE(SelectPathInTreeView(QStringLiteral("C:\\Work"), *tree, err));
    drive.folder(QStringLiteral("Work/New"));   // the tree loaded Work's level before
    desk.expectMsgBoxContaining(QStringLiteral("Restore path"), QStringLiteral("'C:\\Work\\New'"), 325, ui::vbRetry);
    EXPECT_EQ(RestorePath(&form, QStringLiteral("C:\\Work\\New"), *tree, err), QStringLiteral("C:\\Work\\New"));
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:\\Work\\New"));
    ASSERT_TRUE(SelectPathInTreeView(QStringLiteral("C:\\Here"), *tree, err));
    desk.expectMsgBoxContaining(QStringLiteral("Restore path"), QStringLiteral("is 'C:\\Here'."), 325, ui::vbCancel);
    EXPECT_EQ(RestorePath(&form, QStringLiteral("Q:\\Nowhere"), *tree, err), QStringLiteral("C:\\Here"));

    // A retry on a missing drive reloads the tree: the drive it selects is named.
    desk.expectMsgBoxContaining(QStringLiteral("Restore path"), QStringLiteral("is 'C:\\Here'."), 325, ui::vbRetry);
    desk.expectMsgBox(QStringLiteral("Restore path"),
                      QStringLiteral("Path 'Q:\\Nowhere', could not be restored after all. The path that has been restored, is 'C:'."),
                      64, ui::vbOK);
    EXPECT_EQ(RestorePath(&form, QStringLiteral("Q:\\Nowhere"), *tree, err), QStringLiteral("C:"));
    EXPECT_EQ(err, 0);
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:"));
}

TEST_F(TreeTest, DriveTextsJoinOnlyTheKnownParts)
{
    QTemporaryDir second;
    testing_support::addDrive(u'D', second.path(), QStringLiteral("Backup,2024"), platform::driveRemovable, QStringLiteral("vfat"));
    testing_support::addDrive(u'E', second.path() + QStringLiteral("/not-there"), QStringLiteral("Lost"), platform::driveRemovable);
    ASSERT_EQ(FillDriveNodes(*tree), 0);
    ASSERT_EQ(tree->roots().size(), 3u);
    EXPECT_EQ(tree->roots()[1]->text(), QStringLiteral("D: [Backup,2024,FAT32,Removable Drive]"));
    // Not ready: the type alone, and no search of its folders.
    EXPECT_EQ(tree->roots()[2]->text(), QStringLiteral("E: [Removable Drive]"));
    EXPECT_EQ(tree->roots()[2]->children(), 0);
    EXPECT_FALSE(tree->roots()[0]->text().contains(QStringLiteral(",,")));
    EXPECT_FALSE(tree->roots()[0]->text().contains(QStringLiteral("[,")));
    EXPECT_EQ(tree->selectedItem(), tree->roots()[0]);
}

TEST_F(TreeTest, WithoutDriveCNothingIsSelectedAndWithoutDrivesTheSearchEnds)
{
    QTemporaryDir d;
    testing_support::mountDrives({{'D', d.path()}});
    ASSERT_EQ(FillDriveNodes(*tree), 0);
    EXPECT_EQ(tree->selectedItem(), nullptr);
    Long err = -1;
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("c:"));
    EXPECT_EQ(err, 0);
    tree->clear();
    platform::setDrives(platform::DriveTable());
    EXPECT_FALSE(SelectPathInTreeView(QStringLiteral("C:\\"), *tree, err));
    EXPECT_EQ(err, 35601);
    EXPECT_EQ(tree->count(), 0);
}

TEST_F(TreeTest, ReloadSelectsThePreviousFolderAndSeesNewOnesAndAnUnreadableFolderHasNoChildren)
{
    drive.folder(QStringLiteral("Keep/Inner"));
    Long err = 0;
    ASSERT_TRUE(SelectPathInTreeView(QStringLiteral("C:\\Keep\\Inner"), *tree, err));
    drive.folder(QStringLiteral("Later"));
    EXPECT_EQ(ReloadTreeView(*tree), 0);
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:\\Keep\\Inner"));
    EXPECT_NE(tree->findNode(QStringLiteral("C:\\Later\\")), nullptr);
    // The selected folder vanished: the parent is selected, with 35601.
    ASSERT_TRUE(QDir(drive.native(QStringLiteral("Keep/Inner"))).removeRecursively());
    EXPECT_EQ(ReloadTreeView(*tree), 35601);
    EXPECT_EQ(GetSelectedNodePath(*tree, err), QStringLiteral("C:\\Keep"));

    // An unreadable folder simply has no children.
    drive.file(QStringLiteral("plain"));
    tree->clear();
    ASSERT_EQ(FillDriveNodes(*tree), 0);
    // A node whose folder is not there any more (a file took its place).
    ui::TreeNode* n = tree->add(QStringLiteral("C:\\"), ui::TreeView::tvwChild, QStringLiteral("C:\\plain\\"), QStringLiteral("plain"));
    n->tag = QStringLiteral("-C:\\plain");
    EXPECT_EQ(AddSubFolderNodes(*tree, QStringLiteral("C:\\plain\\")), 0);
    EXPECT_EQ(n->children(), 0);
    EXPECT_FALSE(NodeChildrenLoaded(*n));
    EXPECT_EQ(AddSubFolderNodes(*tree, QStringLiteral("C:\\missing\\")), 35601);
}

// A list of texts each ended by a nul, taken apart one text at a time; a
// last text without its nul is taken whole.
TEST(NullTerminatedTexts, ArePartedOneAtATimeAndCutAtTheFirstNul)
{
    QString text = QStringLiteral("C:\\One") + QChar(0) + QChar(0) + QStringLiteral("ab") + QChar(0) + QStringLiteral("tail");
    QStringList parts, rests;
    for (int k = 0; k < 5; ++k) {
        parts << TakeNextNullTerminatedPart(text);
        rests << text;
    }
    EXPECT_EQ(parts, QStringList({"C:\\One", "", "ab", "tail", ""}));
    EXPECT_EQ(rests, QStringList({QString(QChar(0)) + "ab" + QChar(0) + "tail", QStringLiteral("ab") + QChar(0) + "tail", "tail", "", ""}));
    text = QString(QChar(0));
    EXPECT_EQ(TakeNextNullTerminatedPart(text), QString());
    EXPECT_EQ(text, QString());

    EXPECT_EQ(TrimAtNull(QStringLiteral("abc") + QChar(0) + QStringLiteral("def") + QChar(0)), QStringLiteral("abc"));
    EXPECT_EQ(TrimAtNull(QString(QChar(0)) + QStringLiteral("x")), QString());
    EXPECT_EQ(TrimAtNull(QStringLiteral("whole")), QStringLiteral("whole"));
}

} // namespace
