#pragma once
// A temporary folder mounted as drive C: (and optionally more letters) for
// the length of one test.

#include "platform/Drives.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
        c.type = platform::driveFixed;
        platform::setDrives(platform::DriveTable({c}));
    }
    ~TempDrive() { platform::reloadDrives(); }

    QString native(const QString& relative) const { return dir.path() + QLatin1Char('/') + relative; }
    QByteArray nativeBytes(const QString& relative) const { return QFile::encodeName(native(relative)); }

    void write(const QString& relative, const QByteArray& content = "x") const
    {
        QDir().mkpath(QFileInfo(native(relative)).absolutePath());
        QFile f(native(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    void mkdir(const QString& relative) const { ASSERT_TRUE(QDir().mkpath(native(relative))); }

    QTemporaryDir dir;
};

// QtNetwork and QProcess want an application object; one for the whole run.
inline void ensureCoreApplication()
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_platform";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

} // namespace testing_support
