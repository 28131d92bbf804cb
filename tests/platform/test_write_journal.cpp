// The write journal at the start: what a left journal may make the program
// do (only to the program's own temporary files), what it does with one it
// cannot trust, and the staged copy's own undoing of a half-done commit.
#include "platform/AtomicFile.h"
#include "platform/Shell.h"
#include "platform/StagedCopy.h"
#include "platform/WriteJournal.h"
#include "support/TempDrive.h"
#include "support/SyscallFilter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <csignal>
#include <ucontext.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

using namespace platform;
using testing_support::TempDrive;

namespace {

// How many files the process holds open: a start keeps none of a journal
// it only looked at.
int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

QStringList hidden(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// A journal as a killed run leaves one: a file that only its user may write.
void leaveJournal(const TempDrive& d, const QString& relative, const QByteArray& text)
{
    d.file(relative, text);
    ASSERT_EQ(::chmod(d.nativeBytes(relative).constData(), 0600), 0);
}

// A start on a folder that holds a journal another tree put there: it names
// the user's files in the folder Home ("%H" in the journal's text stands for
// its native path), beside two of the program's own temporary names.
TEST(LeftJournal, TouchesOnlyTheProgramsOwnFilesAndSetsTheRestAside)
{
    struct Row {
        const char* what;
        const char* journal;
        bool foreign;      // set aside as naming what the program did not make
        const char* kept;  // what is then in Home (besides the user's files)
    };
    const Row rows[] = {
        {"a user's file by its absolute path", "t 1 %H/important.txt\n", true, ".a.txt.qmtmp-Abc123"},
        {"a user's file by a relative name", "t 1 important.txt\n", true, ".a.txt.qmtmp-Abc123"},
        {"a name cut by a NUL", "t 1 %H/important.txt%00/.a.txt.qmtmp-Abc123\n", true, ".a.txt.qmtmp-Abc123"},
        // Only a hidden name with the tag and six letters or digits is one of its own.
        {"a user's file with the tag, not hidden", "t 1 %H/a.txt.qmtmp-Abc123\n", true, ".a.txt.qmtmp-Abc123"},
        {"a hidden name with the tag and no random part", "t 1 %H/.a.txt.qmtmp-Abc12!\n", true, ".a.txt.qmtmp-Abc123"},
        {"a hidden name with the tag and a short random part", "t 1 %H/.a.txt.qmtmp-Abc12\n", true, ".a.txt.qmtmp-Abc123"},
        {"a hidden name with a random part and no tag", "t 1 %H/.a.txt.Abc123\n", true, ".a.txt.qmtmp-Abc123"},
        {"a rename onto a file the copy was not made for",
         "s 1 %H/.a.txt.qmtmp-Abc123 %H/important.txt -\ng 1\n", true, ".a.txt.qmtmp-Abc123"},
        {"a rename of a user's file back as a second name",
         "s 1 %H/.important.txt.qmtmp-Zzz999 %H/important.txt %H/other.txt\nr 1\n", true, ".a.txt.qmtmp-Abc123"},
        {"a rename from a relative name", "s 1 .a.txt.qmtmp-Abc123 a.txt -\ng 1\n", true, ".a.txt.qmtmp-Abc123"},
        {"a rename from a name that only looks like a copy of the target",
         "s 1 %H/.important.txt.qmtmp-Abc12! %H/important.txt -\ng 1\n", true, ".a.txt.qmtmp-Abc123"},
        {"an undo from a name that only looks like a second name of the target",
         "s 1 %H/.important.txt.qmtmp-Zzz999 %H/important.txt %H/.important.txt.qmold-Zzz99!\nr 1\n", true,
         ".a.txt.qmtmp-Abc123"},
        {"an undo that would remove a target with no copy named",
         "s 1 %H/.important.txt.qmtmp-Zzz999 %H/important.txt -\nr 1\n", false, ".a.txt.qmtmp-Abc123"},
        {"an undo that would remove a target that is not the copy",
         "s 1 %H/.important.txt.qmtmp-Zzz999 %H/important.txt - 1:2\nr 1\n", false, ".a.txt.qmtmp-Abc123"},
        {"one of its own temporaries beside a user's file",
         "t 1 %H/.a.txt.qmtmp-Abc123\nt 2 %H/important.txt\n", true, ""},
        {"its own temporary and its own commit",
         "t 1 %H/.a.txt.qmtmp-Abc123\ns 2 %H/.a.txt.qmtmp-Abc123 %H/a.txt -\ng 2\n", false, "a.txt"},
        {"a line the kill cut short", "t 1 %H/.a.txt.qmtmp-Abc123\nt 2 %H/import", false, ""},
    };
    for (const Row& r : rows) {
        TempDrive d;
        d.folder(QStringLiteral("App"));
        d.file(QStringLiteral("Home/important.txt"), "precious");
        d.file(QStringLiteral("Home/other.txt"), "other");
        d.file(QStringLiteral("Home/.a.txt.qmtmp-Abc123"), "copy");
        leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"), QByteArray(r.journal).replace("%H", d.nativeBytes("Home")));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(d.native(QStringLiteral("Home")));
        JournalReport report;
        startWriteJournal(d.native(QStringLiteral("App")), &report);
        QDir::setCurrent(cwd);
        stopWriteJournal();

        EXPECT_EQ(d.bytes(QStringLiteral("Home/important.txt")), "precious") << r.what;
        EXPECT_EQ(d.bytes(QStringLiteral("Home/other.txt")), "other") << r.what;
        QStringList expected{QStringLiteral("important.txt"), QStringLiteral("other.txt")};
        if (*r.kept)
            expected << QLatin1String(r.kept);
        expected.sort();
        EXPECT_EQ(hidden(d.native(QStringLiteral("Home"))), expected) << r.what;
        const QString aside = d.native(QStringLiteral("App/.qmjournal-Qw12Er.ignored"));
        EXPECT_EQ(report.foreign, r.foreign ? QStringList{aside} : QStringList()) << r.what;
        EXPECT_EQ(hidden(d.native(QStringLiteral("App"))),
                  r.foreign ? QStringList{QStringLiteral(".qmjournal-Qw12Er.ignored")} : QStringList())
            << r.what;
        EXPECT_TRUE(report.oversized.isEmpty());
    }
}

TEST(LeftJournal, OneLargerThanAnyRealOneIsSetAsideUnreadAndTheRunKeepsItsOwn)
{
    TempDrive d;
    d.folder(QStringLiteral("App"));
    d.file(QStringLiteral("Home/important.txt"), "precious");
    {
        // 2 MB, almost all of it a hole: the first line names the user's file.
        QFile f(d.native(QStringLiteral("App/.qmjournal-Big123")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("t 1 " + d.nativeBytes("Home/important.txt") + "\n");
        ASSERT_TRUE(f.resize(2 * 1024 * 1024));
        ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }
    JournalReport report;
    const int open = openDescriptors();
    EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App")), &report), 0);
    EXPECT_EQ(openDescriptors(), open) << "nothing of the journal set aside stays open";
    EXPECT_EQ(d.bytes(QStringLiteral("Home/important.txt")), "precious");
    EXPECT_EQ(report.oversized, QStringList{d.native(QStringLiteral("App/.qmjournal-Big123.ignored"))});
    EXPECT_TRUE(report.foreign.isEmpty());

    // This run's own journal is kept, and settles its own write after a kill.
    AtomicFile f;
    ASSERT_EQ(f.open(d.native(QStringLiteral("Home/a.txt"))), 0);
    const QStringList app = hidden(d.native(QStringLiteral("App")));
    ASSERT_EQ(app.size(), 2);
    EXPECT_EQ(app.filter(QRegularExpression(QStringLiteral("^\\.qmjournal-[A-Za-z0-9]{6}$"))).size(), 1) << app.join(' ').toStdString();
    f.commit();
    stopWriteJournal();
    // The journal set aside is not looked at again.
    report = {};
    startWriteJournal(d.native(QStringLiteral("App")), &report);
    stopWriteJournal();
    EXPECT_TRUE(report.oversized.isEmpty() && report.foreign.isEmpty());
    EXPECT_EQ(d.bytes(QStringLiteral("Home/important.txt")), "precious");
}

// A set line that would remove the user's file: its copy and target have the
// program's own shape, and the copy's identity is the target's. Acted on
// only from a journal the program could have written: a private file of the
// user running it, with no second name. Any other is not read.
TEST(LeftJournal, OnlyAPrivateFileOfTheUsersOwnIsActedOn)
{
    struct Row {
        const char* what;
        mode_t mode;
        uid_t owner;    // 0: the user running the tests
        bool symlink;   // the journal's name is a link to a file holding the text
        bool hardLink;  // the file holding the text has a second name elsewhere
        bool trusted;
    };
    const uid_t me = ::geteuid();
    const Row rows[] = {
        {"the program's own, readable by others", 0644, me, false, false, true},
        {"writable by its group", 0620, me, false, false, false},
        {"writable by others", 0602, me, false, false, false},
        {"owned by another user", 0600, me == 65534 ? uid_t(65533) : uid_t(65534), false, false, false},
        {"a symbolic link to a private file", 0600, me, true, false, false},
        {"a private file with a second name", 0600, me, false, true, false},
    };
    bool skipped = false;
    for (const Row& r : rows) {
        TempDrive d;
        d.folder(QStringLiteral("App"));
        d.file(QStringLiteral("Home/important.txt"), "precious");
        struct stat st {};
        ASSERT_EQ(::stat(d.nativeBytes("Home/important.txt").constData(), &st), 0);
        const QByteArray id = QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
        const QByteArray text = "s 1 " + d.nativeBytes("Home/.important.txt.qmtmp-Zzz999") + ' '
            + d.nativeBytes("Home/important.txt") + " - " + id + "\nr 1\n";
        const QString file = r.symlink ? QStringLiteral("Elsewhere/journal") : QStringLiteral("App/.qmjournal-Qw12Er");
        d.file(file, text);
        ASSERT_EQ(::chmod(d.nativeBytes(file).constData(), r.mode), 0) << r.what;
        if (r.owner != me && ::chown(d.nativeBytes(file).constData(), r.owner, gid_t(-1)) != 0) {
            skipped = true;   // only root gives a file away
            continue;
        }
        if (r.symlink) {
            ASSERT_EQ(::symlink(d.nativeBytes(file).constData(), d.nativeBytes("App/.qmjournal-Qw12Er").constData()), 0);
        }
        if (r.hardLink) {
            d.folder(QStringLiteral("Elsewhere"));
            ASSERT_EQ(::link(d.nativeBytes(file).constData(), d.nativeBytes("Elsewhere/journal").constData()), 0);
        }
        JournalReport report;
        EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App")), &report), r.trusted ? 1 : 0) << r.what;
        stopWriteJournal();

        EXPECT_EQ(d.bytes(QStringLiteral("Home/important.txt")), r.trusted ? "<missing>" : "precious") << r.what;
        EXPECT_EQ(report.notOwn, r.trusted ? QStringList() : QStringList{d.native(QStringLiteral("App/.qmjournal-Qw12Er.ignored"))})
            << r.what;
        EXPECT_TRUE(report.foreign.isEmpty() && report.oversized.isEmpty() && report.leftInPlace.isEmpty()) << r.what;
        EXPECT_EQ(hidden(d.native(QStringLiteral("App"))),
                  r.trusted ? QStringList() : QStringList{QStringLiteral(".qmjournal-Qw12Er.ignored")})
            << r.what;
        if (r.symlink || r.hardLink) {
            EXPECT_EQ(d.bytes(QStringLiteral("Elsewhere/journal")), text) << r.what << ": its other name is not touched";
        }
    }
    if (skipped)
        GTEST_SKIP() << "not run as root: no journal of another user was made";
}

// A journal set aside again under a name an earlier one has: the earlier
// ones stay as they were.
TEST(LeftJournal, SettingAsideKeepsEveryEarlierJournalOfThatName)
{
    TempDrive d;
    d.file(QStringLiteral("App/.qmjournal-Qw12Er.ignored"), "first");
    d.file(QStringLiteral("App/.qmjournal-Qw12Er.ignored.2"), "second");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"), "t 1 important.txt\n");
    d.file(QStringLiteral("App/.qmjournal-Big123.ignored"), "earlier");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Big123"), "");
    ASSERT_TRUE(QFile::resize(d.native(QStringLiteral("App/.qmjournal-Big123")), 2 * 1024 * 1024));
    JournalReport report;
    startWriteJournal(d.native(QStringLiteral("App")), &report);
    stopWriteJournal();
    EXPECT_EQ(report.foreign, QStringList{d.native(QStringLiteral("App/.qmjournal-Qw12Er.ignored.3"))});
    EXPECT_EQ(report.oversized, QStringList{d.native(QStringLiteral("App/.qmjournal-Big123.ignored.2"))});
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Qw12Er.ignored")), "first");
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Qw12Er.ignored.2")), "second");
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Qw12Er.ignored.3")), "t 1 important.txt\n");
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Big123.ignored")), "earlier");
    EXPECT_EQ(hidden(d.native(QStringLiteral("App"))).size(), 5);
}

// Makes this process's file systems those that cannot rename without
// replacing (network shares, FAT under some drivers): renameat2 says EINVAL.
bool withoutNoReplaceRenames()
{
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_renameat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EINVAL),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    return testing_support::installSyscallFilter(code);
}

// There a journal is set aside by a second name and the first removed, still
// beside every earlier one; and a staged copy without links still moves the
// old file aside and puts the new one in.
TEST(LeftJournal, IsSetAsideAndACopyMadeWhereRenamesCannotRefuseToReplace)
{
    TempDrive d;
    d.file(QStringLiteral("App/.qmjournal-Qw12Er.ignored"), "first");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"), "t 1 important.txt\n");
    d.file(QStringLiteral("In/a.ini"), "new");
    d.file(QStringLiteral("Out/a.ini"), "old");
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!withoutNoReplaceRenames())
            ::_exit(77);
        JournalReport report;
        startWriteJournal(d.native(QStringLiteral("App")), &report);
        const bool named = report.foreign == QStringList{d.native(QStringLiteral("App/.qmjournal-Qw12Er.ignored.2"))};
        setLinkCall([](const char*, const char*) {
            errno = EPERM;
            return -1;
        });
        const int rc = copyFilesStaged({QStringLiteral("C:\\In\\a.ini")}, QStringLiteral("C:\\Out"));
        stopWriteJournal();
        ::_exit(!named ? 1 : rc != shellOk ? 2 : 0);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no system call filter here";
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the journal set aside was not reported; 2: the copy failed";
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Qw12Er.ignored")), "first");
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Qw12Er.ignored.2")), "t 1 important.txt\n");
    EXPECT_EQ(hidden(d.native(QStringLiteral("App"))),
              (QStringList{QStringLiteral(".qmjournal-Qw12Er.ignored"), QStringLiteral(".qmjournal-Qw12Er.ignored.2")}));
    EXPECT_EQ(d.bytes(QStringLiteral("Out/a.ini")), "new");
    EXPECT_EQ(hidden(d.native(QStringLiteral("Out"))), QStringList{QStringLiteral("a.ini")});
}

#if defined(__x86_64__)
// The name of a journal is given to another file at the moment the start
// checks whether the name still holds the file it looked at: the first
// look-up of a name by a folder descriptor is trapped, and the trap moves
// the journal away and puts a file of the user's at its name first.
volatile sig_atomic_t s_swaps = 0;

void swapThenLookUp(int, siginfo_t*, void* context)
{
    auto* regs = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
    const int dir = int(regs[REG_RDI]);
    const auto* name = reinterpret_cast<const char*>(regs[REG_RSI]);
    const bool first = s_swaps == 0;
    s_swaps = s_swaps + 1;
    if (first && ::renameat(dir, name, dir, "moved") == 0) {
        const int fd = ::openat(dir, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            (void)!::write(fd, "mine", 4);
            ::close(fd);
        }
    }
    const long rc = ::syscall(SYS_newfstatat, regs[REG_RDI], regs[REG_RSI], regs[REG_RDX], regs[REG_R10] | AT_NO_AUTOMOUNT);
    regs[REG_RAX] = rc < 0 ? -errno : rc;
}

bool withNameSwappedAtTheLookUp()
{
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_newfstatat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[3])),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AT_SYMLINK_NOFOLLOW, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    return testing_support::installSyscallFilter(code, swapThenLookUp);
}
#endif

