#include "platform/AtomicFile.h"
#include "platform/Shell.h"
#include "platform/StagedCopy.h"
#include "platform/WriteJournal.h"
#include "support/TempDrive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

using namespace platform;

namespace {

QStringList entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

QStringList names(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
}

TEST(AtomicFile, ReplacesKeepsModeAndLeavesNoTemporaryAndADiscardedOrFailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_EQ(writeFileAtomically(target, "old"), 0);
    ::chmod(QFile::encodeName(target).constData(), 0640);
    ASSERT_EQ(writeFileAtomically(target, "new"), 0);
    EXPECT_EQ(testing_support::fileBytes(target), "new");
    struct stat st {};
    ::stat(QFile::encodeName(target).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("a.txt")});

    // A write discarded or failed leaves the old file whole.
    {
        AtomicFile f;
        ASSERT_EQ(f.open(target), 0);
        f.write("half");
    } // never committed
    EXPECT_EQ(testing_support::fileBytes(target), "new");
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("a.txt")});

    // A folder of that name cannot be replaced by a file.
    const QString folder = dir.filePath(QStringLiteral("sub"));
    QDir().mkdir(folder);
    EXPECT_NE(writeFileAtomically(folder, "x"), 0);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(writeFileAtomically(dir.filePath(QStringLiteral("missing/a.txt")), "x"), 76);
}

TEST(AtomicFile, AnyNameTheFileSystemTakesCanBeATarget)
{
    QTemporaryDir dir;
    const QString greek = QString::fromUtf8("Σύγκριση");   // 16 bytes in 8 characters
    for (const QString& name : {QString(255, u'n'), QString(245, u'n'), greek.repeated(15) + QStringLiteral("ab.txt"),
                                greek.repeated(16).left(127)}) {
        const QString target = dir.filePath(name);
        ASSERT_EQ(writeFileAtomically(target, "old"), 0) << name.size();
        ASSERT_EQ(writeFileAtomically(target, "new"), 0) << name.size();
        EXPECT_EQ(testing_support::fileBytes(target), "new");
        EXPECT_EQ(entries(dir), QStringList{name});
        QFile::remove(target);
    }
    // Longer than the file system takes: refused as a bad name, nothing made.
    EXPECT_EQ(writeFileAtomically(dir.filePath(QString(256, u'n')), "x"), 52);
    EXPECT_TRUE(entries(dir).isEmpty());
}

// A FAT stick says its names may be 1,530 bytes long (255 characters of up
// to six bytes), yet takes 255 bytes: the temporary names must fit that.
TEST(AtomicFile, ATemporaryNameNeverExceeds255BytesWhateverTheFolderReports)
{
    testing_support::TempDrive d;
    d.folder(QStringLiteral("Out"));
    d.file(QStringLiteral("In/") + QString(250, u'n'), "new");
    d.file(QStringLiteral("Out/") + QString(250, u'n'), "old");
    setNameLimitProbe([](const char*) { return 1530L; });
    const QString target = d.native(QStringLiteral("Out/") + QString(249, u'm'));
    const int written = writeFileAtomically(target, "x");
    int err = 0;
    const int copied = copyFilesStaged({QStringLiteral("C:\\In\\") + QString(250, u'n')}, QStringLiteral("C:\\Out"), &err);
    setNameLimitProbe(nullptr);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(testing_support::fileBytes(target), "x");
    EXPECT_EQ(copied, shellOk) << err;
    EXPECT_EQ(d.bytes(QStringLiteral("Out/") + QString(250, u'n')), "new");
    EXPECT_EQ(names(d.native(QStringLiteral("Out"))).size(), 2) << "no temporary left";
}

