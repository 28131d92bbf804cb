#pragma once
// Helpers every test folder shares: a temporary folder mounted as drive C:
// for the length of one test, the items of a list box, and running a step as
// an unprivileged user (the tests run as root in CI, where no permission bit
// stops a read).

#include "platform/Drives.h"
#include "ui/ListBox.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <cstdio>
#include <ctime>
#include <unistd.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace testing_support {

// The bytes of a file; `missing` when it cannot be read.
inline QByteArray fileBytes(const QString& path, const QByteArray& missing = "<missing>")
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : missing;
}

// Writes the file whole, making its folder first.
inline void writeFile(const QString& path, const QByteArray& content)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// A shell script that may be run.
inline void writeScript(const QString& path, const QByteArray& body)
{
    writeFile(path, "#!/bin/sh\n" + body);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                | QFileDevice::ReadOther | QFileDevice::ExeOther));
}

// Mounts the folders as fixed drives, in place of the machine's own.
inline void mountDrives(std::initializer_list<std::pair<char, QString>> letterAndFolder)
{
    std::vector<platform::Drive> table;
    for (const auto& [letter, folder] : letterAndFolder)
        table.push_back({QLatin1Char(letter), folder, {}, QStringLiteral("ext4"), {}, platform::driveFixed});
    platform::setDrives(platform::DriveTable(table));
}

// Adds a drive to the table in force.
inline void addDrive(QChar letter, const QString& mountPoint, const QString& label = QString(),
                     int type = platform::driveRemovable, const QString& fsType = QString())
{
    std::vector<platform::Drive> table = platform::drives().drives();
    table.push_back({letter, mountPoint, {}, fsType, label, type});
    platform::setDrives(platform::DriveTable(table));
}

// Removes everything inside the open folder `fd` and closes it: by the
// names' own bytes, relative to their folder, so that names that are not
// UTF-8 and trees deeper than a path can be go too (QTemporaryDir leaves
// them behind).
inline void removeContents(int fd)
{
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0) ::close(fd);
        return;
    }
    ::fchmod(fd, 0700);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir))
        if (std::string n = e->d_name; n != "." && n != "..") names.push_back(std::move(n));
    for (const std::string& n : names) {
        if (::unlinkat(fd, n.c_str(), 0) == 0) continue;
        removeContents(::openat(fd, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW));
        ::unlinkat(fd, n.c_str(), AT_REMOVEDIR);
    }
    ::closedir(dir);
}

class TempDrive {
public:
    TempDrive()
    {
        EXPECT_TRUE(dir.isValid());
        mountDrives({{'C', dir.path()}});
    }
    ~TempDrive()
    {
        platform::reloadDrives();
        removeContents(::open(nativeBytes().constData(), O_RDONLY | O_DIRECTORY));
    }
    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    QString native(const QString& relative = QString()) const
    {
        return relative.isEmpty() ? dir.path() : dir.path() + QLatin1Char('/') + relative;
    }
    QByteArray nativeBytes(const QString& relative = QString()) const { return QFile::encodeName(native(relative)); }

    void file(const QString& relative, const QByteArray& content = "x") const { writeFile(native(relative), content); }
    QByteArray bytes(const QString& relative) const { return fileBytes(native(relative)); }
    void folder(const QString& relative) const { ASSERT_TRUE(QDir().mkpath(native(relative))); }

    QTemporaryDir dir;
};

// The items of a list box, first to last.
inline QStringList listItems(const ui::ListBox& list)
{
    QStringList out;
    for (int i = 0; i < list.listCount(); ++i)
        out << list.list(i);
    return out;
}

// Runs `body` in a child process that cannot read what its mode bits deny
// (as uid/gid 65534 when the tests run as root) and returns its exit code;
// -1 when the child could not drop its rights.
inline int runUnprivileged(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(255);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

// An environment variable set for one scope and put back however it ends.
class EnvGuard {
public:
    // A null value unsets the variable.
    EnvGuard(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name))
    {
        if (value.isNull()) qunsetenv(name);
        else qputenv(name, value);
    }
    ~EnvGuard()
    {
        if (m_old.isNull()) qunsetenv(m_name);
        else qputenv(m_name, m_old);
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* m_name;
    QByteArray m_old;
};

// The local time zone set for one scope.
class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone) : m_tz("TZ", zone) { ::tzset(); }

private:
    struct Retzset {
        ~Retzset() { ::tzset(); }
    } m_after;   // goes last, once TZ is back
    EnvGuard m_tz;
};

// A socket bound at `path`, through its folder's descriptor: a socket's own
// name may be no longer than 107 bytes, a temporary folder's may.
inline int makeSocket(const char* path)
{
    const QByteArray p(path);
    const qsizetype slash = p.lastIndexOf('/');
    const int dir = ::open(p.left(slash).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a {};
    a.sun_family = AF_UNIX;
    std::snprintf(a.sun_path, sizeof a.sun_path, "/proc/self/fd/%d/%s", dir, p.mid(slash + 1).constData());
    const int rc = dir < 0 || s < 0 ? -1 : ::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    ::close(s);
    ::close(dir);
    return rc;
}

// QtNetwork and QProcess want an application object; one for the whole run.
inline void ensureCoreApplication()
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "quillmarsh_tests";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

} // namespace testing_support
