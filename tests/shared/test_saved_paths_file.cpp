// Reading a saved-paths file, and storing into one that changes meanwhile.

#include "shared_fixture.h"
#include "support/TempDrive.h"

#include "platform/AppError.h"
#include "shared/basSavedPaths.h"
#include "shared/frmTextEditor.h"
#include "ui/Input.h"
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
            sorted->setSorted(true);
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

// Loading a saved-paths file into the two lists: the outcome, the three
// flags and the lists' contents, colours and visibility for a file that is
// there, missing, blank, too large or unreadable. Earlier contents and
// earlier flags never survive a load.
TEST_F(SavedPathsFileTest, LoadingTellsMissingBlankTooLargeAndUnreadableApartAndLeavesNoOldPaths)
{
    constexpr ui::Color kFilled = 0x123456, kEmpty = 0x654321;
    struct Outcome {
        bool loaded, missing, empty;
        Long error;
        QStringList unsortedItems, sortedItems;
        ui::Color back;
    };
    const auto load = [&](const QString& file, int sortChoice) {
        for (ui::ListBox* l : {unsorted, sorted}) {
            l->addItem(QStringLiteral("C:\\Stale"));
            l->setSelected(0, true);
            l->setBackColor(0);
            l->move(0, 0, 100, 100);
        }
        unsorted->move(120, 240, 3000, 1500);
        sortCheck->setValue(sortChoice);
        Outcome o{false, true, true, -1, {}, {}, 0};
        o.loaded = LoadSavedPathsList(file, *unsorted, *sorted, *sortCheck, o.missing, o.empty, o.error, kFilled, kEmpty);
        o.unsortedItems = testing_support::listItems(*unsorted);
        o.sortedItems = testing_support::listItems(*sorted);
        EXPECT_EQ(unsorted->backColor(), sorted->backColor());
        o.back = unsorted->backColor();
        // The sorted list lies over the unsorted one; the check box shows one of them.
        EXPECT_EQ(QList<int>({sorted->left(), sorted->top(), sorted->width(), sorted->height()}), QList<int>({120, 240, 3000, 1500}));
        EXPECT_EQ(sorted->visible(), sortChoice == 1);
        EXPECT_EQ(unsorted->visible(), sortChoice != 1);
        for (ui::ListBox* l : {unsorted, sorted})
            for (int i = 0; i < l->listCount(); ++i) EXPECT_FALSE(l->selected(i)) << i;
        return o;
    };

    // A byte-order mark, every line end, blank lines and blanks kept around a path.
    drive.file(QStringLiteral("Paths.txt"), "\xEF\xBB\xBF" "C:\\Zeta\r\n\r\n  \t \rD:\\Alpha\nc:\\beta \r \n C:\\Mid");
    for (const int choice : {0, 1}) {
        const Outcome o = load(QStringLiteral("C:\\Paths.txt"), choice);
        EXPECT_TRUE(o.loaded);
        EXPECT_FALSE(o.missing);
        EXPECT_FALSE(o.empty);
        EXPECT_EQ(o.error, 0);
        EXPECT_EQ(o.unsortedItems, QStringList({"C:\\Zeta", "D:\\Alpha", "c:\\beta ", " C:\\Mid"}));
        EXPECT_EQ(o.sortedItems, QStringList({" C:\\Mid", "c:\\beta ", "C:\\Zeta", "D:\\Alpha"}));
        EXPECT_EQ(o.back, kFilled);
    }

    // Missing, and on no drive at all.
    Outcome o = load(QStringLiteral("C:\\None.txt"), 1);
    EXPECT_FALSE(o.loaded);
    EXPECT_TRUE(o.missing);
    EXPECT_FALSE(o.empty);
    EXPECT_EQ(o.error, 0);
    EXPECT_EQ(o.unsortedItems + o.sortedItems, QStringList());
    EXPECT_EQ(o.back, kEmpty);
    o = load(QStringLiteral("Q:\\Paths.txt"), 0);
    EXPECT_FALSE(o.loaded);
    EXPECT_TRUE(o.missing);
    EXPECT_EQ(o.error, 0);

    // Only blank lines, and nothing at all.
    for (const QByteArray& blank : {QByteArray("\xEF\xBB\xBF \r\n\t\n\r"), QByteArray()}) {
        drive.file(QStringLiteral("Blank.txt"), blank);
        o = load(QStringLiteral("C:\\Blank.txt"), 0);
        EXPECT_FALSE(o.loaded);
        EXPECT_FALSE(o.missing);
        EXPECT_TRUE(o.empty);
        EXPECT_EQ(o.error, 0);
        EXPECT_EQ(o.unsortedItems + o.sortedItems, QStringList());
        EXPECT_EQ(o.back, kEmpty);
    }

    // Over the bound: named in a message, no error, the lists stay empty.
    {
        QFile big(drive.native(QStringLiteral("Big.txt")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(16 * 1024 * 1024 + 1));
    }
    desk.expectMsgBox(QStringLiteral("Restore saved path"),
                      QStringLiteral("The file 'C:\\Big.txt' cannot be read, because it is larger than 16 MB, the most that a "
                                     "file with saved paths may be. You can shorten it with 'Edit paths...' in the window of "
                                     "the saved paths."),
                      48, ui::vbOK);
    o = load(QStringLiteral("C:\\Big.txt"), 0);
    EXPECT_FALSE(o.loaded || o.missing || o.empty);
    EXPECT_EQ(o.error, 0);
    EXPECT_EQ(o.unsortedItems + o.sortedItems, QStringList());

    // A folder under the name is no file.
    drive.folder(QStringLiteral("Dir.txt"));
    o = load(QStringLiteral("C:\\Dir.txt"), 1);
    EXPECT_FALSE(o.loaded);
    EXPECT_TRUE(o.missing);
    EXPECT_EQ(o.error, 0);
    EXPECT_EQ(o.unsortedItems + o.sortedItems, QStringList());

    // A file that opens but cannot be read (a process's memory from its
    // start): the error, empty lists, neither flag.
    testing_support::addDrive(u'E', QStringLiteral("/proc/self"));
    o = load(QStringLiteral("E:\\mem"), 1);
    EXPECT_FALSE(o.loaded || o.missing || o.empty);
    EXPECT_EQ(o.error, platform::errorFromErrno(EIO));
    EXPECT_EQ(o.unsortedItems + o.sortedItems, QStringList());
    EXPECT_EQ(o.back, kEmpty);
}

// The editor of a saved-paths file: the text shows every line with the
// editor's own line ends (a byte-order mark and the break after the last
// line are no text of their own), Save writes each line ended by CR LF, and
// a file that cannot be read or written is named with the cause.
TEST_F(SavedPathsFileTest, TheEditorShowsEveryLineAndSavesEachWithCarriageReturnAndLineFeed)
{
    const auto edit = [&](const QString& file, const std::function<void(frmTextEditor&)>& script) {
        frmTextEditor editor(file);
        bool shown = false;
        desk.onModal(QStringLiteral("frmTextEditor"), [&](ui::Form&) {
            shown = true;
            script(editor);
            if (editor.isLoaded()) ui::Input::click(*editor.cmdCancel);
        });
        editor.show(ui::Modal);
        EXPECT_FALSE(editor.isLoaded());
        return shown && editor.saved();
    };
    drive.file(QStringLiteral("Paths.txt"), "\xEF\xBB\xBF" "C:\\One\r\n\r\nD:\\Two\rE:\\Three\n  \r\n");
    EXPECT_TRUE(edit(QStringLiteral("C:\\Paths.txt"), [](frmTextEditor& e) {
        EXPECT_EQ(e.caption(), QStringLiteral("C:\\Paths.txt - Edit saved paths"));
        EXPECT_EQ(e.cmdSave->caption(), QStringLiteral("Save"));
        EXPECT_EQ(e.cmdCancel->caption(), QStringLiteral("Cancel"));
        EXPECT_EQ(e.txtText->text(), QStringLiteral("C:\\One\n\nD:\\Two\nE:\\Three\n  "));
        e.txtText->setText(QStringLiteral("C:\\One\r\nD:\\Two\rE:\\Three\n\nF:\\Four\n"));
        ui::Input::click(*e.cmdSave);
    }));
    EXPECT_EQ(drive.bytes(QStringLiteral("Paths.txt")), QByteArray("C:\\One\r\nD:\\Two\r\nE:\\Three\r\n\r\nF:\\Four\r\n"));
    drive.file(QStringLiteral("NoEnd.txt"), "a\r\nb");
    EXPECT_FALSE(edit(QStringLiteral("C:\\NoEnd.txt"), [](frmTextEditor& e) { EXPECT_EQ(e.txtText->text(), QStringLiteral("a\nb")); }));
    // Cancel keeps the file; a missing file opens empty and Save makes it.
    EXPECT_FALSE(edit(QStringLiteral("C:\\Paths.txt"), [](frmTextEditor& e) { e.txtText->setText(QStringLiteral("x")); }));
    EXPECT_EQ(drive.bytes(QStringLiteral("Paths.txt")), QByteArray("C:\\One\r\nD:\\Two\r\nE:\\Three\r\n\r\nF:\\Four\r\n"));
    g().LanguageIsGreek = true;
    EXPECT_TRUE(edit(QStringLiteral("C:\\New.txt"), [](frmTextEditor& e) {
        EXPECT_EQ(e.caption(), QStringLiteral("C:\\New.txt - Επεξεργασία αποθηκευμένων διαδρομών"));
        EXPECT_EQ(e.cmdSave->caption(), QStringLiteral("Αποθήκευση"));
        EXPECT_EQ(e.cmdCancel->caption(), QStringLiteral("Άκυρο"));
        EXPECT_EQ(e.txtText->text(), QString());
        e.txtText->setText(QStringLiteral("Α:\\Άλφα"));
        ui::Input::click(*e.cmdSave);
    }));
    EXPECT_EQ(drive.bytes(QStringLiteral("New.txt")), QStringLiteral("Α:\\Άλφα\r\n").toUtf8());

    // Saving where no drive is: named, and the editor stays open.
    desk.expectMsgBox(QStringLiteral("Επεξεργασία αποθηκευμένων διαδρομών"),
                      QStringLiteral("Το αρχείο «Q:\\Paths.txt» δεν αποθηκεύθηκε: Path not found"), 48, ui::vbOK);
    EXPECT_FALSE(edit(QStringLiteral("Q:\\Paths.txt"), [](frmTextEditor& e) {
        e.txtText->setText(QStringLiteral("C:\\One"));
        ui::Input::click(*e.cmdSave);
        EXPECT_TRUE(e.isLoaded());
    }));
    // A file that opens but cannot be read closes the editor with its cause
    // rather than showing an empty text that Save would write over it.
    g().LanguageIsGreek = false;
    testing_support::addDrive(u'E', QStringLiteral("/proc/self"));
    desk.expectMsgBoxContaining(QStringLiteral("Edit saved paths"), QStringLiteral("The file 'E:\\mem' cannot be read: ")
                                + platform::errorDescription(platform::errorFromErrno(EIO)), 48, ui::vbOK);
    EXPECT_FALSE(edit(QStringLiteral("E:\\mem"), [](frmTextEditor& e) { ADD_FAILURE() << "shown: " << e.txtText->text().size(); }));
}

} // namespace