// A long name keeps as much of itself as fits, and only whole characters.
TEST(AtomicFile, ATemporaryNameKeepsAsMuchOfALongNameAsFits)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    // 255 bytes less the dot, the tag and the six random characters.
    const qsizetype room = 255 - 1 - qsizetype(qstrlen(kTemporaryTag)) - 6;
    EXPECT_EQ(temporaryNamePrefix(folder + QByteArray(250, 'n'), kTemporaryTag),
              folder + '.' + QByteArray(room, 'n') + kTemporaryTag);
    const QByteArray greek = QString::fromUtf8("Σύγκριση").repeated(16).toUtf8();   // two bytes a character
    EXPECT_EQ(temporaryNamePrefix(folder + greek, kBackupTag),
              folder + '.' + greek.left(room / 2 * 2) + kBackupTag);
}

TEST(StagedCopy, ALinkedTargetIsWrittenThroughAndAReadOnlyDiskGivesItsOwnCause)
{
    testing_support::TempDrive d;
    d.file(QStringLiteral("In/a.ini"), "new");
    d.file(QStringLiteral("Store/a.ini"), "old");
    d.folder(QStringLiteral("App"));
    ASSERT_TRUE(QFile::link(d.native(QStringLiteral("Store/a.ini")), d.native(QStringLiteral("App/a.ini"))));
    EXPECT_EQ(copyFilesStaged({QStringLiteral("C:\\In\\a.ini")}, QStringLiteral("C:\\App")), shellOk);
    EXPECT_TRUE(QFileInfo(d.native(QStringLiteral("App/a.ini"))).isSymLink());
    EXPECT_EQ(d.bytes(QStringLiteral("Store/a.ini")), "new");

    // A copy onto a read-only disk gives its own cause.
    d.folder(QStringLiteral("Out"));
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A read-only disk that only this process sees.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", d.nativeBytes(QStringLiteral("Out")).constData(), "tmpfs", MS_RDONLY, nullptr) != 0)
            ::_exit(77);
        int err = 0;
        const int rc = copyFilesStaged({QStringLiteral("C:\\In\\a.ini")}, QStringLiteral("C:\\Out"), &err);
        ::_exit(rc == shellAccessDenied && err == EROFS ? 0 : 1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}

// ---- Writes a kill interrupts ----------------------------------------------------------

const char* s_killAt = nullptr;

// Runs `write` in a child process that keeps its journal in `folder` and
// dies at the step `killAt` as a killed run would: no destructor, no clean-up.
void killedAt(const QString& folder, const char* killAt, const std::function<void()>& write)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        s_killAt = killAt;
        journal::setStepHook([](const char* step) {
            if (qstrcmp(step, s_killAt) == 0)
                ::_exit(0);
        });
        startWriteJournal(folder);
        write();
        ::_exit(1);   // the step never came
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << killAt;
}

TEST(WriteJournal, AKilledWriteOrImportIsAllOldOrAllNewWithNoTemporaryAfterTheNextStart)
{
    const char* const files[3] = {"Quillmarsh.ini", "PrimarySavedPaths.txt", "SecondarySavedPaths.txt"};
    // One file written outside the journal's folder, or an import of all three into it.
    const struct { const char* step; bool import; const char* expected; } rows[] = {
        {"file complete", false, "old"}, {"file renamed", false, "new"},  {"copies complete", true, "old"},
        {"commit begun", true, "new"},   {"file replaced", true, "new"}, {"files replaced", true, "new"},
    };
    for (const auto& r : rows) {
        testing_support::TempDrive d;
        QStringList sources, expectedNames;
        for (const char* f : files) {
            d.file(QStringLiteral("App/") + QLatin1String(f), "old");
            d.file(QStringLiteral("In/") + QLatin1String(f), "new");
            sources << QStringLiteral("C:\\In\\") + QLatin1String(f);
            expectedNames << QLatin1String(f);
        }
        expectedNames.sort();
        d.file(QStringLiteral("Out/structure.txt"), "old");
        killedAt(d.native(QStringLiteral("App")), r.step, [&] {
            if (r.import)
                copyFilesStaged(sources, QStringLiteral("C:\\App"));
            else
                writeFileAtomically(d.native(QStringLiteral("Out/structure.txt")), "new");
        });
        EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App"))), 1) << r.step;
        EXPECT_EQ(names(d.native(QStringLiteral("Out"))), QStringList{QStringLiteral("structure.txt")}) << r.step;
        EXPECT_EQ(d.bytes(QStringLiteral("Out/structure.txt")), r.import ? "old" : r.expected) << r.step;
        for (const char* f : files)
            EXPECT_EQ(d.bytes(QStringLiteral("App/") + QLatin1String(f)), r.import ? r.expected : "old") << r.step << " " << f;
        EXPECT_EQ(names(d.native(QStringLiteral("App"))), expectedNames) << r.step;
        stopWriteJournal();
    }
}

