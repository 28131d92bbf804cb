#include "support/TempDrive.h"

#include "platform/AppError.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/StagedCopy.h"
#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <dirent.h>
#include <fcntl.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <utility>

#include <gtest/gtest.h>

using namespace platform;
using testing_support::TempDrive;

namespace {

class ShellTest : public ::testing::Test {
protected:
    TempDrive d;
    SystemShell sh;
};

} // namespace

TEST_F(ShellTest, CopyMakesTheFolderKeepsTimesAndTheSameFileGuardTouchesNothing)
{
    d.file("src/a.ini", "new");
    d.file("src/b.txt", "bee");
    d.file("out/deep/a.ini", "old");
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, d.nativeBytes("src/a.ini"), times, 0), 0);

    EXPECT_EQ(sh.copyFiles({"C:\\src\\a.ini", "C:\\src\\b.txt"}, "C:\\out\\deep"), shellOk);
    EXPECT_EQ(testing_support::fileBytes(d.native("out/deep/a.ini")), "new");
    EXPECT_EQ(testing_support::fileBytes(d.native("out/deep/b.txt")), "bee");
    FileFacts f;
    ASSERT_EQ(fileFacts("C:\\out\\deep\\a.ini", f), errNone);
    EXPECT_EQ(f.mtime, 1000000000);

    EXPECT_EQ(sh.copyFiles({"C:\\src\\b.txt"}, "C:\\new\\made\\here"), shellOk);
    EXPECT_EQ(testing_support::fileBytes(d.native("new/made/here/b.txt")), "bee");
    EXPECT_EQ(sh.copyFiles({"C:\\src\\none.txt"}, "C:\\out"), shellNotFound);

    // The same-file guard touches nothing: through another name of the same
    // folder, the copy would truncate its own source.
    d.file("dir/a.ini", "precious");
    ASSERT_EQ(::symlink("dir", d.nativeBytes("alias")), 0);
    EXPECT_EQ(sh.copyFiles({"C:\\dir\\a.ini"}, "C:\\alias"), shellSameFile);
    EXPECT_EQ(sh.moveFile("C:\\dir\\a.ini", "C:\\alias\\a.ini"), shellSameFile);
    EXPECT_EQ(testing_support::fileBytes(d.native("dir/a.ini")), "precious");
    EXPECT_EQ(sh.copyFiles({"C:\\dir"}, "C:\\dir\\inside"), shellSameFile);

    // A move replaces its target; a copy into a file fails.
    d.file("Quillmarsh.ini", "current");
    d.file("Quillmarsh.bak", "older");
    EXPECT_EQ(sh.moveFile("C:\\Quillmarsh.ini", "C:\\Quillmarsh.bak"), shellOk);
    EXPECT_FALSE(QFileInfo::exists(d.native("Quillmarsh.ini")));
    EXPECT_EQ(testing_support::fileBytes(d.native("Quillmarsh.bak")), "current");
    EXPECT_EQ(sh.moveFile("C:\\Quillmarsh.ini", "C:\\x.bak"), shellNotFound);
    d.file("src/a.txt", "a");
    d.file("blocked", "a file where a folder is expected");
    EXPECT_NE(sh.copyFiles({"C:\\src\\a.txt"}, "C:\\blocked"), shellOk);
    EXPECT_EQ(testing_support::fileBytes(d.native("blocked")), "a file where a folder is expected");
}

// Names on Linux are bytes: one that is not UTF-8 ("caf" + Latin-1 é) is
// copied, moved, deleted and opened under exactly its own bytes.
TEST_F(ShellTest, NamesThatAreNotUtf8KeepTheirBytes)
{
    const QByteArray root = d.nativeBytes(), bad = "caf\xe9";
    const QString name = QStringLiteral("caf") + QChar(0xF0E9), src = QStringLiteral("C:\\src\\") + name;
    const auto put = [](const QByteArray& path, const char* text) {
        std::FILE* f = std::fopen(path.constData(), "w");
        ASSERT_TRUE(f && std::fputs(text, f) >= 0 && std::fclose(f) == 0) << path.constData();
    };
    const auto content = [](const QByteArray& path) {
        // The whole file: the opener's log holds the temporary folder's
        // path, which is as long as TMPDIR makes it.
        std::FILE* f = std::fopen(path.constData(), "r");
        if (!f)
            return QByteArray("<missing>");
        QByteArray all;
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            all.append(buf, qsizetype(n));
        return std::fclose(f) == 0 ? all : QByteArray("<missing>");
    };
    d.folder("src");
    ASSERT_EQ(::mkdir(root + "/src/" + bad, 0755), 0);
    put(root + "/src/" + bad + ".txt", "file");
    put(root + "/src/" + bad + "/" + bad, "inner");

    EXPECT_EQ(sh.copyFiles({src + ".txt", src}, "C:\\out\\" + name), shellOk);
    EXPECT_EQ(content(root + "/out/" + bad + "/" + bad + ".txt"), "file");
    EXPECT_EQ(content(root + "/out/" + bad + "/" + bad + "/" + bad), "inner");
    EXPECT_EQ(copyFilesStaged({src + ".txt"}, "C:\\staged\\" + name), shellOk);
    EXPECT_EQ(content(root + "/staged/" + bad + "/" + bad + ".txt"), "file");
    EXPECT_EQ(copyFilesStaged({src + ".txt"}, "C:\\src"), shellSameFile);
    EXPECT_EQ(sh.moveFile(src + ".txt", "C:\\moved\\" + name), shellOk);
    EXPECT_EQ(content(root + "/src/" + bad + ".txt"), "<missing>");
    EXPECT_EQ(content(root + "/moved/" + bad), "file");
    EXPECT_EQ(sh.deleteItems({"C:\\out\\" + name, "C:\\moved\\" + name}, false), shellOk);
    EXPECT_EQ(content(root + "/out/" + bad + "/" + bad + ".txt") + content(root + "/moved/" + bad), "<missing><missing>");
    const testing_support::EnvGuard data("XDG_DATA_HOME", root + "/data");
    EXPECT_EQ(sh.deleteItems({src}, true), shellOk);
    EXPECT_EQ(content(root + "/data/Trash/files/" + bad + "/" + bad), "inner");
    // The opener is given an address that carries every byte.
    const QByteArray log = root + "/args.log";
    testing_support::writeScript(d.native("xdg-open"), "printf '%s\\n' \"$@\" >> '" + log + "'\n");
    const testing_support::EnvGuard path("PATH", root + ":/usr/bin:/bin");
    testing_support::ensureCoreApplication();
    put(root + "/" + bad, "open me");
    EXPECT_EQ(sh.openWithAssociatedProgram("C:\\" + name), openDone);
    EXPECT_EQ(content(log), "file://" + root.toPercentEncoding("/") + "/caf%E9\n");
}

