#include "platform/AtomicFile.h"
#include "platform/Shell.h"
#include "platform/StagedCopy.h"
#include "support/TempDrive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace platform;

namespace {

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
    EXPECT_EQ(testing_support::fileBytes(target), "new");
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
    EXPECT_EQ(testing_support::fileBytes(target), "old");
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

TEST(StagedCopy, ALinkedTargetIsWrittenThroughAndStaysALink)
{
    testing_support::TempDrive d;
    d.file(QStringLiteral("In/a.ini"), "new");
    d.file(QStringLiteral("Store/a.ini"), "old");
    d.folder(QStringLiteral("App"));
    ASSERT_TRUE(QFile::link(d.native(QStringLiteral("Store/a.ini")), d.native(QStringLiteral("App/a.ini"))));
    EXPECT_EQ(copyFilesStaged({QStringLiteral("C:\\In\\a.ini")}, QStringLiteral("C:\\App")), shellOk);
    EXPECT_TRUE(QFileInfo(d.native(QStringLiteral("App/a.ini"))).isSymLink());
    EXPECT_EQ(d.bytes(QStringLiteral("Store/a.ini")), "new");
}

// (Stale temporaries: the main window start-up removes those of its files.)

} // namespace
