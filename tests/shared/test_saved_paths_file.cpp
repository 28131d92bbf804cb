// Reading a saved-paths file.

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

} // namespace