// The same on a file system that makes no hard links (FAT, exFAT): the old
// files are renamed to their second names instead, and a kill at any step
// still leaves all old or all new; a target that was not there before stays
// away when the kill came before the commit.
TEST(WriteJournal, AKilledImportWithoutHardLinksIsAllOldOrAllNewAfterTheNextStart)
{
    const char* const files[3] = {"Quillmarsh.ini", "PrimarySavedPaths.txt", "SecondarySavedPaths.txt"};
    const struct { const char* step; const char* expected; } rows[] = {
        {"old file moved", "old"}, {"copies complete", "old"}, {"commit begun", "new"},
        {"file replaced", "new"},  {"files replaced", "new"},
    };
    for (const int existing : {7, 3}) {
        for (const auto& r : rows) {
            testing_support::TempDrive d;
            QStringList sources;
            for (int k = 0; k < 3; ++k) {
                if (existing & (1 << k))
                    d.file(QStringLiteral("App/") + QLatin1String(files[k]), "old");
                d.file(QStringLiteral("In/") + QLatin1String(files[k]), "new");
                sources << QStringLiteral("C:\\In\\") + QLatin1String(files[k]);
            }
            killedAt(d.native(QStringLiteral("App")), r.step, [&] {
                setLinkCall([](const char*, const char*) {
                    errno = EPERM;
                    return -1;
                });
                copyFilesStaged(sources, QStringLiteral("C:\\App"));
            });
            EXPECT_EQ(startWriteJournal(d.native(QStringLiteral("App"))), 1) << r.step;
            QStringList expectedNames;
            for (int k = 0; k < 3; ++k) {
                const bool was = existing & (1 << k);
                const QByteArray bytes = qstrcmp(r.expected, "new") == 0 ? "new" : was ? "old" : "<missing>";
                EXPECT_EQ(d.bytes(QStringLiteral("App/") + QLatin1String(files[k])), bytes) << r.step << " " << files[k];
                if (bytes != "<missing>")
                    expectedNames << QLatin1String(files[k]);
            }
            expectedNames.sort();
            EXPECT_EQ(names(d.native(QStringLiteral("App"))), expectedNames) << r.step << " " << existing;
            stopWriteJournal();
        }
    }
}

// A commit that fails half-way is undone; a kill during the undo leaves the
// next start to finish it: every target is old again, whatever went in.
QString s_undoFolder;