TEST_F(ShellTest, TrashRoundTripWithInfoRecordAndAFailureLeavesTheItemInPlace)
{
    const testing_support::EnvGuard data("XDG_DATA_HOME", QFile::encodeName(d.native("data")));
    d.file("docs/my file.txt", "keep me");
    d.file("other/my file.txt", "second");
    EXPECT_EQ(sh.deleteItems({"C:\\docs\\my file.txt"}, true), shellOk);
    EXPECT_EQ(sh.deleteItems({"C:\\other\\my file.txt"}, true), shellOk);
    EXPECT_FALSE(QFileInfo::exists(d.native("docs/my file.txt")));

    const QString trash = homeTrashFolder();
    EXPECT_EQ(trash, d.native("data/Trash"));
    EXPECT_EQ(testing_support::fileBytes(trash + "/files/my file.txt"), "keep me");
    const QByteArray info = testing_support::fileBytes(trash + "/info/my file.txt.trashinfo");
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath="));
    EXPECT_TRUE(info.contains("Path=" + QFile::encodeName(d.native("docs/my%20file.txt")) + "\n"));
    EXPECT_TRUE(info.contains("\nDeletionDate=20"));
    // The second item of the same name gets a name of its own.
    EXPECT_EQ(testing_support::fileBytes(trash + "/files/my file.2.txt"), "second");

    // A failure leaves the item in place. The item's folder cannot be changed by the user, so no trash can take
    // the item; run as nobody so that this holds for root too.
    d.file("docs/a.txt", "keep me");
    ASSERT_EQ(::chmod(d.nativeBytes("docs"), 0555), 0);
    ASSERT_EQ(::chmod(d.dir.path().toLocal8Bit(), 0777), 0);
    EXPECT_EQ(testing_support::runUnprivileged([&] { return moveToTrash(d.native("docs/a.txt")); }), errPermissionDenied);
    EXPECT_EQ(testing_support::fileBytes(d.native("docs/a.txt")), "keep me");
    // No record of an item that never arrived.
    EXPECT_EQ(QDir(d.native("data/Trash/info")).entryList(QDir::Files).size(), 2);   // the two above
    ::chmod(d.nativeBytes("docs"), 0755);
}