// A journal another user may write is set aside, but not a file that took
// its name after it was looked at: that one keeps its name.
TEST(LeftJournal, AFileThatTookAForeignJournalsNameMeanwhileKeepsIt)
{
#if defined(__x86_64__)
    TempDrive d;
    leaveJournal(d, QStringLiteral("App/.qmjournal-Race12"), "t 1 important.txt\n");
    ASSERT_EQ(::chmod(d.nativeBytes("App/.qmjournal-Race12").constData(), 0620), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!withNameSwappedAtTheLookUp())
            ::_exit(77);
        JournalReport report;
        startWriteJournal(d.native(QStringLiteral("App")), &report);
        ::_exit(s_swaps == 0 ? 1 : report.notOwn.isEmpty() ? 0 : 2);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no system call filter here";
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the name was never looked up; 2: a journal was reported set aside";
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Race12")), "mine");
    EXPECT_EQ(d.bytes(QStringLiteral("App/moved")), "t 1 important.txt\n");
    EXPECT_EQ(hidden(d.native(QStringLiteral("App"))), (QStringList{QStringLiteral(".qmjournal-Race12"), QStringLiteral("moved")}));
#else
    GTEST_SKIP() << "the trap reads x86-64 registers";
#endif
}

// An interrupted call earlier in the run leaves EINTR in errno; reads that
// succeed never clear it, so the journal must still be read whole.
TEST(LeftJournal, IsReadWholeWhateverErrorAnEarlierCallLeft)
{
    TempDrive d;
    d.folder(QStringLiteral("App"));
    d.file(QStringLiteral("Home/.a.txt.qmtmp-Abc123"), "copy");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"), "t 1 " + d.nativeBytes("Home/.a.txt.qmtmp-Abc123") + "\n");
    errno = EINTR;
    JournalReport report;
    EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App")), &report), 1);
    stopWriteJournal();
    EXPECT_TRUE(hidden(d.native(QStringLiteral("Home"))).isEmpty()) << "the temporary it names was left";
    EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty());
    EXPECT_TRUE(report.foreign.isEmpty());
}

