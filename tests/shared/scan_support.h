#pragma once
// Real temporary trees mounted as drive C: for the file-fact, listing and
// scanning tests, and a way to run a step as an unprivileged user (the tests
// run as root in CI, where no permission bit stops a read).

#include "platform/Drives.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

namespace scan_support {

class Tree {
public:
    Tree()
    {
        EXPECT_TRUE(dir.isValid());
        platform::Drive c;
        c.letter = QLatin1Char('C');
        c.mountPoint = dir.path();
        c.fsType = QStringLiteral("ext4");
        c.type = platform::driveFixed;
        platform::setDrives(platform::DriveTable({c}));
    }
    ~Tree() { platform::setDrives(platform::DriveTable()); }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

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

} // namespace scan_support
