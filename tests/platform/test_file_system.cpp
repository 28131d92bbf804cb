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
#include <cstring>
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

namespace {

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
}

// Makes `levels` folders of 100-byte names under `fd` and gives the logical
// path of the deepest below `logical`; `fd` is then that folder's.
QString deepTree(int& fd, QString logical, int levels)
{
    const QByteArray name(100, 'n');
    for (int level = 0; level < levels; ++level) {
        ::mkdirat(fd, name.constData(), 0755);
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        logical += "\\" + QString::fromLatin1(name);
    }
    return logical;
}

} // namespace

// A name longer than any file system allows is a bad file name, whether it
// is the last part or a folder on the way; nothing is held open after.
TEST(Listing, ANameLongerThanAnyFileSystemAllowsIsABadNameAndHoldsNothingOpen)
{
    TempDrive d;
    d.folder("short");
    const QString huge(PATH_MAX + 10, u'h');
    const qsizetype before = openDescriptors();
    int rc = -1;
    EXPECT_TRUE(listing("C:\\short\\" + huge, ListWhat::All, &rc).empty());
    EXPECT_EQ(rc, errBadFileName);
    FileFacts f;
    EXPECT_EQ(fileFacts("C:\\short\\" + huge + "\\x.txt", f), errPathNotFound);
    EXPECT_EQ(fileFacts("C:\\short\\" + QString(300, u'h'), f), errBadFileName);
    FileTimes t;
    EXPECT_EQ(fileTimes("C:\\short\\" + huge + "\\x.txt", t), errBadFileName);
    qint64 size = -1;
    EXPECT_EQ(fileOrFolderSize("C:\\short\\" + huge, size), errBadFileName);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(openDescriptors(), before);
}

// Deep or not, a folder that may not be searched is a denied permission,
// and a missing one on the way is a missing path.
TEST(Listing, AFolderThatMayNotBeSearchedIsDeniedAtAnyDepth)
{
    TempDrive d;
    ASSERT_EQ(::chmod(d.dir.path().toLocal8Bit(), 0755), 0);
    int deepFd = ::open(d.nativeBytes(), O_RDONLY | O_DIRECTORY);
    const QString deep = deepTree(deepFd, "C:", 45);
    ASSERT_GT(toNative(deep)->size(), PATH_MAX);
    for (const QString& base : {QStringLiteral("C:"), deep}) {
        const int fd = base == deep ? deepFd : ::open(d.nativeBytes(), O_RDONLY | O_DIRECTORY);
        ASSERT_EQ(::mkdirat(fd, "closed", 0700), 0);
        ASSERT_EQ(::mkdirat(fd, "closed/inner", 0755), 0);
        ASSERT_EQ(::close(::openat(fd, "closed/inner/x.txt", O_WRONLY | O_CREAT, 0644)), 0);
        // A folder others may pass through but not list.
        ASSERT_EQ(::mkdirat(fd, "passage", 0711), 0);
        const int y = ::openat(fd, "passage/y.txt", O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::write(y, "hello", 5), 5);
        ::close(y);
        ::close(fd);
        const QString inner = base + "\\closed\\inner";
        const int childRc = testing_support::runUnprivileged([inner, base] {
            FileFacts f;
            std::vector<DirEntry> entries;
            const int facts = fileFacts(inner + "\\x.txt", f);
            const int list = listFolder(inner, ListWhat::All, entries);
            if (facts != errPermissionDenied || list != errPermissionDenied)
                return 1 + facts % 100;
            // The facts of a file named in full need no listing of its folder.
            if (fileFacts(base + "\\passage\\y.txt", f) != errNone || f.size != 5 || f.isFolder)
                return 101;
            return listFolder(base + "\\passage", ListWhat::All, entries) == errPermissionDenied ? 0 : 102;
        });
        EXPECT_EQ(childRc, 0) << base.size();
        FileFacts f;
        EXPECT_EQ(fileFacts(base + "\\gone\\inner\\x.txt", f), errPathNotFound) << base.size();
        EXPECT_EQ(fileFacts(inner + "\\x.txt", f), errNone) << base.size();
        int rc = -1;
        EXPECT_TRUE(listing(base + "\\gone\\inner", ListWhat::All, &rc).empty());
        EXPECT_EQ(rc, errPathNotFound) << base.size();
    }
}

