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

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

namespace testing_support {

class TempDrive {
public:
    TempDrive()
    {
        EXPECT_TRUE(dir.isValid());
        platform::Drive c;
        c.letter = QLatin1Char('C');
        c.mountPoint = dir.path();
        c.fsType = QStringLiteral("ext4");
        c.type = platform::driveFixed;
        platform::setDrives(platform::DriveTable({c}));
    }
    ~TempDrive() { platform::reloadDrives(); }
    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    QString native(const QString& relative = QString()) const
    {
        return relative.isEmpty() ? dir.path() : dir.path() + QLatin1Char('/') + relative;
    }
    QByteArray nativeBytes(const QString& relative = QString()) const { return QFile::encodeName(native(relative)); }

    void file(const QString& relative, const QByteArray& content = "x") const
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(native(relative)).absolutePath()));
        QFile f(native(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
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