// ---- A commit that fails half-way -----------------------------------------------------

std::function<void(const char*)> s_onStep;

// The staged copy of three files into Out, where a rename fails after the
// first file went in: every target is as it was, nothing else is left.
TEST(StagedCopy, ARenameThatFailsAfterOthersPutsEveryTargetBack)
{
    const char* const files[3] = {"a.ini", "b.txt", "c.txt"};
    struct Row {
        const char* what;
        int existing;   // bit k: target k was there before
        bool noLinks;   // the file system keeps no second names (FAT)
    };
    const Row rows[] = {
        {"all there", 7, false}, {"all there, no links", 7, true},
        {"the first new", 6, false}, {"the first new, no links", 6, true},
    };
    for (const Row& r : rows) {
        TempDrive d;
        d.folder(QStringLiteral("App"));
        QStringList sources;
        for (int k = 0; k < 3; ++k) {
            d.file(QStringLiteral("In/") + QLatin1String(files[k]), "new");
            if (r.existing & (1 << k))
                d.file(QStringLiteral("Out/") + QLatin1String(files[k]), QByteArray("old ") + files[k]);
            sources << QStringLiteral("C:\\In\\") + QLatin1String(files[k]);
        }
        d.folder(QStringLiteral("Out"));
        startWriteJournal(d.native(QStringLiteral("App")));
        if (r.noLinks)
            setLinkCall([](const char*, const char*) {
                errno = EPERM;
                return -1;
            });
        // After the first rename, the second copy goes: its rename fails.
        int replaced = 0;
        s_onStep = [&](const char* step) {
            if (qstrcmp(step, "file replaced") != 0 || ++replaced != 1)
                return;
            for (const QString& name : hidden(d.native(QStringLiteral("Out"))))
                if (name.startsWith(QStringLiteral(".b.txt.qmtmp-")))
                    QFile::remove(d.native(QStringLiteral("Out/") + name));
        };
        journal::setStepHook([](const char* step) { s_onStep(step); });
        int err = 0;
        EXPECT_EQ(copyFilesStaged(sources, QStringLiteral("C:\\Out"), &err), shellNotFound) << r.what;
        journal::setStepHook(nullptr);
        setLinkCall(nullptr);
        EXPECT_EQ(replaced, 1) << r.what;
        EXPECT_EQ(err, ENOENT) << r.what;
        QStringList expected;
        for (int k = 0; k < 3; ++k) {
            const QString target = QStringLiteral("Out/") + QLatin1String(files[k]);
            EXPECT_EQ(d.bytes(target), r.existing & (1 << k) ? QByteArray("old ") + files[k] : "<missing>")
                << r.what << " " << files[k];
            if (r.existing & (1 << k))
                expected << QLatin1String(files[k]);
        }
        EXPECT_EQ(hidden(d.native(QStringLiteral("Out"))), expected) << r.what;
        EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty()) << r.what << ": the set is struck off";
        stopWriteJournal();
    }
}

