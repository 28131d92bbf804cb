// Reading a saved-paths file, and storing into one that changes meanwhile.

#include "shared_fixture.h"
#include "support/TempDrive.h"

#include "shared/basSavedPaths.h"
#include "ui/TestSupport.h"

#include <sys/xattr.h>

#include <cerrno>

using namespace basGlobal;

namespace {

class SavedPathsFileTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        form.setBuilder([this](uitest::TestForm& f) {
            unsorted = f.add<ui::ListBox>(QStringLiteral("lstSavedPaths"));
            sorted = f.add<ui::ListBox>(QStringLiteral("lstSavedPathsSorted"));
            sortCheck = f.add<ui::CheckBox>(QStringLiteral("chkSortSavedPaths"));
        });
        form.load();
    }
    void TearDown() override
    {
        form.unload();
        SharedTest::TearDown();
    }
    testing_support::TempDrive drive;
    uitest::TestForm form{QStringLiteral("frmSaved")};
    ui::ListBox* unsorted = nullptr;
    ui::ListBox* sorted = nullptr;
    ui::CheckBox* sortCheck = nullptr;
};

// An interrupted call earlier in the run leaves EINTR in errno, which reads
// that succeed never clear. (The file carries Samba's mark, so looking at it
// fails no call that would.)
TEST_F(SavedPathsFileTest, IsReadWholeWhateverErrorAnEarlierCallLeft)
{
    drive.file(QStringLiteral("Paths.txt"), "C:\\One\r\nC:\\Two\r\n");
    const char mark[] = "0x20";
    if (::setxattr(drive.nativeBytes(QStringLiteral("Paths.txt")).constData(), "user.DOSATTRIB", mark, sizeof mark, 0) != 0)
        GTEST_SKIP() << "no user extended attributes on this file system";
    bool missing = true, empty = true;
    Long err = -1;
    errno = EINTR;
    EXPECT_TRUE(LoadSavedPathsList(QStringLiteral("C:\\Paths.txt"), *unsorted, *sorted, *sortCheck, missing, empty, err));
    EXPECT_EQ(err, 0);
    EXPECT_EQ(testing_support::listItems(*unsorted), (QStringList{QStringLiteral("C:\\One"), QStringLiteral("C:\\Two")}));
}

// The file as it stands after the question is what the new path goes on
// top of: lines it lost meanwhile, or the whole file, do not come back.
TEST_F(SavedPathsFileTest, StoringWritesOverWhatTheFileHoldsOnceTheQuestionIsAnswered)
{
    const QString file = QStringLiteral("C:\\Paths.txt");
    const QString question = QStringLiteral("Do you really want to save path 'C:\\New'");
    const struct {
        const char* what;
        const char* meanwhile;   // nullptr: the file is removed
        const char* after;
    } rows[] = {
        {"removed", nullptr, "C:\\New\r\n"},
        {"cut to one line", "C:\\Two\r\n", "C:\\New\r\nC:\\Two\r\n"},
        {"emptied", "", "C:\\New\r\n"},
    };
    for (const auto& r : rows) {
        drive.file(QStringLiteral("Paths.txt"), "C:\\One\r\nC:\\Two\r\n");
        ui::MeanwhileDesktop aside;
        aside.install();
        aside.meanwhile = [&] {
            if (r.meanwhile)
                drive.file(QStringLiteral("Paths.txt"), r.meanwhile);
            else
                QFile::remove(drive.native(QStringLiteral("Paths.txt")));
        };
        aside.expectMsgBoxContaining(QStringLiteral("Store path"), question, 36, ui::vbYes);
        bool already = true, aborted = true;
        Long err = -1;
        EXPECT_TRUE(StorePath(nullptr, QStringLiteral("C:\\New"), file, already, aborted, err)) << r.what;
        EXPECT_TRUE(!already && !aborted && err == 0) << r.what;
        EXPECT_EQ(drive.bytes(QStringLiteral("Paths.txt")), QByteArray(r.after)) << r.what;
        EXPECT_EQ(aside.pendingMsgBoxes(), 0) << r.what;
    }
    desk.install();
}

} // namespace
