// The start and what earlier runs left in the application folder: write
// journals it cannot trust (told once, nothing they name touched, not even
// by a copy that is refused), and a folder on a disk that can only be read.
#include "mainwindow_fixture.h"
#include "platform/Application.h"
#include "platform/WriteJournal.h"

#include <QDir>

#include <cstdio>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
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

TEST_F(StartupJournalTest, AJournalNamingFilesTheProgramDidNotMakeIsToldOnceAndTouchesNothing)
{
    desk.expectMsgBox(QStringLiteral("Tarnwick"),
                      QStringLiteral("The write journal 'C:\\.qmjournal-Qw12Er.ignored' names files that this program did "
                                     "not make. They were left alone, and the journal was set aside under that name."),
                      ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_TRUE(main.isShown());
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
    EXPECT_TRUE(appFiles().contains(QStringLiteral(".qmjournal-Qw12Er.ignored")));
    EXPECT_FALSE(appFiles().contains(QStringLiteral(".qmjournal-Qw12Er")));
    // The next start has nothing to say.
    platform::JournalReport again;
    platform::startWriteJournal(drive.native(), &again);
    EXPECT_TRUE(again.foreign.isEmpty() && again.oversized.isEmpty());
    platform::stopWriteJournal();
}

TEST_F(StartupJournalTest, AJournalLargerThanAnyRealOneIsSetAsideAndToldInGreek)
{
    writeIni(QStringLiteral("[General]\r\nLanguage=True\r\n"));
    ASSERT_TRUE(QFile::resize(drive.native(QStringLiteral(".qmjournal-Qw12Er")), 4 * 1024 * 1024));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick"), QStringLiteral("Το ημερολόγιο εγγραφών «C:\\.qmjournal-Qw12Er.ignored» είναι "
                                                          "μεγαλύτερο από όσα γράφει η εφαρμογή."),
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
        QStringLiteral("3000 write journals name files that this program did not make: 'C:\\.qmjournal-000000.ignored', "
                       "'C:\\.qmjournal-000001.ignored', 'C:\\.qmjournal-000002.ignored', 'C:\\.qmjournal-000003.ignored', "
                       "'C:\\.qmjournal-000004.ignored' and 2995 more. They were left alone, and the journals were set aside "
                       "under those names.\r\n\r\n"
                       "2 write journals are larger than any this program writes: 'C:\\.qmjournal-Big001.ignored' and "
                       "'C:\\.qmjournal-Big002.ignored'. They were not read, nothing they name was changed, and they were set "
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
        QStringLiteral("6 ημερολόγια εγγραφών κατονομάζουν αρχεία τα οποία δεν δημιούργησε η εφαρμογή: "
                       "«C:\\.qmjournal-000000.ignored», «C:\\.qmjournal-000001.ignored», «C:\\.qmjournal-000002.ignored», "
                       "«C:\\.qmjournal-000003.ignored», «C:\\.qmjournal-000004.ignored» και 1 ακόμη. Τα αρχεία αυτά δεν "
                       "άλλαξαν, και τα ημερολόγια τέθηκαν στην άκρη με αυτά τα ονόματα.\r\n\r\n"
                       "3 ημερολόγια εγγραφών είναι μεγαλύτερα από όσα γράφει η εφαρμογή: «C:\\.qmjournal-Big001.ignored», "
                       "«C:\\.qmjournal-Big002.ignored» και «C:\\.qmjournal-Big003.ignored». Δεν διαβάστηκαν, τίποτε από όσα "
                       "κατονομάζουν δεν άλλαξε, και τέθηκαν στην άκρη με αυτά τα ονόματα."),
        ui::vbExclamationOK, ui::vbOK);
    main.load();
    EXPECT_EQ(drive.bytes(QStringLiteral("Data/important.txt")), "precious");
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

} // namespace