// Undoing a set where there was no file before removes the copy that went
// in, never a file that took the name since, and keeps nothing open: also
// in a process started with its standard input closed, where the first
// file opened takes descriptor 0.
TEST(StagedCopy, UndoingANewTargetRemovesOnlyTheCopyAndKeepsNothingOpen)
{
    TempDrive d;
    d.file(QStringLiteral("Out/copy.txt"), "the copy");
    d.file(QStringLiteral("Out/other.txt"), "someone else's");
    const int probe = ::open(d.nativeBytes("Out/copy.txt").constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(probe, 0);
    const QByteArray copyId = journal::fileId(probe);
    ::close(probe);
    const std::vector<journal::StagedFile> set = {
        {d.nativeBytes("Out/.copy.txt.qmtmp-Gone12"), d.nativeBytes("Out/copy.txt"), {}, copyId},
        {d.nativeBytes("Out/.other.txt.qmtmp-Gone34"), d.nativeBytes("Out/other.txt"), {}, copyId},
    };
    const int input = ::fcntl(0, F_DUPFD_CLOEXEC, 3);
    ASSERT_GE(input, 0);
    ::close(0);
    journal::rollBack(set);
    const bool zeroLeftOpen = ::fcntl(0, F_GETFD) != -1;
    ::dup2(input, 0);
    ::close(input);
    EXPECT_FALSE(zeroLeftOpen);
    EXPECT_EQ(d.bytes(QStringLiteral("Out/copy.txt")), "<missing>");
    EXPECT_EQ(d.bytes(QStringLiteral("Out/other.txt")), "someone else's");
}

// Without hard links the old files are moved aside one by one before the
// commit. When a later one cannot be moved (here it vanished), the ones
// already moved must come back: the copy's clean-up would delete them.
TEST(StagedCopy, WithoutLinksAnOldFileThatCannotBeMovedAsidePutsTheEarlierOnesBack)
{
    const char* const files[3] = {"a.ini", "b.txt", "c.txt"};
    for (const int failing : {1, 2}) {
        TempDrive d;
        d.folder(QStringLiteral("App"));
        QStringList sources;
        for (int k = 0; k < 3; ++k) {
            d.file(QStringLiteral("In/") + QLatin1String(files[k]), "new");
            d.file(QStringLiteral("Out/") + QLatin1String(files[k]), QByteArray("old ") + files[k]);
            sources << QStringLiteral("C:\\In\\") + QLatin1String(files[k]);
        }
        startWriteJournal(d.native(QStringLiteral("App")));
        setLinkCall([](const char*, const char*) {
            errno = EPERM;
            return -1;
        });
        int moved = 0;
        s_onStep = [&](const char* step) {
            if (qstrcmp(step, "old file moved") == 0 && ++moved == failing)
                QFile::remove(d.native(QStringLiteral("Out/") + QLatin1String(files[failing])));
        };
        journal::setStepHook([](const char* step) { s_onStep(step); });
        int err = 0;
        EXPECT_EQ(copyFilesStaged(sources, QStringLiteral("C:\\Out"), &err), shellNotFound) << failing;
        journal::setStepHook(nullptr);
        setLinkCall(nullptr);
        EXPECT_EQ(err, ENOENT) << failing;
        QStringList expected;
        for (int k = 0; k < 3; ++k) {
            if (k == failing)
                continue;
            EXPECT_EQ(d.bytes(QStringLiteral("Out/") + QLatin1String(files[k])), QByteArray("old ") + files[k])
                << failing << " " << files[k];
            expected << QLatin1String(files[k]);
        }
        EXPECT_EQ(hidden(d.native(QStringLiteral("Out"))), expected) << failing;
        EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty()) << failing << ": the set is struck off";
        stopWriteJournal();
    }
}