// The size of a folder is every file below it: a link to a file counts as
// the file, a link to a folder, a FIFO and a folder that cannot be entered
// count nothing.
TEST(FileSize, AFolderIsTheTotalOfEveryFileBelowItAndNoLinkedFolder)
{
    TempDrive d;
    ASSERT_EQ(::chmod(d.dir.path().toLocal8Bit(), 0755), 0);
    d.file("t/a.txt", "12345");
    d.file("t/sub/b.txt", "1234567");
    d.file("t/sub/deeper/c.txt", QByteArray(1000, 'c'));
    d.folder("t/empty");
    d.file("elsewhere/big.txt", QByteArray(5000, 'b'));
    ASSERT_EQ(::symlink("../elsewhere/big.txt", d.nativeBytes("t/link-to-file")), 0);
    ASSERT_EQ(::symlink("../elsewhere", d.nativeBytes("t/link-to-folder")), 0);
    ASSERT_EQ(::symlink("nowhere", d.nativeBytes("t/dangling")), 0);
    ASSERT_EQ(::mkfifo(d.nativeBytes("t/pipe"), 0644), 0);
    qint64 size = -1;
    EXPECT_EQ(fileOrFolderSize("C:\\t", size), errNone);
    EXPECT_EQ(size, 5 + 7 + 1000 + 5000);
    EXPECT_EQ(fileOrFolderSize("C:\\t\\sub\\deeper\\c.txt", size), errNone);
    EXPECT_EQ(size, 1000);
    EXPECT_EQ(fileOrFolderSize("C:\\t\\empty", size), errNone);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(fileOrFolderSize("C:\\t\\missing.txt", size), errFileNotFound);
    EXPECT_EQ(size, 0);

    d.file("t/closed/hidden.txt", QByteArray(300, 'h'));
    ASSERT_EQ(::chmod(d.nativeBytes("t/closed"), 0700), 0);
    const int childRc = testing_support::runUnprivileged([] {
        qint64 seen = -1;
        const int rc = fileOrFolderSize("C:\\t", seen);
        return rc == errNone && seen == 5 + 7 + 1000 + 5000 ? 0 : 1;
    });
    EXPECT_EQ(childRc, 0);
    EXPECT_EQ(fileOrFolderSize("C:\\t", size), errNone);
    EXPECT_EQ(size, 5 + 7 + 1000 + 5000 + 300);
}

// A drive whose root is the file system's root: the root is a folder.
TEST(FileFacts, TheRootOfTheFileSystemIsAFolder)
{
    testing_support::mountDrives({{'C', QStringLiteral("/")}});
    FileFacts f;
    EXPECT_EQ(fileFacts("C:\\", f), errNone);
    EXPECT_TRUE(f.isFolder);
    EXPECT_EQ(f.attributes() & attrFolder, attrFolder);
    EXPECT_EQ(f.size, 0);
    EXPECT_GT(f.mtime, 0);
    EXPECT_TRUE(folderExists("C:\\"));
    EXPECT_FALSE(fileExists("C:\\"));
    platform::reloadDrives();
}

