// The start and what earlier runs left in the application folder: write
// journals it cannot trust (told once, nothing they name touched, not even
// by a copy that is refused), and a folder on a disk that can only be read.
#include "mainwindow_fixture.h"
#include "platform/Application.h"
#include "platform/WriteJournal.h"
#include "support/SyscallFilter.h"
#include "ui/qt/QtDesktop.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using mainwindow::frmMain;

namespace {

class StartupJournalTest : public MainWindowFixture<frmMain> {
protected:
    // A journal from elsewhere that names the user's file Data/important.txt.
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        drive.file(QStringLiteral("Data/important.txt"), "precious");
        leave(QStringLiteral(".qmjournal-Qw12Er"));
    }
    // One more journal as a killed run leaves one (only its user may write
    // it), naming the user's file; larger than any real one if `size`.
    void leave(const QString& name, qint64 size = 0)
    {
        drive.file(name, "t 1 " + drive.nativeBytes("Data/important.txt") + "\n");
        ASSERT_EQ(::chmod(drive.nativeBytes(name).constData(), 0600), 0);
        if (size) {
            ASSERT_TRUE(QFile::resize(drive.native(name), size));
        }
    }
    QStringList appFiles() const { return QDir(drive.native()).entryList(QDir::Files | QDir::Hidden); }
};

// Makes renames that must not replace fail with `renameErr` in this process,
// and second names with `linkErr` (when not 0).
bool withRenamesRefused(int renameErr, int linkErr)
{
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_renameat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (renameErr & SECCOMP_RET_DATA)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_linkat, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, linkErr ? SECCOMP_RET_ERRNO | (linkErr & SECCOMP_RET_DATA) : SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    return testing_support::installSyscallFilter(code);
}

TEST_F(StartupJournalTest, AJournalNamingFilesTheProgramDidNotMakeIsToldOnceAndTouchesNothing)
{
    desk.expectMsgBox(QStringLiteral("Tarnwick"),
                      QStringLiteral("In the application folder 'C:\\':\r\n\r\nThe write journal '.qmjournal-Qw12Er.ignored' "
                                     "names files that this program did not make. They were left alone, and the journal was "
                                     "set aside under that name."),
                      ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_TRUE(main.isShown());
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    EXPECT_TRUE(appFiles().contains(QStringLiteral(".qmjournal-Qw12Er.ignored")));
    EXPECT_FALSE(appFiles().contains(QStringLiteral(".qmjournal-Qw12Er")));
    // The next start has nothing to say.
    platform::JournalReport again;
    platform::startWriteJournal(drive.native(), &again);
    EXPECT_TRUE(again.foreign.isEmpty() && again.notOwn.isEmpty() && again.oversized.isEmpty());
    platform::stopWriteJournal();
}

TEST_F(StartupJournalTest, AJournalLargerThanAnyRealOneIsSetAsideAndToldInGreek)
{
    writeIni(QStringLiteral("[General]\r\nLanguage=True\r\n"));
    ASSERT_TRUE(QFile::resize(drive.native(QStringLiteral(".qmjournal-Qw12Er")), 4 * 1024 * 1024));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick"), QStringLiteral("Στον φάκελλο της εφαρμογής «C:\\»:\r\n\r\nΤο ημερολόγιο "
                                                          "εγγραφών «.qmjournal-Qw12Er.ignored» είναι μεγαλύτερο από όσα "
                                                          "γράφει η εφαρμογή."),
                                ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    EXPECT_TRUE(appFiles().contains(QStringLiteral(".qmjournal-Qw12Er.ignored")));
    platform::stopWriteJournal();
}