TEST(WriteJournal, AKillWhileAFailedCommitIsUndoneLeavesAllOldAfterTheNextStart)
{
    const char* const files[3] = {"Quillmarsh.ini", "PrimarySavedPaths.txt", "SecondarySavedPaths.txt"};
    testing_support::TempDrive d;
    QStringList sources, expectedNames;
    for (const char* f : files) {
        d.file(QStringLiteral("App/") + QLatin1String(f), "old");
        d.file(QStringLiteral("In/") + QLatin1String(f), "new");
        sources << QStringLiteral("C:\\In\\") + QLatin1String(f);
        expectedNames << QLatin1String(f);
    }
    expectedNames.sort();
    s_undoFolder = d.native(QStringLiteral("App"));
    const pid_t pid = ::fork();
    if (pid == 0) {
        journal::setStepHook([](const char* step) {
            if (qstrcmp(step, "rollback begun") == 0)
                ::_exit(0);
            // Once the first file is in, the second copy goes: its rename fails.
            if (qstrcmp(step, "file replaced") == 0)
                for (const QString& name : QDir(s_undoFolder).entryList(QDir::Files | QDir::Hidden))
                    if (name.startsWith(QStringLiteral(".PrimarySavedPaths.txt.qmtmp-")))
                        QFile::remove(s_undoFolder + QLatin1Char('/') + name);
        });
        startWriteJournal(s_undoFolder);
        copyFilesStaged(sources, QStringLiteral("C:\\App"));
        ::_exit(1);   // the undo never began
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(startWriteJournal(s_undoFolder), 1);
    for (const char* f : files)
        EXPECT_EQ(d.bytes(QStringLiteral("App/") + QLatin1String(f)), "old") << f;
    EXPECT_EQ(names(s_undoFolder), expectedNames);
    stopWriteJournal();
}

TEST(WriteJournal, TheJournalOfARunningCopyIsLeftAlone)
{
    testing_support::TempDrive d;
    d.folder(QStringLiteral("App"));
    startWriteJournal(d.native(QStringLiteral("App")));
    AtomicFile f;
    ASSERT_EQ(f.open(d.native(QStringLiteral("structure.txt"))), 0);
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(startWriteJournal(d.native(QStringLiteral("App"))));
    int status = -1;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "nothing settled";
    EXPECT_TRUE(QFile::exists(QString::fromUtf8(f.temporaryName())));
    EXPECT_EQ(f.commit(), 0);
    EXPECT_TRUE(names(d.native(QStringLiteral("App"))).isEmpty()) << "no journal while nothing is in flight";
    stopWriteJournal();
}

} // namespace

namespace {

// A file size limit for one scope: a write past it fails (EFBIG) instead of
// stopping the process.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit now = old;
        now.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &now);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    struct rlimit old {};
    void (*oldHandler)(int) = nullptr;
};

} // namespace

