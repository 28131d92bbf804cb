#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "shared/qstring_print.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("Quillmarsh.ini")); }

    void put(const QByteArray& bytes) const
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() const
    {
        QFile f(ini());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }
    QString get(const QString& section, const QString& key, int capacity = 256) const
    {
        return getProfileString(ini(), section, key, QStringLiteral("<def>"), capacity);
    }
};

} // namespace

// --- Reading -------------------------------------------------------------------

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGiveTheDefaultWithoutError)
{
    int err = -1;
    EXPECT_EQ(getProfileString(ini(), "General", "Language", "dflt", 100, &err), "dflt");
    EXPECT_EQ(err, 0);
    put("[General]\r\nLanguage=Greek\r\n");
    EXPECT_EQ(get("Other", "Language"), "<def>");
    EXPECT_EQ(get("General", "Missing"), "<def>");
    EXPECT_EQ(get("General", "Language"), "Greek");
}

TEST_F(ProfileFileTest, NamesAreCaseBlindAndTheFirstMatchWins)
{
    put("Stray=outside\r\n[general]\r\n  LANGUAGE  =  first  \r\nlanguage=second\r\n"
        "[GENERAL]\r\nOnlyInSecond=x\r\nLanguage=third\r\n");
    EXPECT_EQ(get("General", "language"), "first");
    // Only the first matching section is consulted.
    EXPECT_EQ(get("General", "OnlyInSecond"), "<def>");
    // Lines before any section belong to none.
    EXPECT_EQ(get("", "Stray"), "<def>");
}

TEST_F(ProfileFileTest, ValuesLoseBlanksTabsAndOnePairOfOuterQuotes)
{
    put("[S]\r\na=\t \"quoted value\" \r\nb='single'\r\nc=\"unbalanced\r\nd=\"\r\ne=\r\n;f=comment\r\n");
    EXPECT_EQ(get("S", "a"), "quoted value");
    EXPECT_EQ(get("S", "b"), "single");
    EXPECT_EQ(get("S", "c"), "\"unbalanced");
    EXPECT_EQ(get("S", "d"), "\"");
    EXPECT_EQ(get("S", "e"), "");
    EXPECT_EQ(get("S", ";f"), "<def>");
}

TEST_F(ProfileFileTest, AValueIsCutToCapacityMinusOne)
{
    put("[S]\r\nk=" + QByteArray(150, 'x') + "\r\n");
    EXPECT_EQ(get("S", "k", 100).size(), 99);
    EXPECT_EQ(get("S", "k", 1), "");
    EXPECT_EQ(get("S", "k", 151).size(), 150);
}

TEST_F(ProfileFileTest, ReadsCrLfLoneCrAndLoneLfLineEnds)
{
    put("[A]\rk=cr\r[B]\nk=lf\n[C]\r\nk=crlf");
    EXPECT_EQ(get("A", "k"), "cr");
    EXPECT_EQ(get("B", "k"), "lf");
    EXPECT_EQ(get("C", "k"), "crlf");
}

TEST_F(ProfileFileTest, AFileThatIsNotUtf8IsReadAsGreekAnsi)
{
    // "Ελληνικά" in Windows-1253.
    put("[S]\r\nk=\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC\r\n");
    EXPECT_EQ(get("S", "k"), QStringLiteral("Ελληνικά"));
    put("\xEF\xBB\xBF[S]\r\nk=" + QStringLiteral("Ελληνικά").toUtf8() + "\r\n");
    EXPECT_EQ(get("S", "k"), QStringLiteral("Ελληνικά"));
}

TEST_F(ProfileFileTest, AnUnreadableIniGivesTheDefaultAndAnErrorNumber)
{
    QDir(dir.path()).mkdir(QStringLiteral("Quillmarsh.ini"));
    int err = 0;
    EXPECT_EQ(getProfileString(ini(), "S", "k", "d", 10, &err), "d");
    EXPECT_NE(err, 0);
}

// --- Writing -------------------------------------------------------------------

TEST_F(ProfileFileTest, TheFirstWriteCreatesTheFileInUtf8WithCrLf)
{
    EXPECT_EQ(writeProfileString(ini(), "General", "Language", QStringLiteral("Ελληνικά")), 0);
    EXPECT_EQ(bytes(), "[General]\r\nLanguage=" + QStringLiteral("Ελληνικά").toUtf8() + "\r\n");
}