// An old file that cannot be given its second name (the folder refuses
// the link for another reason than lacking them): nothing is replaced, and
// neither the copies nor the second names already made are left behind.
int s_links = 0;

TEST(StagedCopy, AnOldFileRefusedItsSecondNameLeavesEveryTargetAndNoCopy)
{
    const char* const files[3] = {"a.ini", "b.txt", "c.txt"};
    TempDrive d;
    d.folder(QStringLiteral("App"));
    QStringList sources, expected;
    for (const char* f : files) {
        d.file(QStringLiteral("In/") + QLatin1String(f), "new");
        d.file(QStringLiteral("Out/") + QLatin1String(f), QByteArray("old ") + f);
        sources << QStringLiteral("C:\\In\\") + QLatin1String(f);
        expected << QLatin1String(f);
    }
    startWriteJournal(d.native(QStringLiteral("App")));
    s_links = 0;
    setLinkCall([](const char* from, const char* to) {
        if (++s_links == 2) {
            errno = EIO;
            return -1;
        }
        return ::link(from, to);
    });
    int err = 0;
    EXPECT_EQ(copyFilesStaged(sources, QStringLiteral("C:\\Out"), &err), shellAccessDenied);
    setLinkCall(nullptr);
    EXPECT_EQ(err, EIO);
    EXPECT_EQ(s_links, 2);
    for (const char* f : files)
        EXPECT_EQ(d.bytes(QStringLiteral("Out/") + QLatin1String(f)), QByteArray("old ") + f) << f;
    EXPECT_EQ(hidden(d.native(QStringLiteral("Out"))), expected);
    EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty()) << "every entry is struck off";
    stopWriteJournal();
}