// A write that fails is reported by every later write and by the commit,
// which keeps the old file and leaves no temporary; a file never opened (or
// whose opening failed) takes no write and no commit.
TEST(AtomicFile, AFailedWriteIsReportedToTheEndAndTheOldFileStays)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_EQ(writeFileAtomically(target, "old"), 0);
    {
        AtomicFile f;
        ASSERT_EQ(f.open(target), 0);
        FileSizeLimit limit(4);
        // A file-size limit is a full disk for this file.
        EXPECT_EQ(f.write("0123456789"), 61);
        EXPECT_EQ(f.write("x"), 61);
        EXPECT_EQ(f.commit(), 61);
        EXPECT_EQ(f.write("x"), 61);
        EXPECT_EQ(f.commit(), 61);
    }
    EXPECT_EQ(testing_support::fileBytes(target), "old");
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("a.txt")});

    // A file discarded, opened anew or let go holds nothing open after.
    const auto openCount = [] {
        return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
    };
    const qsizetype before = openCount();
    {
        AtomicFile f;
        ASSERT_EQ(f.open(target), 0);
        ASSERT_EQ(f.open(target), 0);
        f.discard();
        ASSERT_EQ(f.open(target), 0);
        EXPECT_EQ(openCount(), before + 1);
    }
    EXPECT_EQ(openCount(), before);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("a.txt")});

    AtomicFile never;
    EXPECT_EQ(never.write("x"), 52);
    EXPECT_EQ(never.commit(), 52);
    AtomicFile refused;
    EXPECT_EQ(refused.open(dir.filePath(QStringLiteral("missing/a.txt"))), 76);
    EXPECT_EQ(refused.write("x"), 52);
    EXPECT_EQ(refused.commit(), 52);
    // Once committed, the file takes nothing more.
    AtomicFile done;
    ASSERT_EQ(done.open(target), 0);
    EXPECT_EQ(done.write(QByteArray("new")), 0);
    EXPECT_EQ(done.commit(0600), 0);
    EXPECT_EQ(done.write("more"), 52);
    EXPECT_EQ(testing_support::fileBytes(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // A new file gets the mode the process's mask leaves of 0666.
    const mode_t mask = ::umask(027);
    ASSERT_EQ(writeFileAtomically(dir.filePath(QStringLiteral("b.txt")), "b"), 0);
    ::umask(mask);
    ASSERT_EQ(::stat(QFile::encodeName(dir.filePath(QStringLiteral("b.txt"))).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
}

// Only a name this program makes is taken for one of its temporary files.
TEST(AtomicFile, ATemporaryNameIsKnownByItsDotItsTagAndSixLettersOrDigits)
{
    const struct { QByteArray path; bool temporary; } rows[] = {
        {"/d/.a.txt.qmtmp-Ab3xY9", true},
        {"/d/.a.txt.qmold-000000", true},
        {"/.a.qmtmp-zzzzzz", true},
        {"d/.a.txt.qmtmp-Ab3xY9", false},       // not absolute
        {"/d/a.txt.qmtmp-Ab3xY9", false},       // no leading dot
        {"/d/.a.txt.qmtmp-Ab3x-9", false},      // not six letters or digits
        {"/d/.a.txt.qmtmp-Ab3xY", false},       // five
        {"/d/.a.txt.qmtmp-Ab3xY9z", false},     // seven
        {"/d/.a.txt.qmtxx-Ab3xY9", false},      // no tag
        {"/.ab", false},
        {"/.", false},
        {QByteArray("/d/.a\0.qmtmp-Ab3xY9", 19), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(isTemporaryName(row.path), row.temporary) << row.path.constData();

    const QByteArray temp = temporaryNamePrefix("/d/a.txt", kTemporaryTag) + "Ab3xY9";
    const QByteArray old = temporaryNamePrefix("/d/a.txt", kBackupTag) + "Ab3xY9";
    EXPECT_EQ(temp, "/d/.a.txt.qmtmp-Ab3xY9");
    EXPECT_TRUE(isTemporaryNameOf(temp, "/d/a.txt", kTemporaryTag));
    EXPECT_TRUE(isTemporaryNameOf(old, "/d/a.txt", kBackupTag));
    EXPECT_FALSE(isTemporaryNameOf(old, "/d/a.txt", kTemporaryTag));
    EXPECT_FALSE(isTemporaryNameOf(temp, "/d/b.txt", kTemporaryTag));
    EXPECT_FALSE(isTemporaryNameOf(temp, "/e/a.txt", kTemporaryTag));
    EXPECT_FALSE(isTemporaryNameOf(".a.txt.qmtmp-Ab3xY9", "a.txt", kTemporaryTag));
    EXPECT_FALSE(isTemporaryNameOf(temp, "/d/a.txt/", kTemporaryTag));
    EXPECT_EQ(temporaryNamePrefix("a.txt", kTemporaryTag), ".a.txt.qmtmp-");
    EXPECT_EQ(temporaryNamePrefix("/a.txt", kTemporaryTag), "/.a.txt.qmtmp-");
}

// The name limit asked is the one of the folder the name lives in.
TEST(AtomicFile, TheNameLimitIsAskedOfTheTargetsOwnFolder)
{
    static QList<QByteArray> asked;
    asked.clear();
    setNameLimitProbe([](const char* folder) {
        asked << QByteArray(folder);
        return QByteArrayView(folder) == "/" ? 20L : 255L;
    });
    const QByteArray inRoot = temporaryNamePrefix("/" + QByteArray(30, 'r'), kTemporaryTag);
    const QByteArray inSub = temporaryNamePrefix("s/" + QByteArray(30, 's'), kTemporaryTag);
    const QByteArray here = temporaryNamePrefix(QByteArray(30, 'h'), kTemporaryTag);
    setNameLimitProbe(nullptr);
    EXPECT_EQ(asked, (QList<QByteArray>{"/", "s", "."}));
    // 20 bytes less the dot, the tag and the six random characters.
    EXPECT_EQ(inRoot, "/." + QByteArray(20 - 1 - 7 - 6, 'r') + kTemporaryTag);
    EXPECT_EQ(inSub, "s/." + QByteArray(30, 's') + kTemporaryTag);
    EXPECT_EQ(here, "." + QByteArray(30, 'h') + kTemporaryTag);
}
