#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

using namespace platform;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

TEST(AtomicFile, ReplacesKeepsModeAndLeavesNoTemporaryBehind)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_EQ(writeFileAtomically(target, "old"), 0);
    ::chmod(QFile::encodeName(target).constData(), 0640);
    ASSERT_EQ(writeFileAtomically(target, "new"), 0);
    EXPECT_EQ(readAll(target), "new");
    struct stat st {};
    ::stat(QFile::encodeName(target).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("a.txt")});
}

TEST(AtomicFile, DiscardedOrFailedWriteLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_EQ(writeFileAtomically(target, "old"), 0);
    {
        AtomicFile f;
        ASSERT_EQ(f.open(target), 0);
        f.write("half");
    } // never committed
    EXPECT_EQ(readAll(target), "old");
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("a.txt")});

    // A folder of that name cannot be replaced by a file.
    const QString folder = dir.filePath(QStringLiteral("sub"));
    QDir().mkdir(folder);
    EXPECT_NE(writeFileAtomically(folder, "x"), 0);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(writeFileAtomically(dir.filePath(QStringLiteral("missing/a.txt")), "x"), 76);
}

TEST(AtomicFile, StaleTemporariesOfOursAreRemovedOthersKept)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Q.ini"));
    const auto make = [&](const char* name, bool old) {
        const QString p = dir.filePath(QString::fromLatin1(name));
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.close();
        if (old) {
            struct utimbuf t {1000, 1000};
            ::utime(QFile::encodeName(p).constData(), &t);
        }
    };
    make(".Q.ini.qmtmp-abc123", true);    // left by a killed write
    make(".Q.ini.qmtmp-def456", false);   // a write in progress
    make(".Q.ini.other-abc123", true);    // not ours
    make(".R.ini.qmtmp-abc123", true);    // another target's
    EXPECT_EQ(removeStaleTemporaries(target), 1);
    EXPECT_EQ(entries(dir).size(), 3);
    EXPECT_FALSE(entries(dir).contains(QStringLiteral(".Q.ini.qmtmp-abc123")));
}

} // namespace
