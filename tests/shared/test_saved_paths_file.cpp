// Reading a saved-paths file, and storing into one that changes meanwhile.

#include "shared_fixture.h"
#include "support/TempDrive.h"
#include "support/SyscallFilter.h"

#include "platform/AppError.h"
#include "shared/basSavedPaths.h"
#include "shared/frmTextEditor.h"
#include "ui/Input.h"
#include "ui/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>

using namespace basGlobal;

namespace {

// What stands at a name: the type bits of lstat, or 0 when nothing does.
mode_t typeAt(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

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

// A file that cannot be read is no empty list to put the path on top of:
// Store path hands back the error without asking.
TEST_F(SavedPathsFileTest, StoringIntoAFileThatCannotBeReadAsksNothing)
{
    testing_support::addDrive(u'E', QStringLiteral("/proc/self"));
    bool already = true, aborted = true;
    Long err = 0;
    EXPECT_FALSE(StorePath(nullptr, QStringLiteral("C:\\New"), QStringLiteral("E:\\mem"), already, aborted, err));
    EXPECT_EQ(err, platform::errorFromErrno(EIO));
    EXPECT_FALSE(already || aborted);
}

// Store path keeps the file what it is: a symbolic link stays one and the
// file it names gets the path; what is no file is refused without a question
// and stays as it was.
TEST_F(SavedPathsFileTest, StoringKeepsALinkALinkAndRefusesWhatIsNoFile)
{
    drive.file(QStringLiteral("Kept/List.txt"), "C:\\One\r\n");
    const QByteArray link = drive.nativeBytes(QStringLiteral("Paths.txt"));
    ASSERT_EQ(::symlink("Kept/List.txt", link.constData()), 0);
    desk.expectMsgBoxContaining(QStringLiteral("Store path"), QStringLiteral("save path 'C:\\New'"), 36, ui::vbYes);
    bool already = true, aborted = true;
    Long err = -1;
    EXPECT_TRUE(StorePath(nullptr, QStringLiteral("C:\\New"), QStringLiteral("C:\\Paths.txt"), already, aborted, err));
    EXPECT_EQ(typeAt(link), mode_t(S_IFLNK));
    EXPECT_EQ(drive.bytes(QStringLiteral("Kept/List.txt")), QByteArray("C:\\New\r\nC:\\One\r\n"));

    const QByteArray fifo = drive.nativeBytes(QStringLiteral("Fifo.txt"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    drive.folder(QStringLiteral("Folder.txt"));
    for (const char* name : {"C:\\Fifo.txt", "C:\\Folder.txt"}) {
        EXPECT_FALSE(StorePath(nullptr, QStringLiteral("C:\\New"), QLatin1String(name), already, aborted, err)) << name;
        EXPECT_EQ(err, platform::errPathFileAccess) << name;
        EXPECT_FALSE(already || aborted) << name;
    }
    EXPECT_EQ(typeAt(fifo), mode_t(S_IFIFO));
    EXPECT_EQ(typeAt(drive.nativeBytes(QStringLiteral("Folder.txt"))), mode_t(S_IFDIR));
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
                                     "file with saved paths may be."),
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

// Runs the editor on `file`; `script` works the window if it is shown.
// Whether it was shown.
bool runEditor(ui::HeadlessDesktop& desk, const QString& file, const std::function<void(frmTextEditor&)>& script = {})
{
    bool shown = false;
    frmTextEditor editor(file);
    desk.onModal(QStringLiteral("frmTextEditor"), [&](ui::Form&) {
        shown = true;
        if (script)
            script(editor);
        if (editor.isLoaded())
            ui::Input::click(*editor.cmdCancel);
    });
    editor.show(ui::Modal);
    return shown;
}

// What is no file, and a file larger than a saved-path file may be, is
// refused with its cause before the window shows any text, and is left as it
// was: an empty or partial text would be saved over it.
TEST_F(SavedPathsFileTest, TheEditorRefusesWhatIsNoFileOrTooLargeAndLeavesItAsItIs)
{
    const QString notAFile = QStringLiteral("The file 'C:\\Paths.txt' cannot be read: it is not a file");
    const QString tooLarge = QStringLiteral("The file 'C:\\Paths.txt' cannot be read, because it is larger than 16 MB, "
                                            "the most that a file with saved paths may be.");
    const QByteArray path = drive.nativeBytes(QStringLiteral("Paths.txt"));
    const struct {
        const char* what;
        std::function<int(const char*)> make;
        mode_t type;
        QString message;
    } rows[] = {
        {"a FIFO", [](const char* p) { return ::mkfifo(p, 0600); }, S_IFIFO, notAFile},
        {"a folder", [](const char* p) { return ::mkdir(p, 0700); }, S_IFDIR, notAFile},
        {"a link to /dev/zero", [](const char* p) { return ::symlink("/dev/zero", p); }, S_IFLNK, notAFile},
        {"a socket", testing_support::makeSocket, S_IFSOCK, notAFile},
        {"a file over the bound", [](const char* p) { return ::truncate(p, 16 * 1024 * 1024 + 1); }, S_IFREG, tooLarge},
    };
    for (const auto& r : rows) {
        if (r.type == S_IFREG)
            drive.file(QStringLiteral("Paths.txt"), "C:\\One\r\n");
        ASSERT_EQ(r.make(path.constData()), 0) << r.what;
        desk.expectMsgBox(QStringLiteral("Edit saved paths"), r.message, 48, ui::vbOK);
        EXPECT_FALSE(runEditor(desk, QStringLiteral("C:\\Paths.txt"), [&](frmTextEditor& e) {
            e.txtText->setText(QStringLiteral("C:\\New"));
            ui::Input::click(*e.cmdSave);
        })) << r.what;
        EXPECT_EQ(desk.pendingMsgBoxes(), 0) << r.what;
        EXPECT_EQ(typeAt(path), r.type) << r.what;
        if (r.type == S_IFREG) {
            EXPECT_EQ(QFileInfo(QString::fromUtf8(path)).size(), 16 * 1024 * 1024 + 1) << r.what;
        }
        ::unlink(path.constData());
        ::rmdir(path.constData());
    }
    // The same refusal in Greek.
    g().LanguageIsGreek = true;
    ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
    desk.expectMsgBox(QStringLiteral("Επεξεργασία αποθηκευμένων διαδρομών"),
                      QStringLiteral("Το αρχείο «C:\\Paths.txt» δεν μπορεί να διαβασθεί: δεν είναι αρχείο"), 48, ui::vbOK);
    EXPECT_FALSE(runEditor(desk, QStringLiteral("C:\\Paths.txt")));
}

// A saved-path file that is a symbolic link (to a list kept elsewhere) is
// shown from the file it names, and Save writes that file: the link stays.
TEST_F(SavedPathsFileTest, TheEditorSavesThroughASymbolicLinkToTheFileItNames)
{
    drive.file(QStringLiteral("Kept/List.txt"), "C:\\One\r\n");
    const QByteArray link = drive.nativeBytes(QStringLiteral("Paths.txt"));
    ASSERT_EQ(::symlink("Kept/List.txt", link.constData()), 0);
    EXPECT_TRUE(runEditor(desk, QStringLiteral("C:\\Paths.txt"), [](frmTextEditor& e) {
        EXPECT_EQ(e.txtText->text(), QStringLiteral("C:\\One"));
        e.txtText->setText(QStringLiteral("C:\\Two\nC:\\One"));
        ui::Input::click(*e.cmdSave);
        EXPECT_FALSE(e.isLoaded());
    }));
    EXPECT_EQ(typeAt(link), mode_t(S_IFLNK));
    EXPECT_EQ(QFile::symLinkTarget(QString::fromUtf8(link)), drive.native(QStringLiteral("Kept/List.txt")));
    EXPECT_EQ(drive.bytes(QStringLiteral("Kept/List.txt")), QByteArray("C:\\Two\r\nC:\\One\r\n"));
    EXPECT_EQ(QDir(drive.native(QStringLiteral("Kept"))).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary left";
}

#if defined(__x86_64__)
// A disk that fails part-way through a file: of the reads of one file, the
// first gives one block (4,096 bytes) and the second fails with EIO. Every
// read is trapped and carried out by the trap.
dev_t s_failingDevice = 0;
ino_t s_failingInode = 0;
volatile sig_atomic_t s_failingReads = 0;

void readThenFail(int, siginfo_t*, void* context)
{
    const int savedErrno = errno;
    auto* regs = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
    const int fd = int(regs[REG_RDI]);
    iovec part{reinterpret_cast<void*>(regs[REG_RSI]), size_t(regs[REG_RDX])};
    struct stat st {};
    const bool failing = ::fstat(fd, &st) == 0 && st.st_dev == s_failingDevice && st.st_ino == s_failingInode;
    if (failing)
        s_failingReads = s_failingReads + 1;
    if (failing && s_failingReads > 1) {
        regs[REG_RAX] = -EIO;
    } else {
        if (failing && part.iov_len > 4096)
            part.iov_len = 4096;
        const long rc = ::syscall(SYS_readv, fd, &part, 1);   // readv is not trapped
        regs[REG_RAX] = rc < 0 ? -errno : rc;
    }
    errno = savedErrno;
}

bool withReadsFailingAfterTheFirstBlock(const QByteArray& file)
{
    struct stat st {};
    if (::stat(file.constData(), &st) != 0)
        return false;
    s_failingDevice = st.st_dev;
    s_failingInode = st.st_ino;
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_read, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    return testing_support::installSyscallFilter(code, readThenFail);
}
#endif

// A read that fails after the first block refuses the file with the cause,
// rather than showing the lines read so far for Save to write over it.
TEST_F(SavedPathsFileTest, TheEditorRefusesAFileWhoseReadFailsAfterTheFirstBlock)
{
#if defined(__x86_64__)
    QByteArray paths;
    for (int i = 0; i < 20000; ++i)
        paths += "C:\\Folder\\" + QByteArray::number(i) + "\r\n";
    drive.file(QStringLiteral("Paths.txt"), paths);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!withReadsFailingAfterTheFirstBlock(drive.nativeBytes(QStringLiteral("Paths.txt"))))
            ::_exit(77);
        int code = 0;
        try {
            desk.expectMsgBox(QStringLiteral("Edit saved paths"),
                              QStringLiteral("The file 'C:\\Paths.txt' cannot be read: ")
                                  + platform::errorDescription(platform::errorFromErrno(EIO)),
                              48, ui::vbOK);
            const bool shown = runEditor(desk, QStringLiteral("C:\\Paths.txt"), [](frmTextEditor& e) {
                e.txtText->setText(e.txtText->text() + QStringLiteral("\nC:\\New"));
                ui::Input::click(*e.cmdSave);
            });
            code = shown ? 1 : desk.pendingMsgBoxes() != 0 ? 2 : s_failingReads < 2 ? 3 : 0;
        } catch (const ui::Abandon&) {
            code = 4;
        }
        ::_exit(code);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no system call filter here";
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the editor was shown; 2: no message; 3: the file was read in one go; "
                                         "4: another message";
    const QByteArray after = drive.bytes(QStringLiteral("Paths.txt"));
    EXPECT_TRUE(after == paths) << "the file was changed to " << after.size() << " bytes";
#else
    GTEST_SKIP() << "the trap reads x86-64 registers";
#endif
}

} // namespace