// Only "0x" followed by hexadecimal digits is a DOS attribute record.
TEST(FileFacts, ASambaMarkThatIsNoNumberIsIgnored)
{
    TempDrive d;
    const struct { const char* value; bool hidden; bool archive; } rows[] = {
        {"0x2", true, false}, {"0X22", true, true}, {"0x", false, true}, {"0xzz", false, true},
        {"1x2", false, true}, {"0y2", false, true}, {"02", false, true}};
    int i = 0;
    for (const auto& row : rows) {
        const QString name = QStringLiteral("s/f%1.txt").arg(++i);
        d.file(name);
        if (::setxattr(d.nativeBytes(name).constData(), "user.DOSATTRIB", row.value, std::strlen(row.value), 0) != 0)
            GTEST_SKIP() << "no user extended attributes on this file system";
        FileFacts f;
        ASSERT_EQ(fileFacts("C:\\s\\f" + QString::number(i) + ".txt", f), errNone);
        EXPECT_EQ(f.hidden, row.hidden) << row.value;
        EXPECT_EQ(f.archive, row.archive) << row.value;
    }
}

// The attribute bits of each kind of entry, the DOS record adding to what
// the mode says; a name that only starts with two dots is an entry; the
// creation time is the file system's own when it keeps one.
TEST(FileFacts, AttributeBitsOfEachKindAndTheCreationTime)
{
    TempDrive d;
    d.file("a/plain.txt");
    d.file("a/locked.txt");
    d.file("a/..twodots");
    d.folder("a/.hiddenfolder");
    ASSERT_EQ(::chmod(d.nativeBytes("a/locked.txt"), 0444), 0);
    auto all = listing("C:\\a");
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all["plain.txt"].attributes(), attrArchive);
    EXPECT_EQ(all["locked.txt"].attributes(), attrReadOnly | attrArchive);
    EXPECT_EQ(all["..twodots"].attributes(), attrHidden | attrArchive);
    EXPECT_EQ(all[".hiddenfolder"].attributes(), attrHidden | attrFolder);

    d.file("s/marked-readonly.txt");
    d.file("s/locked-archive.txt");
    ASSERT_EQ(::chmod(d.nativeBytes("s/locked-archive.txt"), 0444), 0);
    const auto mark = [&](const QString& relative, const char* value) {
        return ::setxattr(d.nativeBytes(relative).constData(), "user.DOSATTRIB", value, std::strlen(value), 0) == 0;
    };
    if (!mark("s/marked-readonly.txt", "0x1"))
        GTEST_SKIP() << "no user extended attributes on this file system";
    ASSERT_TRUE(mark("s/locked-archive.txt", "0x20"));
    d.file("s/system.txt");
    ASSERT_TRUE(mark("s/system.txt", "0x4"));
    FileFacts f;
    ASSERT_EQ(fileFacts("C:\\s\\system.txt", f), errNone);
    EXPECT_EQ(f.attributes(), attrSystem);
    ASSERT_EQ(fileFacts("C:\\s\\marked-readonly.txt", f), errNone);
    EXPECT_EQ(f.attributes(), attrReadOnly);
    ASSERT_EQ(fileFacts("C:\\s\\locked-archive.txt", f), errNone);
    EXPECT_EQ(f.attributes(), attrReadOnly | attrArchive);
    // A folder whose mark is empty carries none: its entries are not asked.
    ASSERT_EQ(::setxattr(d.nativeBytes("s").constData(), "user.DOSATTRIB", "", 0, 0), 0);
    EXPECT_EQ(listing("C:\\s")["marked-readonly.txt"].attributes(), attrArchive);

    setMtime(d.nativeBytes("a/plain.txt"), 1000000000);
    FileTimes t;
    ASSERT_EQ(fileTimes("C:\\a\\plain.txt", t), errNone);
    struct statx sx {};
    ASSERT_EQ(::statx(AT_FDCWD, d.nativeBytes("a/plain.txt").constData(), 0, STATX_BTIME | STATX_MTIME | STATX_CTIME, &sx), 0);
    EXPECT_EQ(t.modified, 1000000000);
    EXPECT_EQ(t.created, (sx.stx_mask & STATX_BTIME) ? qint64(sx.stx_btime.tv_sec) : qint64(1000000000));
    EXPECT_EQ(t.createdLocal, toLocalDateTime(t.created));
}
