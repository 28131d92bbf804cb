#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "support/TempDrive.h"

#include "shared/qstring_print.h"

#include <gtest/gtest.h>
#include <array>
#include <cerrno>
#include <functional>
#include <random>
#include <tuple>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("Quillmarsh.ini")); }

    void put(const QByteArray& bytes) const { testing_support::writeFile(ini(), bytes); }
    QByteArray bytes() const { return testing_support::fileBytes(ini(), {}); }
    QString get(const QString& section, const QString& key, int capacity = 256) const
    {
        return getProfileString(ini(), section, key, QStringLiteral("<def>"), capacity);
    }
};

} // namespace

// --- Reading -------------------------------------------------------------------

TEST_F(ProfileFileTest, NamesAreCaseBlindTheFirstMatchWinsAndValuesLoseBlanksAndOuterQuotesCutToTheCapacity)
{
    int err = -1;
    EXPECT_EQ(getProfileString(ini(), "General", "Language", "dflt", 100, &err), "dflt");   // no file
    EXPECT_EQ(err, 0);
    const QByteArray names = "Stray=outside\r\n[general]\r\n  LANGUAGE  =  first  \r\nlanguage=second\r\n"
                             "[GENERAL]\r\nOnlyInSecond=x\r\nLanguage=third\r\n";
    const QByteArray values = "[S]\r\na=\t \"quoted value\" \r\nb='single'\r\nc=\"unbalanced\r\nd=\"\r\ne=\r\n;f=comment\r\nk="
                              + QByteArray(150, 'x') + "\r\n";
    const struct { const QByteArray& file; const char *section, *key; int capacity; QString expected; } cases[] = {
        {names, "Other", "Language", 256, "<def>"}, {names, "General", "Missing", 256, "<def>"}, {names, "General", "language", 256, "first"},
        {names, "General", "OnlyInSecond", 256, "<def>"},   // only the first matching section is consulted
        {names, "", "Stray", 256, "<def>"},                  // lines before any section belong to none
        {values, "S", "a", 256, "quoted value"}, {values, "S", "b", 256, "single"}, {values, "S", "c", 256, "\"unbalanced"},
        {values, "S", "d", 256, "\""}, {values, "S", "e", 256, ""}, {values, "S", ";f", 256, "<def>"},
        {values, "S", "k", 100, QString(99, u'x')}, {values, "S", "k", 1, ""}, {values, "S", "k", 151, QString(150, u'x')},
    };
    for (const auto& c : cases) {
        put(c.file);
        EXPECT_EQ(get(c.section, c.key, c.capacity), c.expected) << c.section << "." << c.key << " " << c.capacity;
    }
}

TEST_F(ProfileFileTest, OnlyARegularFileOfBoundedSizeIsOpenedAndNothingBlocks)
{
    // Each kind of file where the INI should be: what the start-up's check
    // finds, and readers and writers refuse it at once, leaving it alone.
    const QByteArray path = QFile::encodeName(ini());
    struct Case {
        const char* what;
        std::function<void()> make;
        ProfileFileStatus::Problem problem;
    };
    const Case cases[] = {
        {"folder", [&] { ::mkdir(path, 0755); }, ProfileFileStatus::NotAFile},
        {"fifo", [&] { ::mkfifo(path, 0644); }, ProfileFileStatus::NotAFile},
        {"link to /dev/zero", [&] { ::symlink("/dev/zero", path); }, ProfileFileStatus::NotAFile},
        {"too large", [&] { put("[S]\r\nk=v\r\n" + QByteArray(kMaxProfileFileSize, ';')); }, ProfileFileStatus::TooLarge},
    };
    for (const Case& c : cases) {
        c.make();
        EXPECT_EQ(checkProfileFile(ini()).problem, c.problem) << c.what;
        int err = 0;
        EXPECT_EQ(getProfileString(ini(), "S", "k", "d", 10, &err), "d") << c.what;
        EXPECT_EQ(err, 75) << c.what;
        EXPECT_EQ(writeProfileString(ini(), "S", "k", "w"), 75) << c.what;
        ::rmdir(path);
        ::unlink(path);
    }
    EXPECT_EQ(checkProfileFile(ini()).problem, ProfileFileStatus::Fine);   // not there yet: made on the first write
}