TEST_F(ProfileFileTest, WritesChangeOrAddOneLineAndKeepEveryOtherLine)
{
    put("; my settings\n[General]\nLANGUAGE = English\nOther=1\n\n[Unknown]\nx=y\n");
    EXPECT_EQ(writeProfileString(ini(), "general", "language", "Greek"), 0);
    EXPECT_EQ(writeProfileString(ini(), "General", "New", "2"), 0);
    EXPECT_EQ(writeProfileString(ini(), "PageSetup", "FontSize", "9"), 0);
    EXPECT_EQ(bytes(),
              "; my settings\r\n[General]\r\nLANGUAGE=Greek\r\nOther=1\r\nNew=2\r\n\r\n"
              "[Unknown]\r\nx=y\r\n[PageSetup]\r\nFontSize=9\r\n");
}

TEST_F(ProfileFileTest, GreekAnsiLinesSurviveARewriteAsUtf8)
{
    put("[S]\r\nold=\xC1\r\n");
    EXPECT_EQ(writeProfileString(ini(), "S", "new", "v"), 0);
    EXPECT_EQ(get("S", "old"), QStringLiteral("Α"));
    EXPECT_EQ(get("S", "new"), "v");
}

TEST_F(ProfileFileTest, ValuesAndNamesThatWouldBreakTheLineStructureAreRefused)
{
    put("[S]\r\nk=old\r\n");
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "a\nb"), 5);
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "a\rb"), 5);
    EXPECT_EQ(writeProfileString(ini(), "S", "a=b", "v"), 5);
    EXPECT_EQ(writeProfileString(ini(), "S]", "k", "v"), 5);
    EXPECT_EQ(writeProfileString(ini(), "", "k", "v"), 5);
    EXPECT_EQ(writeProfileString(ini(), "S", " ", "v"), 5);
    EXPECT_EQ(bytes(), "[S]\r\nk=old\r\n");
}

TEST_F(ProfileFileTest, AFailedWriteReturnsAnErrorAndLeavesTheOldFileWhole)
{
    put("[S]\r\nk=old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(ini()).constData(), 0444), 0);
    EXPECT_EQ(writeProfileString(ini(), "S", "k", "new"), 75); // read-only, also for root
    ::chmod(QFile::encodeName(ini()).constData(), 0644);
    EXPECT_EQ(bytes(), "[S]\r\nk=old\r\n");

    // A folder where the INI file should be.
    const QString asFolder = dir.filePath(QStringLiteral("folder.ini"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.ini"));
    EXPECT_EQ(writeProfileString(asFolder, "S", "k", "v"), 75);

    // A file where the INI file's folder should be.
    EXPECT_EQ(writeProfileString(ini() + QStringLiteral("/x.ini"), "S", "k", "v"), 76);
    EXPECT_EQ(writeProfileString(dir.filePath(QStringLiteral("no/such/x.ini")), "S", "k", "v"), 76);

    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(ProfileFileTest, AFolderThatRefusesNewFilesGivesPermissionDenied)
{
    // The folder is closed to everyone but root; as root the write runs as
    // the unprivileged user "nobody" so the refusal is real.
    const QString folder = dir.filePath(QStringLiteral("closed"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/Quillmarsh.ini");
    { QFile f(file); ASSERT_TRUE(f.open(QIODevice::WriteOnly)); f.write("[S]\r\nk=old\r\n"); }
    ::chmod(QFile::encodeName(file).constData(), 0666);
    ::chmod(QFile::encodeName(folder).constData(), 0555);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(200);
        ::_exit(writeProfileString(file, "S", "k", "new"));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 70);
    EXPECT_EQ(getProfileString(file, "S", "k", "", 10), "old");
}

TEST_F(ProfileFileTest, ARewriteKeepsTheFilesPermissions)
{
    put("[S]\r\nk=old\r\n");
    ::chmod(QFile::encodeName(ini()).constData(), 0640);
    ASSERT_EQ(writeProfileString(ini(), "S", "k", "new"), 0);
    struct stat st {};
    ::stat(QFile::encodeName(ini()).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(ProfileFileTest, AWriteThroughASymbolicLinkChangesTheFileItNames)
{
    put("[S]\r\nk=old\r\n");
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    ASSERT_TRUE(QFile::link(ini(), link));
    ASSERT_EQ(writeProfileString(link, "S", "k", "new"), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(get("S", "k"), "new");
}

TEST(TextLines, SplitAtEveryKindOfLineEnd)
{
    EXPECT_EQ(splitTextLines("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitTextLines("a\r\n\r\n"), (QStringList{"a", ""}));
    EXPECT_TRUE(splitTextLines("").isEmpty());
}