// Every name tried for an old file's second name is taken meanwhile by
// someone else: the copy fails, and none of their files is touched.
TEST(StagedCopy, SecondNamesAllTakenByOthersFailTheCopyAndLeaveTheirFiles)
{
    TempDrive d;
    d.folder(QStringLiteral("App"));
    d.file(QStringLiteral("In/a.ini"), "new");
    d.file(QStringLiteral("Out/a.ini"), "old");
    startWriteJournal(d.native(QStringLiteral("App")));
    setLinkCall([](const char*, const char* to) {
        const int fd = ::open(to, O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0)
            ::close(fd);
        errno = EEXIST;
        return -1;
    });
    int err = 0;
    EXPECT_EQ(copyFilesStaged({QStringLiteral("C:\\In\\a.ini")}, QStringLiteral("C:\\Out"), &err), shellAccessDenied);
    setLinkCall(nullptr);
    EXPECT_EQ(err, EEXIST);
    EXPECT_EQ(d.bytes(QStringLiteral("Out/a.ini")), "old");
    const QStringList left = hidden(d.native(QStringLiteral("Out")));
    EXPECT_EQ(left.size(), 101) << "a hundred names are tried, each left to whoever took it";
    EXPECT_EQ(left.filter(QStringLiteral(".qmtmp-")).size(), 0) << "the copy itself goes";
    EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty());
    stopWriteJournal();
}