// An interrupted call earlier in the run leaves EINTR in errno, which calls
// that succeed never clear: reads and writes still open the file once.
TEST_F(ProfileFileTest, AnInterruptionAnEarlierCallLeftIsNoFailureOfAReadOrAWrite)
{
    put("[S]\r\nk=old\r\n");
    errno = EINTR;
    int err = -1;
    EXPECT_EQ(getProfileString(ini(), "S", "k", "d", 10, &err), "old");
    EXPECT_EQ(err, 0);
    errno = EINTR;
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "new"), 0);
    EXPECT_EQ(bytes(), "[S]\r\nk=new\r\n");
    errno = EINTR;
    EXPECT_EQ(checkProfileFile(ini()).problem, ProfileFileStatus::Fine);
}

// With no file handle left to the program, a read says so at once (the
// default is returned) and works again once handles are free.
TEST_F(ProfileFileTest, ARunOutOfFileHandlesIsReportedAndNothingWaits)
{
    put("[S]\r\nk=value\r\n");
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    std::vector<int> held;
    int top = ::dup(0);
    ASSERT_GE(top, 0);
    held.push_back(top);
    struct rlimit low = old;
    low.rlim_cur = rlim_t(top) + 8;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    for (int fd; (fd = ::dup(0)) >= 0;) held.push_back(fd);
    int err = 0;
    const QString got = getProfileString(ini(), "S", "k", "d", 10, &err);
    for (const int fd : held) ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_EQ(got, "d");
    EXPECT_EQ(err, 67);
    EXPECT_EQ(get("S", "k"), "value");
}

TEST_F(ProfileFileTest, AFileOrFolderThatMayNotBeChangedIsFoundBeforeAnyWrite)
{
    // As a user whom the bits stop: a folder that refuses new files (the
    // write is refused too, the file kept), then a file that may not be read.
    put("[S]\r\nk=old\r\n");
    const auto check = [this](int folderMode, int fileMode) {
        ::chmod(QFile::encodeName(dir.path()).constData(), folderMode);
        ::chmod(QFile::encodeName(ini()).constData(), fileMode);
        return testing_support::runUnprivileged([this] {
            const ProfileFileStatus status = checkProfileFile(ini());
            return int(status.problem) * 10 + (status.error == 70 ? 1 : 0)
                + (writeProfileString(ini(), "S", "k", "new") == 70 ? 100 : 0);
        });
    };
    EXPECT_EQ(check(0555, 0666), 100 + ProfileFileStatus::CannotWrite * 10 + 1);
    EXPECT_EQ(check(0755, 0200), 100 + ProfileFileStatus::CannotRead * 10 + 1);
    ::chmod(QFile::encodeName(ini()).constData(), 0644);
    EXPECT_EQ(get("S", "k"), "old");
}