TEST_F(ShellTest, OpenTakesOnlyWebAddressesAndExistingFiles)
{
    sh.openerWaitMs = 5000;
    QTemporaryDir bin;
    const QString log = bin.path() + "/args.log";
    testing_support::writeScript(bin.path() + "/xdg-open", "printf '%s\\n' \"$@\" >> '" + QFile::encodeName(log) + "'\nexit ${FAKE_RC:-0}\n");
    const testing_support::EnvGuard path("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
    testing_support::ensureCoreApplication();
    d.file("doc.txt");

    EXPECT_EQ(sh.openWithAssociatedProgram("https://example.org/download?a=1&b=2"), openDone);
    EXPECT_EQ(sh.openWithAssociatedProgram("C:\\doc.txt"), openDone);
    EXPECT_EQ(sh.openWithAssociatedProgram("javascript:alert(1)"), openNoAssociation);
    EXPECT_EQ(sh.openWithAssociatedProgram("file:///etc/passwd"), openNoAssociation);
    EXPECT_EQ(sh.openWithAssociatedProgram("C:\\missing.txt"), openFileNotFound);
    EXPECT_EQ(sh.openWithAssociatedProgram("C:\\nofolder\\missing.txt"), openPathNotFound);
    EXPECT_EQ(testing_support::fileBytes(log), "https://example.org/download?a=1&b=2\n" + QFile::encodeName(d.native("doc.txt")) + "\n");
    for (const auto& [rc, result] : {std::pair{"3", openNoAssociation}, std::pair{"4", openBadAssociation}}) {
        const testing_support::EnvGuard fakeRc("FAKE_RC", rc);
        EXPECT_EQ(sh.openWithAssociatedProgram("http://example.org"), result);
    }
    const testing_support::EnvGuard empty("PATH", QFile::encodeName(bin.path()) + "/none");
    EXPECT_EQ(sh.openWithAssociatedProgram("http://example.org"), openNoAssociation);
}

// The wait for the opener is a bound, not a delay: its verdict is taken as
// soon as it ends, however long the call would wait for one.
TEST_F(ShellTest, TheOpenersVerdictIsTakenAsSoonAsItEnds)
{
    sh.openerWaitMs = 24 * 60 * 60 * 1000;
    QTemporaryDir bin;
    testing_support::writeScript(bin.path() + "/xdg-open", "exit ${FAKE_RC:-0}\n");
    const testing_support::EnvGuard path("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
    testing_support::ensureCoreApplication();
    d.file("doc.txt");
    EXPECT_EQ(sh.openWithAssociatedProgram("C:\\doc.txt"), openDone);
    const testing_support::EnvGuard fakeRc("FAKE_RC", "2");
    EXPECT_EQ(sh.openWithAssociatedProgram("C:\\doc.txt"), openFileNotFound);
}

TEST_F(ShellTest, ProgramsAreFoundInTheApplicationFolderAndRunIsWaitedFor)
{
    testing_support::ensureCoreApplication();
    app().setPath("C:\\app");
    d.folder("app");
    const testing_support::EnvGuard path("PATH", QFile::encodeName(d.native("nothing")));
    EXPECT_EQ(sh.systemInformationTool(), QString());
    testing_support::writeScript(d.native("app/msinfo32"), "exit 0\n");
    EXPECT_EQ(sh.systemInformationTool(), d.native("app/msinfo32"));
    EXPECT_FALSE(sh.startProgram(d.native("app/none")));
    const QString log = d.native("app/ran.log");
    testing_support::writeScript(d.native("app/notepad"), "sleep 0.3\nprintf '%s' \"$1\" > '" + QFile::encodeName(log) + "'\n");
    d.file("saved paths.txt");
    EXPECT_TRUE(sh.runAndWait("notepad", "C:\\saved paths.txt"));
    // Written only after the sleep: the call returned after the program ended.
    EXPECT_EQ(testing_support::fileBytes(log), QFile::encodeName(d.native("saved paths.txt")));
    EXPECT_FALSE(sh.runAndWait("no-such-editor-here", "C:\\saved paths.txt"));
    // Found and marked to run, yet no program the system can start.
    d.file("app/broken", QByteArray("\x7f" "ELF garbage", 12));
    ASSERT_EQ(::chmod(d.nativeBytes("app/broken"), 0755), 0);
    EXPECT_FALSE(sh.runAndWait("broken", "C:\\saved paths.txt"));
    app().setPath({});
}

// Whether a staged copy would land on its source is a matter of paths: a
// name copied into its own folder is refused so even when the file has gone,
// and nothing is made.
TEST(StagedCopy, ACopyIntoItsOwnFolderIsRefusedByItsPathAlone)
{
    TempDrive d;
    d.file("dir/kept.txt", "kept");
    int err = -1;
    EXPECT_EQ(copyFilesStaged({"C:\\dir\\gone.txt"}, "C:\\dir", &err), shellSameFile);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(QDir(d.native("dir")).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.txt"});
}

// A move to another volume copies the file whole, then removes the source.
TEST_F(ShellTest, AMoveToAnotherVolumeCopiesThenRemovesTheSource)
{
    d.file("a.txt", "moved");
    d.folder("Other");
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A volume of its own that only this process sees.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", d.nativeBytes("Other").constData(), "tmpfs", 0, nullptr) != 0)
            ::_exit(77);
        const int rc = SystemShell().moveFile("C:\\a.txt", "C:\\Other\\b.txt");
        const bool moved = testing_support::fileBytes(d.native("Other/b.txt")) == "moved" && !QFile::exists(d.native("a.txt"));
        ::_exit(rc == shellOk && moved ? 0 : 1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(status, 0);
}

// A machine whose one interface is its own loopback, up, is off line.
TEST(SystemShellNetwork, TheLoopbackAloneIsNoNetwork)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A network of its own that only this process sees, holding "lo".
        struct ifreq lo {};
        std::strcpy(lo.ifr_name, "lo");
        const int fd = ::unshare(CLONE_NEWNET) == 0 ? ::socket(AF_INET, SOCK_DGRAM, 0) : -1;
        if (fd < 0 || ::ioctl(fd, SIOCGIFFLAGS, &lo) != 0)
            ::_exit(77);
        lo.ifr_flags |= IFF_UP;
        if (::ioctl(fd, SIOCSIFFLAGS, &lo) != 0)
            ::_exit(77);
        ::_exit(SystemShell().networkAlive() ? 1 : 0);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private network here";
    EXPECT_EQ(status, 0);
}

// Only an interface that is up, has its link and holds an address of the
// internet makes a network: one whose cable is out does not.
TEST(SystemShellNetwork, AnInterfaceCountsOnlyWhenUpWithItsLinkAndAnAddress)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A pair of linked interfaces in a network only this process sees,
        // with no addresses of their own to begin with.
        if (::unshare(CLONE_NEWNET) != 0
            || std::system("sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 >/dev/null 2>&1 "
                           "&& ip link add qm0 type veth peer name qm1 && ip link set qm0 up >/dev/null 2>&1") != 0)
            ::_exit(77);
        int failed = 0;
        const auto expect = [&](bool alive) { failed = failed * 2 + (SystemShell().networkAlive() == alive ? 0 : 1); };
        expect(false);   // up, no link, no address
        if (std::system("ip addr add 10.9.0.1/24 dev qm0 >/dev/null 2>&1") != 0)
            ::_exit(77);
        expect(false);   // up with an address, no link
        if (std::system("ip addr del 10.9.0.1/24 dev qm0 && ip link set qm1 up >/dev/null 2>&1") != 0)
            ::_exit(77);
        expect(false);   // up with its link, no address
        if (std::system("ip addr add 10.9.0.1/24 dev qm0 >/dev/null 2>&1") != 0)
            ::_exit(77);
        expect(true);
        ::_exit(failed);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private network with linked interfaces here";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a bit for each answer that was wrong, first to last";
}

TEST(InstanceLock, OneHolderPerFolderByAnyPathAndADeadHoldersLockIsTaken)
{
    QTemporaryDir root;
    const QString folder = root.filePath("quillmarsh");
    ASSERT_TRUE(QDir().mkpath(folder) && QDir().mkpath(root.filePath("other")));
    InstanceLock first(folder);
    ASSERT_EQ(first.tryLock(), InstanceLock::Taken);
    InstanceLock second(folder);
    EXPECT_EQ(second.tryLock(), InstanceLock::HeldByOther);
    // The same folder reached through a link is the same folder.
    ASSERT_TRUE(QFile::link(folder, root.filePath("link")));
    EXPECT_EQ(InstanceLock(root.filePath("link")).tryLock(), InstanceLock::HeldByOther);
    EXPECT_EQ(InstanceLock(root.filePath("other")).tryLock(), InstanceLock::Taken);   // another installation
    first.release();
    EXPECT_EQ(second.tryLock(), InstanceLock::Taken);
    second.release();

    // A copy that died holding the lock leaves nothing in the way.
    const pid_t pid = ::fork();
    if (pid == 0) {
        InstanceLock child(folder);
        while (child.tryLock() != InstanceLock::Taken)
            ::usleep(1000);
        ::pause();
        ::_exit(0);
    }
    InstanceLock probe(folder);
    InstanceLock::Result r = InstanceLock::Taken;
    for (int i = 0; i < 500; ++i) {   // wait until the child holds it
        r = probe.tryLock();
        if (r == InstanceLock::HeldByOther)
            break;
        probe.release();
        ::usleep(5000 + i * 100);
    }
    EXPECT_EQ(r, InstanceLock::HeldByOther);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_EQ(probe.tryLock(), InstanceLock::Taken);
    // Nothing was made in the folder.
    EXPECT_TRUE(QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));

    EXPECT_EQ(InstanceLock(root.filePath("missing-folder")).tryLock(), InstanceLock::Unavailable);
}

TEST(ApplicationObject, PathIsTheExecutablesFolderInLogicalForm)
{
    Application a;
    setDrives(DriveTable({Drive{QLatin1Char('C'), "/", {}, {}, {}, driveFixed, false}}));
    const QString path = a.path();
    EXPECT_TRUE(path.startsWith("C:\\"));
    EXPECT_FALSE(path.endsWith("\\"));
    EXPECT_EQ(a.nativePath(), executableFolder());
    EXPECT_TRUE(QFileInfo::exists(executableFolder() + "/test_platform"));
    a.setPath("D:\\");
    EXPECT_EQ(a.path(), QStringLiteral("D:"));
    // A program at a drive's root lives in the drive itself.
    setDrives(DriveTable({Drive{QLatin1Char('E'), executableFolder(), {}, {}, {}, driveFixed, false}}));
    EXPECT_EQ(Application().path(), QStringLiteral("E:"));
    setDrives(DriveTable());
}

namespace {

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

} // namespace

// A copy that runs out of room says so, not that it would land on itself,
// and leaves no part of a file behind; copies that succeed hold nothing open.
TEST(StagedCopy, AFullDiskIsItsOwnCauseAndNoCopyKeepsAFileOpen)
{
    TempDrive d;
    d.file("In/big.bin", QByteArray(1 << 20, 'x'));
    d.file("In/small.txt", "small");
    const int before = openDescriptors();
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(copyFilesStaged({"C:\\In\\small.txt", "C:\\In\\big.bin"}, "C:\\Copies"), shellOk);
        EXPECT_EQ(SystemShell().copyFiles({"C:\\In\\small.txt"}, "C:\\Plain"), shellOk);
    }
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(d.bytes("Copies/small.txt"), "small");

    d.folder("Full");
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A small disk that only this process sees.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", d.nativeBytes("Full").constData(), "tmpfs", 0, "size=64k") != 0)
            ::_exit(77);
        int err = 0;
        const int staged = copyFilesStaged({"C:\\In\\big.bin"}, "C:\\Full", &err);
        const int plain = SystemShell().copyFiles({"C:\\In\\big.bin"}, "C:\\Full");
        const bool empty = QDir(d.native("Full")).entryList(QDir::Files | QDir::Hidden).isEmpty();
        // Callers tell a refused copy onto itself by its code: a full disk must not read as one.
        const auto full = [](int rc) { return rc == shellDiskFull && rc != shellSameFile; };
        ::_exit(full(staged) && err == ENOSPC ? full(plain) ? empty ? 0 : 3 : 2 : 1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: staged copy, 2: plain copy, 3: a partial file was left";
}

// Each way a file operation fails gives the shell's own code for it, and
// what failed is left as it was.
TEST_F(ShellTest, EachFailureOfAFileOperationGivesItsOwnCode)
{
    d.file("src/a.txt", "a");
    d.file("blocked", "a file where a folder is expected");
    d.folder("src/sub/deeper");
    ASSERT_EQ(::mkfifo(d.nativeBytes("src/pipe"), 0644), 0);
    EXPECT_EQ(sh.copyFiles({"Q:\\a.txt"}, "C:\\out"), shellNotFound);
    EXPECT_EQ(sh.copyFiles({"C:\\src\\a.txt"}, "Q:\\out"), shellNotFound);
    EXPECT_EQ(sh.copyFiles({"C:\\src\\a.txt"}, "C:\\blocked"), shellAccessDenied);
    EXPECT_EQ(sh.copyFiles({"C:\\src\\a.txt"}, "C:\\blocked\\below"), shellAccessDenied);
    EXPECT_EQ(sh.copyFiles({"C:\\src\\pipe"}, "C:\\out"), shellAccessDenied);   // never opened
    // A folder is copied without what it holds that is no file or folder.
    EXPECT_EQ(sh.copyFiles({"C:\\src"}, "C:\\out"), shellOk);
    EXPECT_EQ(d.bytes("out/src/a.txt"), "a");
    EXPECT_TRUE(QFileInfo(d.native("out/src/sub/deeper")).isDir());
    EXPECT_FALSE(QFileInfo::exists(d.native("out/src/pipe")));

    EXPECT_EQ(sh.moveFile("Q:\\a.txt", "C:\\b.txt"), shellNotFound);
    EXPECT_EQ(sh.moveFile("C:\\src\\a.txt", "Q:\\b.txt"), shellNotFound);
    EXPECT_EQ(sh.moveFile("C:\\src\\a.txt", "C:\\" + QString(300, u'n')), shellBadName);
    EXPECT_EQ(sh.moveFile("C:\\src\\sub", "C:\\src\\sub\\deeper\\sub"), shellBadName);   // into itself
    EXPECT_EQ(sh.moveFile("C:\\src\\a.txt", "C:\\blocked\\a.txt"), shellNotFound);
    EXPECT_EQ(d.bytes("src/a.txt"), "a");
    EXPECT_EQ(sh.moveFile("C:\\src\\a.txt", "C:\\made\\on\\the\\way\\a.txt"), shellOk);
    EXPECT_EQ(d.bytes("made/on/the/way/a.txt"), "a");

    EXPECT_EQ(sh.deleteItems({"Q:\\x"}, false), shellNotFound);
    d.file("del/one.txt", "1");
    EXPECT_EQ(sh.deleteItems({"C:\\del\\one.txt", "C:\\del\\two.txt"}, false), shellNotFound);
    EXPECT_FALSE(QFileInfo::exists(d.native("del/one.txt")));   // the ones before the failure are gone
    EXPECT_EQ(sh.deleteItems({"C:\\out\\src"}, false), shellOk);
    EXPECT_FALSE(QFileInfo::exists(d.native("out/src")));
    EXPECT_TRUE(QFileInfo(d.native("out")).isDir());

    // What the user may not read or change.
    d.file("locked/kept.txt", "kept");
    d.file("locked/tree/inner.txt", "inner");
    d.file("secret.txt", "secret");
    d.folder("open");
    ASSERT_EQ(::chmod(d.nativeBytes("secret.txt"), 0600), 0);
    ASSERT_EQ(::chmod(d.nativeBytes("open"), 0777), 0);
    ASSERT_EQ(::chmod(d.nativeBytes("locked/tree"), 0555), 0);
    ASSERT_EQ(::chmod(d.nativeBytes("locked"), 0555), 0);
    ASSERT_EQ(::chmod(d.dir.path().toLocal8Bit(), 0755), 0);
    const int childRc = testing_support::runUnprivileged([] {
        SystemShell shell;
        const int before = openDescriptors();
        const int results[] = {
            shell.copyFiles({"C:\\secret.txt"}, "C:\\open"),
            shell.copyFiles({"C:\\open"}, "C:\\locked"),
            shell.copyFiles({"C:\\locked\\kept.txt"}, "C:\\locked\\tree"),
            shell.deleteItems({"C:\\locked\\kept.txt"}, false),
            shell.deleteItems({"C:\\locked\\tree"}, false),
            shell.moveFile("C:\\locked\\kept.txt", "C:\\open\\kept.txt"),
        };
        int failed = 0;
        for (const int rc : results)
            failed = failed * 2 + (rc == shellAccessDenied ? 0 : 1);
        return failed * 2 + (openDescriptors() == before ? 0 : 1);
    });
    EXPECT_EQ(childRc, 0) << "a bit for each result that was not access denied, first to last, then one for a file left open";
    EXPECT_EQ(d.bytes("locked/kept.txt"), "kept");
    EXPECT_EQ(d.bytes("locked/tree/inner.txt"), "inner");
    EXPECT_EQ(QDir(d.native("open")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    ::chmod(d.nativeBytes("locked"), 0755);
    ::chmod(d.nativeBytes("locked/tree"), 0755);
}

// Deleting a tree stops at the first item that cannot go: in a shared
// folder where one file is another user's, the items the walk reaches after
// it are kept, those before it are gone.
TEST_F(ShellTest, DeletingATreeStopsAtTheFirstItemThatCannotGo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of two users need root";
    d.folder("shared");
    ASSERT_EQ(::chmod(d.nativeBytes("shared"), 01777), 0);
    ASSERT_EQ(::chmod(d.dir.path().toLocal8Bit(), 0755), 0);
    d.file("shared/theirs.txt", "theirs");
    for (int k = 0; k < 20; ++k) {
        d.file(QStringLiteral("shared/mine%1.txt").arg(k), "mine");
        ASSERT_EQ(::chown(d.nativeBytes(QStringLiteral("shared/mine%1.txt").arg(k)), 65534, 65534), 0);
    }
    // The order the walk meets them in is the folder's own.
    QStringList order;
    DIR* dir = ::opendir(d.nativeBytes("shared"));
    ASSERT_NE(dir, nullptr);
    while (const dirent* e = ::readdir(dir))
        if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0)
            order << QString::fromLatin1(e->d_name);
    ::closedir(dir);
    const int rc = testing_support::runUnprivileged([] { return SystemShell().deleteItems({"C:\\shared"}, false); });
    EXPECT_EQ(rc, shellAccessDenied);
    const qsizetype stop = order.indexOf(QStringLiteral("theirs.txt"));
    ASSERT_GE(stop, 0);
    QStringList kept = order.mid(stop);
    kept.sort();
    QStringList left = QDir(d.native("shared")).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, kept);
}

// A second item of a name gets the first free number before its suffixes
// (after the whole name when it has none, or starts with a dot); a name
// whose record is left without its item is never taken.
TEST_F(ShellTest, TrashNamesTakeTheFirstFreeNumberAndTheRecordSaysWhereAndWhen)
{
    const testing_support::EnvGuard data("XDG_DATA_HOME", QFile::encodeName(d.native("data")));
    const QString trash = d.native("data/Trash");
    d.folder("data/Trash/info");
    testing_support::writeFile(trash + "/info/stale.txt.trashinfo", "[Trash Info]\n");
    const struct { const char* name; QStringList trashed; } rows[] = {
        {"a.tar.gz", {"a.tar.gz", "a.2.tar.gz", "a.3.tar.gz"}},
        {".bashrc", {".bashrc", ".bashrc.2", ".bashrc.3"}},
        {"noext", {"noext", "noext.2", "noext.3"}},
        {"stale.txt", {"stale.2.txt", "stale.3.txt", "stale.4.txt"}},
    };
    for (const auto& row : rows) {
        QStringList got;
        for (int k = 0; k < 3; ++k) {
            d.file(QStringLiteral("in%1/").arg(k) + row.name, QByteArray::number(k));
            QString as;
            EXPECT_EQ(moveToTrash(d.native(QStringLiteral("in%1/").arg(k) + row.name), &as), errNone) << row.name;
            got << QFileInfo(as).fileName();
            EXPECT_EQ(testing_support::fileBytes(as), QByteArray::number(k)) << row.name;
            EXPECT_TRUE(QFileInfo::exists(trash + "/info/" + got.last() + ".trashinfo")) << row.name;
        }
        EXPECT_EQ(got, row.trashed) << row.name;
    }
    const QByteArray info = testing_support::fileBytes(trash + "/info/a.2.tar.gz.trashinfo");
    const QRegularExpression form(QStringLiteral("^\\[Trash Info\\]\\nPath=(.*)\\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\n$"));
    const QRegularExpressionMatch m = form.match(QString::fromUtf8(info));
    ASSERT_TRUE(m.hasMatch()) << info.constData();
    EXPECT_EQ(m.captured(1), QString::fromUtf8(QUrl::toPercentEncoding(d.native("in1/a.tar.gz"), "/")));
    EXPECT_EQ(moveToTrash(d.native("in0/none.txt")), errFileNotFound);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(trash + "/files").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// An item on another volume goes to that volume's trash: its shared .Trash
// (only a real sticky folder, never a link) or else .Trash-<uid>, recorded
// by its path below the volume's top.
TEST_F(ShellTest, AnItemOnAnotherVolumeGoesToThatVolumesOwnTrash)
{
    d.folder("Vol");
    d.folder("data");
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", d.nativeBytes("Vol").constData(), "tmpfs", 0, nullptr) != 0)
            ::_exit(77);
        ::setenv("XDG_DATA_HOME", d.nativeBytes("data").constData(), 1);
        const QString vol = d.native("Vol"), uid = QString::number(::getuid());
        int failed = 0;
        const auto check = [&](bool ok) { failed = failed * 2 + (ok ? 0 : 1); };
        const auto recorded = [](const QString& info) {
            const QByteArray text = testing_support::fileBytes(info);
            return text.mid(text.indexOf("Path=") + 5, text.indexOf("\nDeletionDate") - text.indexOf("Path=") - 5);
        };
        // No shared trash: the user's own.
        testing_support::writeFile(vol + "/sub/a b.txt", "a");
        QString as;
        check(moveToTrash(vol + "/sub/a b.txt", &as) == errNone);
        check(as == vol + "/.Trash-" + uid + "/files/a b.txt");
        check(recorded(vol + "/.Trash-" + uid + "/info/a b.txt.trashinfo") == "sub/a%20b.txt");
        // A shared trash that is a link, or not sticky, is passed by.
        QDir().mkpath(vol + "/elsewhere");
        ::chmod(QFile::encodeName(vol + "/elsewhere").constData(), 01777);
        ::symlink("elsewhere", QFile::encodeName(vol + "/.Trash").constData());
        testing_support::writeFile(vol + "/b.txt", "b");
        check(moveToTrash(vol + "/b.txt", &as) == errNone && as == vol + "/.Trash-" + uid + "/files/b.txt");
        ::unlink(QFile::encodeName(vol + "/.Trash").constData());
        QDir().mkpath(vol + "/.Trash");
        ::chmod(QFile::encodeName(vol + "/.Trash").constData(), 0777);
        testing_support::writeFile(vol + "/c.txt", "c");
        check(moveToTrash(vol + "/c.txt", &as) == errNone && as == vol + "/.Trash-" + uid + "/files/c.txt");
        // A sticky one is taken, the user's folder in it made.
        ::chmod(QFile::encodeName(vol + "/.Trash").constData(), 01777);
        testing_support::writeFile(vol + "/sub/d.txt", "d");
        check(moveToTrash(vol + "/sub/d.txt", &as) == errNone && as == vol + "/.Trash/" + uid + "/files/d.txt");
        check(recorded(vol + "/.Trash/" + uid + "/info/d.txt.trashinfo") == "sub/d.txt");
        check(testing_support::fileBytes(as) == "d" && !QFile::exists(vol + "/sub/d.txt"));
        check(!QFile::exists(d.native("data/Trash")));
        // An item that cannot be moved (a mount point) stays, and no trash
        // keeps a record of it.
        QDir().mkpath(vol + "/busy");
        if (::mount("none", QFile::encodeName(vol + "/busy").constData(), "tmpfs", 0, nullptr) != 0)
            ::_exit(77);
        check(moveToTrash(vol + "/busy") == errPermissionDenied);
        check(QFileInfo(vol + "/busy").isDir());
        check(!QFile::exists(vol + "/.Trash/" + uid + "/info/busy.trashinfo")
              && !QFile::exists(vol + "/.Trash-" + uid + "/info/busy.trashinfo"));
        ::_exit(failed == 0 ? 0 : 100 + failed % 100);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private mount namespace here";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "100 + the failed checks as bits, first to last";
}

// Each way a staged copy is refused or fails: its code, the system's own
// error, the source that is no file, and nothing changed nor left behind.
TEST(StagedCopy, EachRefusalAndFailureGivesItsCodeAndLeavesEverythingAsItWas)
{
    TempDrive d;
    d.file("In/a.txt", "new a");
    d.file("In/b.txt", "new b");
    d.folder("In/folder");
    ASSERT_EQ(::mkfifo(d.nativeBytes("In/pipe"), 0644), 0);
    d.file("Out/a.txt", "old a");
    d.file("Out/b.txt", "old b");
    d.folder("Out/folder.txt");
    d.file("blocked", "a file");
    ASSERT_EQ(::symlink("nowhere", d.nativeBytes("dangling")), 0);
    const QStringList both{"C:\\In\\a.txt", "C:\\In\\b.txt"};
    const auto outNames = [&] { return QDir(d.native("Out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
    const QStringList before = outNames();
    int err = -1;
    struct Row { const char* what; QStringList sources; QString destination; int rc; int err; int notAFile; };
    const Row rows[] = {
        {"unknown drive of the destination", both, "Q:\\Out", shellNotFound, 0, -1},
        {"unknown drive of a source", {"C:\\In\\a.txt", "Q:\\b.txt"}, "C:\\Out", shellNotFound, 0, -1},
        {"a file in the destination's path", both, "C:\\blocked\\Out", shellNotFound, ENOTDIR, -1},
        {"a link to nothing in the way", both, "C:\\dangling\\Out", shellAccessDenied, ENOLINK, -1},
        {"a name too long on the way", both, "C:\\" + QString(300, u'n') + "\\Out", shellBadName, ENAMETOOLONG, -1},
        {"a missing source after a good one", {"C:\\In\\a.txt", "C:\\In\\none.txt"}, "C:\\Out", shellNotFound, ENOENT, -1},
        {"a FIFO", {"C:\\In\\a.txt", "C:\\In\\pipe"}, "C:\\Out", shellNotAFile, 0, 1},
        {"a folder", {"C:\\In\\folder", "C:\\In\\a.txt"}, "C:\\Out", shellNotAFile, 0, 0},
    };
    const int open = openDescriptors();
    for (const Row& row : rows) {
        int which = -2;
        err = -1;
        EXPECT_EQ(copyFilesStaged(row.sources, row.destination, &err, {}, &which), row.rc) << row.what;
        EXPECT_EQ(err, row.err) << row.what;
        EXPECT_EQ(which, row.notAFile) << row.what;
        EXPECT_EQ(outNames(), before) << row.what;
        EXPECT_EQ(d.bytes("Out/a.txt"), "old a") << row.what;
        EXPECT_EQ(openDescriptors(), open) << row.what << ": a refused copy keeps nothing open";
    }
    // A destination the user may not write in: no copy can even begin, and
    // the source read for it is not kept open.
    ASSERT_EQ(::chmod(d.nativeBytes("Out"), 0555), 0);
    ASSERT_EQ(::chmod(d.dir.path().toLocal8Bit(), 0755), 0);   // the sources stay readable
    const int denied = testing_support::runUnprivileged([] {
        const int held = openDescriptors();
        int e = 0;
        const int rc = copyFilesStaged({"C:\\In\\a.txt", "C:\\In\\b.txt"}, "C:\\Out", &e);
        return rc != shellAccessDenied ? 1 : e != EACCES ? 2 : openDescriptors() != held ? 3 : 0;
    });
    ::chmod(d.nativeBytes("Out"), 0755);
    EXPECT_EQ(denied, 0) << "1: not refused; 2: not for the right; 3: a file kept open";
    EXPECT_EQ(outNames(), before);
    EXPECT_EQ(d.bytes("Out/a.txt"), "old a");
    EXPECT_FALSE(QFileInfo::exists(d.native("nowhere")));
    // A source in a missing folder copied to a folder not there yet is
    // missing, not a copy onto itself.
    EXPECT_EQ(copyFilesStaged({"C:\\Gone\\a.txt"}, "C:\\New", &err), shellNotFound);
    EXPECT_EQ(err, ENOENT);
    d.file("In/folder.txt", "a file for a folder");
    EXPECT_EQ(copyFilesStaged({"C:\\In\\a.txt", "C:\\In\\folder.txt"}, "C:\\Out", &err), shellAccessDenied);
    EXPECT_EQ(err, EISDIR);
    EXPECT_EQ(outNames(), before);

    // The check sees each complete copy in order; one refusal changes nothing.
    QList<int> seen;
    QList<QByteArray> contents;
    const auto refuseSecond = [&](int index, const QByteArray& copy) {
        seen << index;
        contents << testing_support::fileBytes(QFile::decodeName(copy));
        return index != 1;
    };
    EXPECT_EQ(copyFilesStaged(both, "C:\\Out", &err, refuseSecond), shellCopyRefused);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(seen, (QList<int>{0, 1}));
    EXPECT_EQ(contents, (QList<QByteArray>{"new a", "new b"}));
    EXPECT_EQ(outNames(), before);
    EXPECT_EQ(d.bytes("Out/b.txt"), "old b");

    // Accepted, both are replaced, with the sources' modes and times.
    ASSERT_EQ(::chmod(d.nativeBytes("In/b.txt"), 0640), 0);
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, d.nativeBytes("In/b.txt"), times, 0), 0);
    seen.clear();
    EXPECT_EQ(copyFilesStaged(both, "C:\\Out", &err, [&](int index, const QByteArray&) { seen << index; return true; }), shellOk);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(seen, (QList<int>{0, 1}));
    EXPECT_EQ(d.bytes("Out/a.txt"), "new a");
    EXPECT_EQ(d.bytes("Out/b.txt"), "new b");
    struct stat st {};
    ASSERT_EQ(::stat(d.nativeBytes("Out/b.txt"), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(outNames(), before);
}

// Folders are made with every missing parent; what stands in the way is
// named by its kind. Two names of one folder are the same folder.
TEST(StagedCopy, FoldersAreMadeWholeAndTwoNamesOfOneFolderAreTheSame)
{
    TempDrive d;
    d.file("file", "x");
    ASSERT_EQ(::symlink("nowhere", d.nativeBytes("dangling")), 0);
    d.folder("real");
    ASSERT_EQ(::symlink("real", d.nativeBytes("alias")), 0);
    EXPECT_EQ(makeNativeFolders(d.nativeBytes("a/b/c")), 0);
    EXPECT_TRUE(QFileInfo(d.native("a/b/c")).isDir());
    EXPECT_EQ(makeNativeFolders(d.nativeBytes("a/b/c")), 0);
    EXPECT_EQ(makeNativeFolders(d.nativeBytes("file")), ENOTDIR);
    EXPECT_EQ(makeNativeFolders(d.nativeBytes("file/below")), ENOTDIR);
    EXPECT_EQ(makeNativeFolders(d.nativeBytes("dangling/below")), ENOLINK);
    EXPECT_EQ(makeNativeFolders(d.nativeBytes("alias/made")), 0);
    EXPECT_TRUE(QFileInfo(d.native("real/made")).isDir());
    EXPECT_FALSE(QFileInfo::exists(d.native("nowhere")));

    EXPECT_TRUE(sameFolder("C:\\real", "C:\\alias"));
    EXPECT_TRUE(sameFolder("C:\\real\\made", "C:\\alias\\made\\"));
    EXPECT_FALSE(sameFolder("C:\\real", "C:\\a"));
    EXPECT_FALSE(sameFolder("C:\\missing", "C:\\missing"));
    EXPECT_FALSE(sameFolder("Q:\\", "Q:\\"));
}
