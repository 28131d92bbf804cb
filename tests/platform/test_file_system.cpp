#include "support/TempDrive.h"

#include "platform/AppError.h"
#include "platform/FileSystem.h"
#include "shared/qstring_print.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <ctime>
#include <map>

#include <gtest/gtest.h>

using namespace platform;
using testing_support::TempDrive;

namespace {

std::map<QString, FileFacts> listing(const QString& folder, ListWhat what = ListWhat::All, int* rc = nullptr)
{
    std::vector<DirEntry> entries;
    const int r = listFolder(folder, what, entries);
    if (rc)
        *rc = r;
    std::map<QString, FileFacts> out;
    for (const DirEntry& e : entries)
        out[e.name] = e.facts;
    return out;
}

void setMtime(const QByteArray& path, time_t t)
{
    const struct timespec times[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

} // namespace

TEST(Listing, FactsOfHiddenReadOnlyFoldersAndLinksAndNoSpecialFiles)
{
    TempDrive d;
    d.file("Docs/a.txt", "hello");
    d.file("Docs/.hidden", "h");
    d.file("Docs/locked.txt", "l");
    ASSERT_EQ(::chmod(d.nativeBytes("Docs/locked.txt"), 0444), 0);
    d.folder("Docs/Sub");
    d.folder("Docs/.git");
    ASSERT_EQ(::symlink("a.txt", d.nativeBytes("Docs/link-to-file")), 0);
    ASSERT_EQ(::symlink("Sub", d.nativeBytes("Docs/link-to-folder")), 0);
    ASSERT_EQ(::symlink("nowhere", d.nativeBytes("Docs/dangling")), 0);

    int rc = -1;
    auto all = listing("C:\\Docs", ListWhat::All, &rc);
    EXPECT_EQ(rc, errNone);
    ASSERT_EQ(all.size(), 8u);

    EXPECT_EQ(all["a.txt"].size, 5);
    EXPECT_EQ(all["a.txt"].attributes(), attrArchive);
    EXPECT_TRUE(all[".hidden"].hidden);
    EXPECT_TRUE(all["locked.txt"].readOnly);
    EXPECT_EQ(all["Sub"].attributes(), attrFolder);
    EXPECT_EQ(all[".git"].attributes(), attrFolder | attrHidden);

    // A link to a file is the file; a link to a folder is a file of its own.
    EXPECT_FALSE(all["link-to-file"].isFolder);
    EXPECT_EQ(all["link-to-file"].size, 5);
    EXPECT_FALSE(all["link-to-folder"].isFolder);
    EXPECT_TRUE(all["link-to-folder"].isLink);
    EXPECT_EQ(all["link-to-folder"].size, 3);   // the link's own length
    EXPECT_FALSE(all["dangling"].isFolder);

    const auto folders = listing("C:\\Docs", ListWhat::Folders);
    EXPECT_EQ(folders.size(), 2u);
    EXPECT_TRUE(folders.count("Sub") && folders.count(".git"));
    qint64 files = 0;
    EXPECT_EQ(countEntries("C:\\Docs\\", ListWhat::Files, files), errNone);
    EXPECT_EQ(files, 6);

    // Special files are never opened nor listed.
    d.file("f/plain.txt");
    ASSERT_EQ(::mkfifo(d.nativeBytes("f/pipe"), 0644), 0);
    ASSERT_EQ(::symlink("pipe", d.nativeBytes("f/link-to-pipe")), 0);
    // Opening the FIFO anywhere would block this test for good.
    const auto special = listing("C:\\f");
    EXPECT_EQ(special.size(), 1u);
    EXPECT_TRUE(special.count("plain.txt"));
    FileFacts f;
    EXPECT_EQ(fileFacts("C:\\f\\pipe", f), errPathFileAccess);
    EXPECT_FALSE(fileExists("C:\\f\\pipe"));
    qint64 size = -1;
    EXPECT_EQ(fileOrFolderSize("C:\\f", size), errNone);
    EXPECT_EQ(size, 1);
}

TEST(Listing, ErrorsOfMissingAndUnreadableFoldersAndMissingFiles)
{
    TempDrive d;
    d.file("file.txt");
    d.folder("closed/inner");
    d.file("listable/a.txt");
    int rc = 0;
    EXPECT_TRUE(listing("C:\\missing", ListWhat::All, &rc).empty());
    EXPECT_EQ(rc, errPathNotFound);
    listing("C:\\file.txt", ListWhat::All, &rc);
    EXPECT_EQ(rc, errPathNotFound);
    listing("Q:\\", ListWhat::All, &rc);
    EXPECT_EQ(rc, errPathNotFound);

    // A folder that cannot be read, and one that can be listed but not
    // entered: its entries' facts cannot be read, and the listing says so
    // rather than leaving them out.
    ASSERT_EQ(::chmod(d.nativeBytes("closed"), 0700), 0);
    ASSERT_EQ(::chmod(d.nativeBytes("listable"), 0444), 0);
    ASSERT_EQ(::chmod(d.dir.path().toLocal8Bit(), 0755), 0);
    for (const char* folder : {"C:\\closed", "C:\\listable"}) {
        const int childRc = testing_support::runUnprivileged([folder] {
            std::vector<DirEntry> entries;
            return listFolder(folder, ListWhat::All, entries) + (entries.empty() ? 0 : 100);
        });
        EXPECT_EQ(childRc, errPermissionDenied) << folder;
    }
    ::chmod(d.nativeBytes("listable"), 0755);

    // A missing file and a missing folder differ; neither leaves facts
    // behind, not even those of the folder looked at before.
    FileFacts f;
    ASSERT_EQ(fileFacts("C:\\closed", f), errNone);
    f.size = 99;
    EXPECT_EQ(fileFacts("C:\\closed\\nope.txt", f), errFileNotFound);
    EXPECT_EQ(f.size, 0);
    EXPECT_EQ(f.attributes(), 0);
    EXPECT_EQ(fileFacts("C:\\gone\\nope.txt", f), errPathNotFound);
    EXPECT_TRUE(folderExists("C:\\closed"));
    EXPECT_FALSE(fileExists("C:\\closed"));
    EXPECT_TRUE(folderExists("C:"));
    FileTimes t;
    EXPECT_EQ(fileTimes("C:\\closed\\nope.txt", t), errFileNotFound);
}

TEST(Listing, EveryNameIsAnEntryOfItsOwnAndTreesDeeperThanAPathAreReadToTheBottom)
{
    TempDrive d;
    d.folder("d");
    for (const QByteArray& name : {QByteArray("report\xfe.txt"), QByteArray("report\xff.txt"), QByteArray("a:b"),
                                  QByteArray("a\xEF\x80\xBA" "b"), QByteArray("back\\slash"), QByteArray("bar|pipe")}) {
        ASSERT_EQ(::close(::open(d.nativeBytes("d") + '/' + name, O_WRONLY | O_CREAT, 0644)), 0);
    }
    ASSERT_EQ(::mkdir(d.nativeBytes("d") + "/sub\xff", 0755), 0);
    ASSERT_EQ(::close(::open(d.nativeBytes("d") + "/sub\xff/inner.txt", O_WRONLY | O_CREAT, 0644)), 0);

    const auto all = listing("C:\\d");
    ASSERT_EQ(all.size(), 7u);
    for (const auto& [name, facts] : all) {
        EXPECT_FALSE(name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('|'))) << name.toStdString();
        FileFacts again;
        EXPECT_EQ(fileFacts("C:\\d\\" + name, again), errNone) << name.toStdString();
    }
    // A folder whose name is not UTF-8 is read like any other.
    const QString sub = "C:\\d\\sub" + QString(QChar(0xF0FF));
    EXPECT_EQ(listing(sub).count("inner.txt"), 1u);
    EXPECT_TRUE(folderExists(sub));

    // Trees deeper than a path can be are read to the bottom.
    // 60 levels of 100-byte names: some 6,000 bytes, past PATH_MAX.
    const QByteArray name(100, 'n');
    int fd = ::open(d.nativeBytes(), O_RDONLY | O_DIRECTORY);
    QString logical = "C:";
    for (int level = 0; level < 60; ++level) {
        ASSERT_EQ(::mkdirat(fd, name.constData(), 0755), 0);
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        logical += "\\" + QString::fromLatin1(name);
    }
    ASSERT_EQ(::close(::openat(fd, "bottom.txt", O_WRONLY | O_CREAT, 0644)), 0);
    ::close(fd);
    ASSERT_GT(toNative(logical)->size(), PATH_MAX);

    // Walking down such a path holds no folder open afterwards.
    const auto openCount = [] {
        return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
    };
    const qsizetype openBefore = openCount();
    int rc = -1;
    EXPECT_EQ(listing(logical, ListWhat::All, &rc).count("bottom.txt"), 1u);
    EXPECT_EQ(rc, errNone);
    FileFacts facts;
    EXPECT_EQ(fileFacts(logical + "\\bottom.txt", facts), errNone);
    EXPECT_EQ(fileFacts(logical + "\\missing.txt", facts), errFileNotFound);
    FileTimes times;
    EXPECT_EQ(fileTimes(logical + "\\bottom.txt", times), errNone);
    EXPECT_GT(times.modified, 0);
    EXPECT_EQ(openCount(), openBefore);
}

TEST(FileTimes, LocalTimeUsesTheOffsetOfTheFilesOwnDate)
{
    TempDrive d;
    testing_support::TimeZoneGuard athens("Europe/Athens");
    d.file("t/winter.txt");
    d.file("t/summer.txt");
    d.file("t/midnight.txt");
    // 2021-01-15 10:20:30 UTC (EET, +2) and 2021-07-15 10:20:30 UTC (EEST, +3).
    setMtime(d.nativeBytes("t/winter.txt"), 1610706030);
    setMtime(d.nativeBytes("t/summer.txt"), 1626344430);
    // 2021-03-27 22:00:00 UTC is 00:00:00 local on the day clocks go forward.
    setMtime(d.nativeBytes("t/midnight.txt"), 1616882400);
    ASSERT_EQ(::chmod(d.nativeBytes("t/summer.txt"), 0), 0);   // times never need the file opened

    const auto all = listing("C:\\t");
    EXPECT_EQ(all.at("winter.txt").modified, (LocalDateTime{2021, 1, 15, 12, 20, 30}));
    EXPECT_EQ(all.at("summer.txt").modified, (LocalDateTime{2021, 7, 15, 13, 20, 30}));
    EXPECT_EQ(all.at("midnight.txt").modified, (LocalDateTime{2021, 3, 28, 0, 0, 0}));
    EXPECT_EQ(all.at("winter.txt").mtime, 1610706030);

    FileTimes t;
    ASSERT_EQ(fileTimes("C:\\t\\summer.txt", t), errNone);
    EXPECT_EQ(t.modifiedLocal, (LocalDateTime{2021, 7, 15, 13, 20, 30}));
    // The file system's clock may stand a tick ahead of time().
    EXPECT_LE(t.created, std::time(nullptr) + 1);
    EXPECT_GT(t.created, 0);

    // The zone set anew gives the same second its own local time, even where
    // the new zone's names are the old one's.
    for (const auto& [zone, hour] : {std::pair{"QMT0", 10}, std::pair{"QMT-2", 12}, std::pair{"QMT+5", 5}}) {
        testing_support::TimeZoneGuard named(zone);
        EXPECT_EQ(listing("C:\\t").at("winter.txt").modified, (LocalDateTime{2021, 1, 15, hour, 20, 30})) << zone;
        ASSERT_EQ(fileTimes("C:\\t\\winter.txt", t), errNone);
        EXPECT_EQ(t.modifiedLocal, (LocalDateTime{2021, 1, 15, hour, 20, 30})) << zone;
    }
}

TEST(FileFacts, SambaDosAttributesWhenPresent)
{
    TempDrive d;
    d.file("s/marked.txt");
    const QByteArray path = d.nativeBytes("s/marked.txt");
    const char value[] = "0x6";   // hidden + system, no archive
    if (::setxattr(path.constData(), "user.DOSATTRIB", value, sizeof value, 0) != 0)
        GTEST_SKIP() << "no user extended attributes on this file system";
    FileFacts f;
    ASSERT_EQ(fileFacts("C:\\s\\marked.txt", f), errNone);
    EXPECT_TRUE(f.hidden);
    EXPECT_TRUE(f.system);
    EXPECT_FALSE(f.archive);
    EXPECT_FALSE(f.readOnly);

    // In a listing, entries are asked once their folder carries the mark too.
    const char folderValue[] = "0x10";
    ASSERT_EQ(::setxattr(d.nativeBytes("s").constData(), "user.DOSATTRIB", folderValue, sizeof folderValue, 0), 0);
    const auto all = listing("C:\\s");
    EXPECT_TRUE(all.at("marked.txt").system);
    EXPECT_FALSE(all.at("marked.txt").archive);
}