// Random files of random bytes, line ends and encodings: reading never
// crashes or hangs, and a write changes the one line it writes and keeps
// every other byte.
TEST_F(ProfileFileTest, FuzzedFilesKeepEveryLineThatIsNotWritten)
{
    std::mt19937 random(16);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QByteArray ends[] = {"\r\n", "\r", "\n", ""};
    const QByteArray pieces[] = {"[S]", "[s ]", "[T]", "k=1", " K = 2 ", "k", "=", ";k=3", "[", "]", "\xC1\xE8",
                                 QStringLiteral("Ελλάδα").toUtf8(), "\xFF\xFE", "\xEF\xBB\xBF", QByteArray(1, 0), "\"q\""};
    for (int files = 1; files <= 200; ++files) {
        QByteArray before;
        for (int line = pick(12); line > 0; --line) {
            for (int k = pick(4); k > 0; --k)
                before += pick(3) == 0 ? QByteArray(1, char(pick(256))) : pieces[pick(std::size(pieces))];
            before += ends[pick(std::size(ends))];
        }
        put(before);
        const QString value = QStringLiteral("v%1").arg(files);
        if (writeProfileString(ini(), "S", "k", value) != 0)
            continue;
        ASSERT_EQ(get("S", "k"), value) << before.toHex().constData();
        // What the write took away lies inside one line: every other line
        // keeps its bytes. (In UTF-16 a line end is two bytes; there the
        // read-back is the test.)
        const QByteArray after = bytes();
        qsizetype head = 0, tail = 0;
        while (head < before.size() && head < after.size() && before[head] == after[head])
            ++head;
        while (tail < before.size() - head && tail < after.size() - head
               && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
            ++tail;
        const QByteArray removed = before.mid(head, before.size() - head - tail);
        if (!before.startsWith("\xFF\xFE") && !before.startsWith("\xFE\xFF")) {
            ASSERT_FALSE(removed.contains('\r') || removed.contains('\n')) << before.toHex().constData();
        }
    }
}

// --- Writing -------------------------------------------------------------------

TEST_F(ProfileFileTest, AWriteChangesOrAddsItsLinesAndKeepsEveryOtherByte)
{
    struct Case {
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    };
    // "Αθήνα" in Windows-1253, and bytes that the code page leaves undefined.
    const QByteArray greekAnsi = "old=\xC1\xE8\xDE\xED\xE1\x81\xAA";
    const auto utf16 = [](const QString& text, bool bigEndian) {
        QStringEncoder encoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                               QStringConverter::Flag::WriteBom);
        return QByteArray(encoder(text));
    };
    const Case cases[] = {
        // The changed line keeps its own line end; a new one ends as the line before it.
        {"; my settings\n[General]\nLANGUAGE = English\nOther=1\n\n[Unknown]\nx=y\n", "general", "language", "Greek",
         "; my settings\n[General]\nLANGUAGE=Greek\nOther=1\n\n[Unknown]\nx=y\n"},
        {"[General]\rOther=1\r\r[Unknown]\rx=y", "General", "New", "2", "[General]\rOther=1\rNew=2\r\r[Unknown]\rx=y"},
        {"[A]\nx=y", "PageSetup", "FontSize", "9", "[A]\nx=y\n[PageSetup]\nFontSize=9\n"},
        {"[S]", "S", "k", "v", "[S]\r\nk=v\r\n"},
        // A last line without its end takes the file's first line end.
        {"[S]\r\na=1\nx=1", "S", "k", "2", "[S]\r\na=1\nx=1\r\nk=2\r\n"},
        {"", "General", "Language", "Ελληνικά", "[General]\r\nLanguage=" + QStringLiteral("Ελληνικά").toUtf8() + "\r\n"},
        // Lines of another encoding, or none, keep their bytes.
        {"[S]\r\n" + greekAnsi + "\r\nk=1\r\n", "S", "k", "2", "[S]\r\n" + greekAnsi + "\r\nk=2\r\n"},
        {"\xEF\xBB\xBF[S]\r\n" + greekAnsi + "\r\n", "S", "new", "Ελλάδα",
         "\xEF\xBB\xBF[S]\r\n" + greekAnsi + "\r\nnew=" + QStringLiteral("Ελλάδα").toUtf8() + "\r\n"},
        // UTF-16 with its mark stays UTF-16.
        {utf16("[S]\r\nk=Ελλάδα\r\nx=1", false), "S", "k", "2", utf16("[S]\r\nk=2\r\nx=1", false)},
        {utf16("[S]\r\nx=1", true), "S", "k", "2", utf16("[S]\r\nx=1\r\nk=2\r\n", true)},
        // The first matching section takes the key; a later one is left alone.
        {"[S]\r\na=1\r\n[T]\r\nk=0\r\n[S]\r\nk=9\r\n", "S", "k", "5", "[S]\r\na=1\r\nk=5\r\n[T]\r\nk=0\r\n[S]\r\nk=9\r\n"},
    };
    for (const Case& c : cases) {
        put(c.before);
        EXPECT_NE(get(c.section, c.key), QString::fromUtf8(c.value));
        EXPECT_EQ(writeProfileString(ini(), c.section, c.key, QString::fromUtf8(c.value)), 0) << c.before.constData();
        EXPECT_EQ(bytes(), c.after) << c.before.constData();
        EXPECT_EQ(get(c.section, c.key), QString::fromUtf8(c.value));
    }
    put("\xEF\xBB\xBF[S]\r" + greekAnsi + "\n" + QStringLiteral("utf=Ελλάδα").toUtf8());
    EXPECT_EQ(get("S", "old"), QStringLiteral("Αθήνα\uFFFD\uFFFD"));   // each line decoded on its own
    EXPECT_EQ(get("S", "utf"), QStringLiteral("Ελλάδα"));
}