// A commit a kill cut short is finished at the next start; when one of its
// copies can no longer be put in (a folder has taken the name), every file
// of the set goes back to the old one.
TEST(LeftJournal, ACommitThatCannotBeFinishedPutsEveryOldFileBack)
{
    TempDrive d;
    d.folder(QStringLiteral("App"));
    d.file(QStringLiteral("Out/a.ini"), "new a");   // replaced before the kill
    d.file(QStringLiteral("Out/.a.ini.qmold-Abc123"), "old a");
    d.file(QStringLiteral("Out/.b.txt.qmtmp-Def456"), "new b");
    d.file(QStringLiteral("Out/b.txt/inside.txt"), "in the way");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"),
                 "s 1 " + d.nativeBytes("Out/.a.ini.qmtmp-Abc123") + ' ' + d.nativeBytes("Out/a.ini") + ' '
                     + d.nativeBytes("Out/.a.ini.qmold-Abc123") + "\ns 1 " + d.nativeBytes("Out/.b.txt.qmtmp-Def456")
                     + ' ' + d.nativeBytes("Out/b.txt") + " -\ng 1\n");
    JournalReport report;
    EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App")), &report), 1);
    stopWriteJournal();
    EXPECT_EQ(d.bytes(QStringLiteral("Out/a.ini")), "old a");
    EXPECT_EQ(d.bytes(QStringLiteral("Out/b.txt/inside.txt")), "in the way");
    EXPECT_TRUE(report.foreign.isEmpty());
    EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty());
}

} // namespace

// How each line of a left journal is read: only whole lines of the
// program's own forms count and a struck-off ticket is done with; any other
// line is left alone and makes the journal one to set aside.
TEST(LeftJournal, EachLineIsReadByItsExactFormAndAnyOtherSetsTheJournalAside)
{
    struct Row { const char* what; QByteArray text; bool removed; bool aside; };
    TempDrive d;
    const QByteArray temp = d.nativeBytes("Home/.a b.txt.qmtmp-Abc123");
    const QByteArray encoded = temp.toPercentEncoding("/");
    const Row rows[] = {
        {"a temporary", "t 1 " + encoded + "\n", true, false},
        {"the same, unencoded", "t 7 " + temp.left(temp.indexOf(' ')) + "\n", false, true},
        {"cut short by the kill", "t 1 " + encoded, false, false},
        {"struck off", "t 1 " + encoded + "\nx 1\n", false, false},
        {"another ticket struck off", "t 1 " + encoded + "\nx 2\n", true, false},
        {"a longer op", "tt 1 " + encoded + "\n", false, true},
        {"a ticket that is no number", "t one " + encoded + "\n", false, true},
        {"a field too many", "t 1 " + encoded + " more\n", false, true},
        {"no temporary name", "t 1 " + d.nativeBytes("Home/kept.txt") + "\n", false, true},
        {"an unknown op", "t 1 " + encoded + "\nq 1\n", true, true},
        {"a strike with a field", "t 1 " + encoded + "\nx 1 more\n", true, true},
        {"an empty line", "t 1 " + encoded + "\n\n", true, true},
        {"empty", "", false, false},
    };
    for (const Row& row : rows) {
        d.file(QStringLiteral("Home/.a b.txt.qmtmp-Abc123"), "copy");
        d.file(QStringLiteral("Home/kept.txt"), "kept");
        QDir(d.native(QStringLiteral("App"))).removeRecursively();
        leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"), row.text);
        JournalReport report;
        EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App")), &report), 1) << row.what;
        stopWriteJournal();
        EXPECT_EQ(!QFile::exists(QFile::decodeName(temp)), row.removed) << row.what;
        EXPECT_EQ(d.bytes(QStringLiteral("Home/kept.txt")), "kept") << row.what;
        EXPECT_EQ(report.foreign, row.aside ? QStringList{d.native(QStringLiteral("App/.qmjournal-Qw12Er.ignored"))} : QStringList())
            << row.what;
        EXPECT_EQ(hidden(d.native(QStringLiteral("App"))),
                  row.aside ? QStringList{QStringLiteral(".qmjournal-Qw12Er.ignored")} : QStringList()) << row.what;
    }
}