// However many journals were set aside, the notice names a few and counts
// them all: its box fits the screen.
TEST_F(StartupJournalTest, ManyJournalsSetAsideAreCountedAndAFewNamed)
{
    for (int i = 0; i < 2999; ++i)
        leave(QStringLiteral(".qmjournal-%1").arg(i, 6, 10, QLatin1Char('0')));
    leave(QStringLiteral(".qmjournal-Big002"), 2 * 1024 * 1024);
    leave(QStringLiteral(".qmjournal-Big001"), 2 * 1024 * 1024);
    desk.expectMsgBox(
        QStringLiteral("Tarnwick"),
        QStringLiteral("In the application folder 'C:\\':\r\n\r\n"
                       "3000 write journals name files that this program did not make: '.qmjournal-000000.ignored', "
                       "'.qmjournal-000001.ignored', '.qmjournal-000002.ignored', '.qmjournal-000003.ignored', "
                       "'.qmjournal-000004.ignored' and 2995 more. They were left alone, and the journals were set aside "
                       "under those names.\r\n\r\n"
                       "2 write journals are larger than any this program writes: '.qmjournal-Big001.ignored' and "
                       "'.qmjournal-Big002.ignored'. They were not read, nothing they name was changed, and they were set "
                       "aside under those names."),
        ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    EXPECT_EQ(appFiles().filter(QStringLiteral(".ignored")).size(), 3002);
    platform::stopWriteJournal();
}

TEST_F(StartupJournalTest, ManyJournalsSetAsideAreCountedInGreek)
{
    writeIni(QStringLiteral("[General]\r\nLanguage=True\r\n"));
    for (int i = 0; i < 5; ++i)
        leave(QStringLiteral(".qmjournal-%1").arg(i, 6, 10, QLatin1Char('0')));
    for (const char* name : {".qmjournal-Big001", ".qmjournal-Big002", ".qmjournal-Big003"})
        leave(QLatin1String(name), 2 * 1024 * 1024);
    desk.expectMsgBox(
        QStringLiteral("Tarnwick"),
        QStringLiteral("Στον φάκελλο της εφαρμογής «C:\\»:\r\n\r\n"
                       "6 ημερολόγια εγγραφών κατονομάζουν αρχεία τα οποία δεν δημιούργησε η εφαρμογή: "
                       "«.qmjournal-000000.ignored», «.qmjournal-000001.ignored», «.qmjournal-000002.ignored», "
                       "«.qmjournal-000003.ignored», «.qmjournal-000004.ignored» και 1 ακόμη. Τα αρχεία αυτά δεν "
                       "άλλαξαν, και τα ημερολόγια τέθηκαν στην άκρη με αυτά τα ονόματα.\r\n\r\n"
                       "3 ημερολόγια εγγραφών είναι μεγαλύτερα από όσα γράφει η εφαρμογή: «.qmjournal-Big001.ignored», "
                       "«.qmjournal-Big002.ignored» και «.qmjournal-Big003.ignored». Δεν διαβάστηκαν, τίποτε από όσα "
                       "κατονομάζουν δεν άλλαξε, και τέθηκαν στην άκρη με αυτά τα ονόματα."),
        ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    platform::stopWriteJournal();
}

// A journal the program could not have written (writable by others, a
// link, a second name of a file, a FIFO) was not read: the notice says so,
// and claims nothing about what it names.
TEST_F(StartupJournalTest, JournalsNotItsOwnAreSaidNotToBeReadAndAreSetAside)
{
    leave(QStringLiteral(".qmjournal-Group1"));
    ASSERT_EQ(::chmod(drive.nativeBytes(QStringLiteral(".qmjournal-Group1")).constData(), 0620), 0);
    ASSERT_EQ(::symlink(drive.nativeBytes(QStringLiteral("Data/important.txt")).constData(),
                        drive.nativeBytes(QStringLiteral(".qmjournal-Link02")).constData()),
              0);
    leave(QStringLiteral(".qmjournal-Twice3"));
    ASSERT_EQ(::link(drive.nativeBytes(QStringLiteral(".qmjournal-Twice3")).constData(),
                     drive.nativeBytes(QStringLiteral("Data/journal")).constData()),
              0);
    ASSERT_EQ(::mkfifo(drive.nativeBytes(QStringLiteral(".qmjournal-Fifo04")).constData(), 0600), 0);
    desk.expectMsgBox(
        QStringLiteral("Tarnwick"),
        QStringLiteral("In the application folder 'C:\\':\r\n\r\n"
                       "The write journal '.qmjournal-Qw12Er.ignored' names files that this program did not make. They were "
                       "left alone, and the journal was set aside under that name.\r\n\r\n"
                       "4 write journals are not this program's own: '.qmjournal-Fifo04.ignored', '.qmjournal-Group1.ignored', "
                       "'.qmjournal-Link02.ignored' and '.qmjournal-Twice3.ignored'. They were not read, and they were set "
                       "aside under those names."),
        ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/journal")), "t 1 " + drive.nativeBytes("Data/important.txt") + "\n");
    EXPECT_EQ(QDir(drive.native()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden).filter(QStringLiteral(".qmjournal-")),
              (QStringList{QStringLiteral(".qmjournal-Fifo04.ignored"), QStringLiteral(".qmjournal-Group1.ignored"),
                           QStringLiteral(".qmjournal-Link02.ignored"), QStringLiteral(".qmjournal-Qw12Er.ignored"),
                           QStringLiteral(".qmjournal-Twice3.ignored")}));
    platform::stopWriteJournal();
}

// Every name for setting a journal aside is taken: it is said to be left
// where it is, and why, and so it is again at the next start.
TEST_F(StartupJournalTest, AJournalThatCannotBeSetAsideIsSaidToBeLeftWhereItIs)
{
    for (const char* name : {".qmjournal-Qw12Er", ".qmjournal-Group1", ".qmjournal-Group2"}) {
        drive.file(QLatin1String(name) + QStringLiteral(".ignored"));
        for (int n = 2; n <= 1000; ++n)
            drive.file(QLatin1String(name) + QStringLiteral(".ignored.%1").arg(n));
    }
    for (const char* name : {".qmjournal-Group1", ".qmjournal-Group2"}) {
        leave(QLatin1String(name));
        ASSERT_EQ(::chmod(drive.nativeBytes(QLatin1String(name)).constData(), 0620), 0);
    }
    const QString text =
        QStringLiteral("In the application folder 'C:\\':\r\n\r\nThe write journal '.qmjournal-Qw12Er' names files that "
                       "this program did not make. They were left alone, and the journal was left where it is: every name it "
                       "could be set aside under, its own followed by '.ignored' to '.ignored.1000', is taken.\r\n\r\n"
                       "2 write journals are not this program's own: '.qmjournal-Group1' and '.qmjournal-Group2'. They were "
                       "not read, and they were left where they are: every name they could be set aside under, their own "
                       "followed by '.ignored' to '.ignored.1000', is taken.");
    desk.expectMsgBox(QStringLiteral("Tarnwick"), text, ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_EQ(appFiles().filter(QRegularExpression(QStringLiteral("^\\.qmjournal-\\w+$"))),
              (QStringList{QStringLiteral(".qmjournal-Group1"), QStringLiteral(".qmjournal-Group2"), QStringLiteral(".qmjournal-Qw12Er")}));
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    platform::JournalReport again;
    platform::startWriteJournal(drive.native(), &again);
    platform::stopWriteJournal();
    EXPECT_EQ(again.leftInPlace.value(drive.native(QStringLiteral(".qmjournal-Qw12Er"))), EEXIST);
    EXPECT_EQ(again.leftInPlace.size(), 3);
}

// A folder where nothing can be renamed aside: the notice gives the cause,
// for a journal of each kind (in a process of its own: the system calls
// are refused there for good).
TEST_F(StartupJournalTest, ACauseIsGivenForJournalsLeftWhereTheyAre)
{
    struct Row {
        bool greek;
        int renameErr, linkErr;
        const char* text;
    };
    const Row rows[] = {
        {false, EROFS, 0,
         "In the application folder 'C:\\':\r\n\r\nThe write journal '.qmjournal-Qw12Er' names files that this program "
         "did not make. They were left alone, and the journal was left where it is: the disk can only be read.\r\n\r\n"
         "The write journal '.qmjournal-Group1' is not this program's own. It was not read, and it was left where it is: "
         "the disk can only be read."},
        {true, EINVAL, EPERM,
         "Στον φάκελλο της εφαρμογής «C:\\»:\r\n\r\nΤο ημερολόγιο εγγραφών «.qmjournal-Qw12Er» κατονομάζει αρχεία τα "
         "οποία δεν δημιούργησε η εφαρμογή. Τα αρχεία αυτά δεν άλλαξαν, και το ημερολόγιο έμεινε εκεί όπου βρίσκεται: ο "
         "δίσκος δεν μπορεί ούτε να μετονομάσει ένα αρχείο χωρίς τον κίνδυνο να αντικαταστήσει άλλο ούτε να δώσει σε ένα "
         "αρχείο δεύτερο όνομα.\r\n\r\nΤο ημερολόγιο εγγραφών «.qmjournal-Group1» δεν είναι της εφαρμογής. Δεν "
         "διαβάστηκε, και έμεινε εκεί όπου βρίσκεται: ο δίσκος δεν μπορεί ούτε να μετονομάσει ένα αρχείο χωρίς τον "
         "κίνδυνο να αντικαταστήσει άλλο ούτε να δώσει σε ένα αρχείο δεύτερο όνομα."},
    };
    leave(QStringLiteral(".qmjournal-Group1"));
    ASSERT_EQ(::chmod(drive.nativeBytes(QStringLiteral(".qmjournal-Group1")).constData(), 0620), 0);
    for (const Row& r : rows) {
        writeIni(r.greek ? QStringLiteral("[General]\r\nLanguage=True\r\n") : QStringLiteral("[General]\r\nLanguage=False\r\n"));
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (!withRenamesRefused(r.renameErr, r.linkErr))
                ::_exit(77);
            desk.expectMsgBox(QStringLiteral("Tarnwick"), QString::fromUtf8(r.text), ui::vbExclamationOK, ui::vbOK);
            bool loaded = false;
            try {
                main.load();
                loaded = main.isShown() && desk.pendingMsgBoxes() == 0;
            } catch (...) {
            }
            if (!loaded)
                std::fprintf(stderr, "%s\n", qPrintable(desk.transcriptLines().join(u'\n')));
            ::_exit(loaded ? 0 : 1);
        }
        int status = -1;
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
            GTEST_SKIP() << "no system call filter here";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << r.greek << " " << status;
    }
    EXPECT_EQ(appFiles().filter(QStringLiteral(".qmjournal-")),
              (QStringList{QStringLiteral(".qmjournal-Group1"), QStringLiteral(".qmjournal-Qw12Er")}));
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
}

// Control, bidirectional and zero-width characters in a journal's name are
// shown by their codes: the sentence reads in order and each name can be
// found again.
TEST_F(StartupJournalTest, CharactersThatWouldHideOrGarbleANameAreShownByTheirCodes)
{
    // Six bytes each: controls (C0 and C1), a bidirectional override, zero-width
    // spaces, a line separator, a format character beyond 16 bits.
    const QString names[] = {QString::fromUtf16(u".qmjournal-\u202Ea\u0001b"), QString::fromUtf16(u".qmjournal-\u200B\u200B"),
                             QString::fromUtf16(u".qmjournal-\u2028\u0085x"), QString::fromUcs4(U".qmjournal-\U000E0001ab")};
    for (const QString& name : names)
        leave(name);
    desk.expectMsgBoxContaining(
        QStringLiteral("Tarnwick"),
        QStringLiteral("5 write journals name files that this program did not make: '.qmjournal-Qw12Er.ignored', "
                       "'.qmjournal-<U+200B><U+200B>.ignored', '.qmjournal-<U+2028><U+0085>x.ignored', "
                       "'.qmjournal-<U+202E>a<U+0001>b.ignored' and '.qmjournal-<U+E0001>ab.ignored'. They were left alone,"),
        ui::vbExclamationOK, ui::vbOK);
    main.load();
    for (const QString& name : names)
        EXPECT_TRUE(appFiles().contains(name + QStringLiteral(".ignored"))) << name.toStdString();
    platform::stopWriteJournal();
}

TEST_F(StartupJournalTest, ARefusedSecondCopyLeavesALeftJournalAndWhatItNamesAlone)
{
    platform::InstanceLock first(platform::app().nativePath());
    ASSERT_EQ(first.tryLock(), platform::InstanceLock::Taken);
    main.anotherCopyRunning = nullptr;
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick"), QStringLiteral("The application is already active"),
                                ui::vbCriticalOK, ui::vbOK);
    EXPECT_THROW(main.load(), ui::ProgramEnd);
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    EXPECT_EQ(appFiles(), QStringList{QStringLiteral(".qmjournal-Qw12Er")}) << "the journal is the running copy's business";
}

// The application folder on a read-only mount: the start names the cause as
// the settings export does.
TEST_F(StartupJournalTest, AFolderOnAReadOnlyDiskSaysSoAtTheStart)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", drive.nativeBytes().constData(), "tmpfs", MS_RDONLY, nullptr) != 0)
            ::_exit(77);
        const QString text = basGlobal::CheckIniFile(QStringLiteral("C:\\Quillmarsh.ini"));
        std::fprintf(stderr, "%s\n", qPrintable(text));
        ::_exit(text == QStringLiteral("The settings file 'C:\\Quillmarsh.ini' cannot be written: the disk can only be "
                                       "read.\r\n\r\nChanges to the settings will not be kept.")
                    ? 0
                    : 1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
    // The journal was not read by this test's start.
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
}

// On the screen: an application folder of 3,000 bytes is named once,
// shortened, the journals by their file names, and the box fits the screen.
class StartupJournalOnScreen : public MainWindowFixture<frmMain, ui::qt::QtDesktop> {
};

TEST_F(StartupJournalOnScreen, ALongApplicationFolderIsNamedOnceAndTheBoxFitsTheScreen)
{
    QStringList parts;
    for (int k = 0; k < 12; ++k)
        parts << QString(249, QChar(u'a' + k));
    const QString folder = parts.join(u'/');
    ASSERT_GE(drive.nativeBytes(folder).size() - drive.nativeBytes().size(), 3000);
    drive.file(QStringLiteral("Data/important.txt"), "precious");
    for (const char* name : {".qmjournal-000001", ".qmjournal-000002", ".qmjournal-000003", ".qmjournal-000004",
                             ".qmjournal-000005", ".qmjournal-000006", ".qmjournal-Big001", ".qmjournal-Big002"}) {
        const QString journal = folder + u'/' + QLatin1String(name);
        drive.file(journal, "t 1 " + drive.nativeBytes("Data/important.txt") + "\n");
        ASSERT_EQ(::chmod(drive.nativeBytes(journal).constData(), 0600), 0);
        if (QByteArray(name).contains("Big")) {
            ASSERT_TRUE(QFile::resize(drive.native(journal), 2 * 1024 * 1024));
        }
    }
    platform::app().setPath(QStringLiteral("C:\\") + parts.join(u'\\'));
    desk.setQuitOnEnd(false);
    QString notice;
    int height = 0, screenHeight = 0;
    desk.setDialogHook([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        if (box->text().contains(QStringLiteral("journal"))) {
            notice = box->text().remove(QChar(0x200B)).remove(QChar(0x2060));
            height = box->frameGeometry().height();
            screenHeight = box->screen()->availableGeometry().height();
        }
        box->buttons().first()->click();
    });
    main.load();
    platform::stopWriteJournal();
    ASSERT_FALSE(notice.isEmpty());
    EXPECT_EQ(notice.count(QStringLiteral("C:\\")), 1) << notice.toStdString();
    EXPECT_TRUE(notice.startsWith(QStringLiteral("In the application folder 'C:\\aaa"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("'.qmjournal-000001.ignored', '.qmjournal-000002.ignored'"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("'.qmjournal-Big001.ignored' and '.qmjournal-Big002.ignored'"))) << notice.toStdString();
    EXPECT_GT(height, 0);
    EXPECT_LE(height, screenHeight) << notice.toStdString();
}

} // namespace