TEST_F(ProfileFileTest, RefusedOrFailedWritesReturnAnErrorAndLeaveTheOldFileWhole)
{
    put("[S]\r\nk=old\r\n");
    const std::array<const char*, 3> refused[] = {{"S", "k", "a\nb"}, {"S", "k", "a\rb"}, {"S", "a=b", "v"},
                                                  {"S]", "k", "v"},   {"", "k", "v"},     {"S", " ", "v"}};
    for (const auto& [section, key, value] : refused)
        EXPECT_EQ(writeProfileString(ini(), section, key, value), 5) << section << " " << key << " " << value;
    EXPECT_EQ(bytes(), "[S]\r\nk=old\r\n");

    // A failed write returns an error and leaves the old file whole.
    ASSERT_EQ(::chmod(QFile::encodeName(ini()).constData(), 0444), 0);
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "new"), 75); // read-only, also for root
    ::chmod(QFile::encodeName(ini()).constData(), 0644);
    EXPECT_EQ(bytes(), "[S]\r\nk=old\r\n");

    // A file where the INI file's folder should be.
    EXPECT_EQ(writeProfileString(ini() + QStringLiteral("/x.ini"), "S", "k", "v"), 76);
    EXPECT_EQ(writeProfileString(dir.filePath(QStringLiteral("no/such/x.ini")), "S", "k", "v"), 76);
}