// Only names of the journal's exact shape are journals; and with no report
// asked for, every journal that cannot be trusted is still set aside.
TEST(LeftJournal, OnlyItsOwnNamesAreJournalsAndNoReportIsNeeded)
{
    TempDrive d;
    d.file(QStringLiteral("Home/.a.txt.qmtmp-Abc123"), "copy");
    const QByteArray line = "t 1 " + d.nativeBytes("Home/.a.txt.qmtmp-Abc123") + "\n";
    leaveJournal(d, QStringLiteral("App/.qmjournal-Short"), line);
    leaveJournal(d, QStringLiteral("App/.qmjournal-Longer12"), line);
    leaveJournal(d, QStringLiteral("App/qmjournal-Abc123"), line);
    EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App"))), 0);
    stopWriteJournal();
    EXPECT_EQ(d.bytes(QStringLiteral("Home/.a.txt.qmtmp-Abc123")), "copy");
    EXPECT_EQ(hidden(d.native(QStringLiteral("App"))),
              (QStringList{QStringLiteral(".qmjournal-Longer12"), QStringLiteral(".qmjournal-Short"), QStringLiteral("qmjournal-Abc123")}));

    QDir(d.native(QStringLiteral("App"))).removeRecursively();
    leaveJournal(d, QStringLiteral("App/.qmjournal-Group1"), line);
    ASSERT_EQ(::chmod(d.nativeBytes("App/.qmjournal-Group1").constData(), 0620), 0);
    leaveJournal(d, QStringLiteral("App/.qmjournal-Named2"), "t 1 " + d.nativeBytes("Home/kept.txt") + "\n");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Large3"), "");
    ASSERT_TRUE(QFile::resize(d.native(QStringLiteral("App/.qmjournal-Large3")), kMaxJournalSize + 1));
    EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App"))), 1);
    stopWriteJournal();
    EXPECT_EQ(hidden(d.native(QStringLiteral("App"))),
              (QStringList{QStringLiteral(".qmjournal-Group1.ignored"), QStringLiteral(".qmjournal-Large3.ignored"),
                           QStringLiteral(".qmjournal-Named2.ignored")}));
    EXPECT_EQ(d.bytes(QStringLiteral("Home/.a.txt.qmtmp-Abc123")), "copy");

    // One of exactly the largest size is read and acted on.
    QDir(d.native(QStringLiteral("App"))).removeRecursively();
    QByteArray full = line;
    const qsizetype room = kMaxJournalSize - full.size();
    const qsizetype fives = room % 4;
    full += QByteArray("x 99\n").repeated(fives) + QByteArray("x 9\n").repeated((room - 5 * fives) / 4);
    ASSERT_EQ(full.size(), kMaxJournalSize);
    leaveJournal(d, QStringLiteral("App/.qmjournal-Full45"), full);
    EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App"))), 1);
    stopWriteJournal();
    EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty());
    EXPECT_EQ(d.bytes(QStringLiteral("Home/.a.txt.qmtmp-Abc123")), "<missing>");
}

// A journal a live run holds is that run's own: a start leaves it and what
// it names alone, and keeps nothing of it open; once the run is gone the
// next start settles it.
TEST(LeftJournal, OneALiveRunHoldsIsLeftAloneUntilTheRunEnds)
{
    TempDrive d;
    d.file(QStringLiteral("Home/.a.txt.qmtmp-Abc123"), "copy");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Live12"), "t 1 " + d.nativeBytes("Home/.a.txt.qmtmp-Abc123") + "\n");
    const int run = ::open(d.nativeBytes("App/.qmjournal-Live12").constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(run, 0);
    ASSERT_EQ(::flock(run, LOCK_EX | LOCK_NB), 0);
    const int before = openDescriptors();
    for (int start = 0; start < 3; ++start) {
        EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App"))), 0);
        stopWriteJournal();
    }
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(hidden(d.native(QStringLiteral("App"))), QStringList{QStringLiteral(".qmjournal-Live12")});
    EXPECT_EQ(d.bytes(QStringLiteral("Home/.a.txt.qmtmp-Abc123")), "copy");

    ::close(run);
    EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App"))), 1);
    stopWriteJournal();
    EXPECT_EQ(d.bytes(QStringLiteral("Home/.a.txt.qmtmp-Abc123")), "<missing>");
    EXPECT_TRUE(hidden(d.native(QStringLiteral("App"))).isEmpty());
}

// A thousand names are tried for a journal set aside: the thousandth is
// taken when it is the first free one; with all of them taken the journal
// keeps its own name, and is reported under it.
TEST(LeftJournal, AThousandNamesAreTriedForAJournalSetAside)
{
    TempDrive d;
    d.file(QStringLiteral("App/.qmjournal-Qw12Er.ignored"), "1");
    for (int n = 2; n < 1000; ++n)
        d.file(QStringLiteral("App/.qmjournal-Qw12Er.ignored.%1").arg(n), "n");
    leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"), "t 1 important.txt\n");
    JournalReport report;
    startWriteJournal(d.native(QStringLiteral("App")), &report);
    stopWriteJournal();
    EXPECT_EQ(report.foreign, QStringList{d.native(QStringLiteral("App/.qmjournal-Qw12Er.ignored.1000"))});
    EXPECT_TRUE(report.leftInPlace.isEmpty());
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Qw12Er.ignored.1000")), "t 1 important.txt\n");

    leaveJournal(d, QStringLiteral("App/.qmjournal-Qw12Er"), "t 2 important.txt\n");
    report = {};
    startWriteJournal(d.native(QStringLiteral("App")), &report);
    stopWriteJournal();
    EXPECT_EQ(report.foreign, QStringList{d.native(QStringLiteral("App/.qmjournal-Qw12Er"))});
    EXPECT_EQ(report.leftInPlace, (QHash<QString, int>{{d.native(QStringLiteral("App/.qmjournal-Qw12Er")), EEXIST}}));
    EXPECT_EQ(d.bytes(QStringLiteral("App/.qmjournal-Qw12Er")), "t 2 important.txt\n");
    EXPECT_FALSE(QFile::exists(d.native(QStringLiteral("App/.qmjournal-Qw12Er.ignored.1001"))));
}