TEST_F(ProfileFileTest, AWriteThroughASymbolicLinkChangesTheFileItNamesAndKeepsItsPermissions)
{
    put("[S]\r\nk=old\r\n");
    ::chmod(QFile::encodeName(ini()).constData(), 0640);
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    ASSERT_TRUE(QFile::link(ini(), link));
    ASSERT_EQ(writeProfileString(link, "S", "k", "new"), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(get("S", "k"), "new");
    struct stat st {};
    ::stat(QFile::encodeName(ini()).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}


// The whole status for each way the file or its folder fails, with the
// error number and the system's own.
TEST_F(ProfileFileTest, TheCheckGivesEachProblemWithItsNumbers)
{
    const auto status = [](const QString& path) {
        const ProfileFileStatus s = checkProfileFile(path);
        return std::tuple{s.problem, s.error, s.systemError};
    };
    const auto openCount = [] {
        return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
    };
    const qsizetype open = openCount();
    EXPECT_EQ(status(dir.filePath("missing/Quillmarsh.ini")), std::tuple(ProfileFileStatus::CannotWrite, 76, ENOENT));
    testing_support::writeFile(dir.filePath("file"), "x");
    EXPECT_EQ(status(dir.filePath("file/Quillmarsh.ini")), std::tuple(ProfileFileStatus::CannotRead, 76, 0));
    ASSERT_EQ(::symlink("loop", QFile::encodeName(dir.filePath("loop")).constData()), 0);
    EXPECT_EQ(status(dir.filePath("loop")), std::tuple(ProfileFileStatus::CannotRead, 57, 0));
    put("[S]\r\nk=v\r\n");
    EXPECT_EQ(status(ini()), std::tuple(ProfileFileStatus::Fine, 0, 0));
    ASSERT_EQ(::chmod(QFile::encodeName(ini()).constData(), 0444), 0);
    EXPECT_EQ(status(ini()), std::tuple(ProfileFileStatus::CannotWrite, 75, 0));
    put(QByteArray(kMaxProfileFileSize, ';'));
    ::chmod(QFile::encodeName(ini()).constData(), 0644);
    EXPECT_EQ(status(ini()), std::tuple(ProfileFileStatus::Fine, 0, 0));
    put(QByteArray(kMaxProfileFileSize + 1, ';'));
    EXPECT_EQ(status(ini()), std::tuple(ProfileFileStatus::TooLarge, 75, 0));
    EXPECT_EQ(openCount(), open) << "a check keeps no file open";
}

// A value is cut to the caller's room, never between the halves of a
// character outside the basic plane.
TEST_F(ProfileFileTest, AValueCutToTheCapacityNeverKeepsHalfACharacter)
{
    put("[S]\r\nk=ab\xf0\x9f\x98\x80" "cd\r\n");   // "ab😀cd": the emoji is two UTF-16 units
    EXPECT_EQ(get("S", "k", 8), QString::fromUtf8("ab😀cd"));
    EXPECT_EQ(get("S", "k", 5), QString::fromUtf8("ab😀"));
    EXPECT_EQ(get("S", "k", 4), QStringLiteral("ab"));
    EXPECT_EQ(get("S", "k", 3), QStringLiteral("ab"));
    EXPECT_EQ(get("S", "k", 1), QString());
    EXPECT_EQ(get("S", "k", 0), QString());
    EXPECT_EQ(getProfileString(ini(), "S", "none", QString::fromUtf8("x😀"), 3), QStringLiteral("x"));
}

// A file that grows while it is read (as the system's own files under /proc,
// which say they are empty) is refused whole once past the bound, and held
// open no longer.
TEST_F(ProfileFileTest, AFileLongerThanItSaidIsRefusedAndNotKeptOpen)
{
    const auto openCount = [] {
        return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
    };
    const qsizetype before = openCount();
    QByteArray out = "stale";
    EXPECT_EQ(readRegularFile(QStringLiteral("/proc/self/status"), 16, out), 75);
    EXPECT_EQ(out, QByteArray());
    EXPECT_EQ(openCount(), before);
    EXPECT_EQ(readRegularFile(QStringLiteral("/proc/self/status"), 1 << 20, out), 0);
    EXPECT_TRUE(out.startsWith("Name:"));
    // Past the bound only after a first full read: what was read goes too.
    ASSERT_EQ(readRegularFile(QStringLiteral("/proc/self/smaps"), 16 << 20, out), 0);
    ASSERT_GT(out.size(), 65536);
    EXPECT_EQ(readRegularFile(QStringLiteral("/proc/self/smaps"), 65536, out), 75);
    EXPECT_EQ(out, QByteArray());
    put("12345");
    EXPECT_EQ(readRegularFile(ini(), 5, out), 0);
    EXPECT_EQ(out, "12345");
    EXPECT_EQ(readRegularFile(ini(), 4, out), 75);
    EXPECT_EQ(out, QByteArray());
    EXPECT_EQ(readRegularFile(dir.filePath("none"), 4, out), -1);
    EXPECT_EQ(readRegularFile(dir.filePath("none/deeper"), 4, out), -1);
    EXPECT_EQ(openCount(), before);
}

// Reading at the edges of the rules: quotes that hold nothing, a section
// named by nothing, a header whose "]" is missing, a key that is a comment;
// a UTF-16 mark alone still makes a UTF-16 file, also for the writer.
TEST_F(ProfileFileTest, TheRulesHoldAtTheirEdges)
{
    put("[]\r\nk=empty section\r\n[S]\r\nq=\"\"\r\nr=''\r\none=\"\r\nmixed=\"x'\r\n;c=comment\r\n [ Open \r\nk = open \r\n");
    EXPECT_EQ(get("", "k"), QStringLiteral("empty section"));
    EXPECT_EQ(get("S", "q"), QString());
    EXPECT_EQ(get("S", "r"), QString());
    EXPECT_EQ(get("S", "one"), QStringLiteral("\""));
    EXPECT_EQ(get("S", "mixed"), QStringLiteral("\"x'"));
    EXPECT_EQ(get("S", ";c"), QStringLiteral("<def>"));
    EXPECT_EQ(get("open", "k"), QStringLiteral("open"));
    // A byte-order mark in front of a later header (two files run together)
    // is no part of it.
    put("k=top\r\n\xEF\xBB\xBF [S]\r\nk=under\r\n");
    EXPECT_EQ(get("S", "k"), QStringLiteral("under"));
    put("k=top\r\n[\r\nk=bare\r\n");
    EXPECT_EQ(get("", "k"), QStringLiteral("bare"));
    // An empty key is named only by a line with nothing before its "=":
    // never by a comment, a blank line or a line without "=".
    put("[S]\r\n; note\r\n\r\nplain text\r\nk=v\r\n");
    EXPECT_EQ(get("S", ""), QStringLiteral("<def>"));
    EXPECT_EQ(get("S", " "), QStringLiteral("<def>"));
    put("[S]\r\nplain text\r\n = nameless \r\n");
    EXPECT_EQ(get("S", ""), QStringLiteral("nameless"));

    put("\xFF\xFE");
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "v"), 0);
    EXPECT_EQ(bytes(), QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22));
    EXPECT_EQ(get("S", "k"), QStringLiteral("v"));
    put("\xFE\xFF");
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "v"), 0);
    EXPECT_EQ(bytes(), QByteArray("\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n", 22));
    put("\xEF\xBB\xBF");
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "v"), 0);
    EXPECT_EQ(bytes(), "\xEF\xBB\xBF[S]\r\nk=v\r\n");
}
