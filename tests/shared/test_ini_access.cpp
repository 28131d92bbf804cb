#include "platform/Drives.h"
#include "shared/IniAccess.h"
#include "shared/basPageSetup.h"

#include "shared_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace basGlobal;

namespace {

class IniTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().IniFileName = ini();
    }
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
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    Integer fontSizeFor(const QByteArray& value)
    {
        put("[PageSetup]\r\nFontSize=" + value + "\r\n");
        Long err = -1;
        const Integer v = GetIniInteger(ini(), "PageSetup", "FontSize", 8, 8, 12, err);
        EXPECT_EQ(err, 0);
        return v;
    }
    bool boolFor(const QByteArray& value, bool def)
    {
        put("[General]\r\nFlag=" + value + "\r\n");
        Long err = -1;
        return GetIniBoolean(ini(), "General", "Flag", def, err);
    }

    QTemporaryDir dir;
};

} // namespace

// --- The whole-number test ------------------------------------------------------

TEST(StringIsValidLongInRange, AcceptsAnOptionalSignAndDecimalDigitsOnly)
{
    EXPECT_TRUE(StringIsValidLongInRange("9", 0, 9));
    EXPECT_TRUE(StringIsValidLongInRange("+5", 0, 9));
    EXPECT_TRUE(StringIsValidLongInRange("-5", -9, 9));
    EXPECT_TRUE(StringIsValidLongInRange("007", 0, 9));
    EXPECT_FALSE(StringIsValidLongInRange("10", 0, 9));
    EXPECT_FALSE(StringIsValidLongInRange("-1", 0, 9));
    for (const char* bad : {"", "   ", "3.0", " 5", "5 ", "1 2", "abc", "1e3", "&H1F", "0x1F",
                            "1,000", "+", "-", "5-", "(5)", "$5"})
        EXPECT_FALSE(StringIsValidLongInRange(bad, 0, 9999)) << bad;
    EXPECT_FALSE(StringIsValidLongInRange(QStringLiteral("٣"), 0, 9)); // not an ASCII digit
}

TEST(StringIsValidLongInRange, ValuesBeyondALongAreFalseNotAFailure)
{
    EXPECT_TRUE(StringIsValidLongInRange("2147483647", 0, 2147483647));
    EXPECT_TRUE(StringIsValidLongInRange("-2147483648", -2147483647 - 1, 0));
    EXPECT_FALSE(StringIsValidLongInRange("99999999999", 0, 2147483647));
    EXPECT_FALSE(StringIsValidLongInRange("2147483648", 0, 2147483647));
    EXPECT_FALSE(StringIsValidLongInRange(QString(40, u'9'), 0, 2147483647));
}

// --- Readers -------------------------------------------------------------------

TEST_F(IniTest, AMissingFileGivesEveryDefaultWithoutError)
{
    Long err = -1;
    Integer len = 0;
    EXPECT_EQ(GetIniString(ini(), "General", "DateFormat", 10, "short", len, err), "short");
    EXPECT_EQ(len, 5);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(GetIniLong(ini(), "GridColumnWidths", "1", 2345, 0, 20000, err), 2345);
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(GetIniBoolean(ini(), "General", "FailSafe", true, err));
    EXPECT_EQ(err, 0);

    g().PageSetupLinesPerPage = 77;
    EXPECT_EQ(basPageSetup::LoadPageSetup(), 0);
    EXPECT_EQ(g().PageSetupFontName, "Courier New");
    EXPECT_EQ(g().PageSetupFontSize, 8);
    EXPECT_EQ(g().PageSetupTopMargin, 0);
    EXPECT_EQ(g().PageSetupLeftMargin, 0);
    EXPECT_EQ(g().PageSetupLinesPerPage, 30);
}

TEST_F(IniTest, NumbersOutOfRangeOrOfTheWrongFormGiveTheDefault)
{
    EXPECT_EQ(fontSizeFor("12"), 12);
    EXPECT_EQ(fontSizeFor(" 12 "), 12); // the reader trims before the test
    for (const QByteArray v : {"13", "7", "8.0", "1 2", "abc", "", "99999999999", "0x0A"})
        EXPECT_EQ(fontSizeFor(v), 8) << v.constData();
    // Nothing is written back.
    EXPECT_EQ(bytes(), "[PageSetup]\r\nFontSize=0x0A\r\n");
}

TEST_F(IniTest, AnEmptyNumberTakesTheDefaultEvenOutOfRange)
{
    put("[G]\r\nN=\r\n");
    Long err = 0;
    EXPECT_EQ(GetIniLong(ini(), "G", "N", -1, 0, 10, err), -1);
    EXPECT_EQ(GetIniLong(ini(), "G", "N", 4, 0, 10, err), 4);
}

TEST_F(IniTest, BooleansAreTrueOrFalseInAnyCaseAndNothingElse)
{
    EXPECT_TRUE(boolFor("true", false));
    EXPECT_TRUE(boolFor("True", false));
    EXPECT_TRUE(boolFor("  TRUE  ", false));
    EXPECT_FALSE(boolFor("false", true));
    for (const QByteArray v : {"yes", "1", "-1", "", "truest"}) {
        EXPECT_TRUE(boolFor(v, true)) << v.constData();
        EXPECT_FALSE(boolFor(v, false)) << v.constData();
    }
}

TEST_F(IniTest, TextIsTrimmedCutAndBlankValuesGiveTheDefaultUntrimmed)
{
    put("[G]\r\nBlank=    \r\nPath=  C:\\A B\\C  \r\nLong=" + QByteArray(150, 'x') + "\r\n");
    Long err = 0;
    Integer len = 0;
    EXPECT_EQ(GetIniString(ini(), "G", "Blank", 100, " dflt ", len, err), " dflt ");
    EXPECT_EQ(len, 6);
    EXPECT_EQ(GetIniString(ini(), "G", "Path", 100, "", len, err), "C:\\A B\\C");
    EXPECT_EQ(len, 8);
    EXPECT_EQ(GetIniString(ini(), "G", "Long", 100, "", len, err), QString(99, u'x'));
    EXPECT_EQ(len, 99);
}

TEST_F(IniTest, AnUnreadableFileGivesTheDefaultAndItsErrorNumber)
{
    QDir(dir.path()).mkdir(QStringLiteral("Quillmarsh.ini"));
    Long err = 0;
    EXPECT_EQ(GetIniLong(ini(), "G", "N", 3, 0, 10, err), 3);
    EXPECT_NE(err, 0);
}

// --- Writers -------------------------------------------------------------------

TEST_F(IniTest, WritersRoundTripAndKeepForeignLines)
{
    put("; kept\r\n[General]\r\nUnknownKey=keep me\r\n[Elsewhere]\r\nx=1\r\n");
    Long err = 0;
    for (const bool v : {true, false}) {
        ASSERT_EQ(WriteIniBoolean(ini(), "General", "FailSafe", v), 0);
        EXPECT_EQ(GetIniBoolean(ini(), "General", "FailSafe", !v, err), v);
    }
    ASSERT_EQ(WriteIniLong(ini(), "General", "Comparison", -5), 0);
    EXPECT_EQ(GetIniLong(ini(), "General", "Comparison", 0, -10, 10, err), -5);
    ASSERT_EQ(WriteIniInteger(ini(), "PageSetup", "FontSize", 11), 0);
    ASSERT_EQ(WriteIniString(ini(), "General", "PrimaryInitialPath", QStringLiteral("C:\\Έγγραφα")), 0);
    EXPECT_EQ(bytes(),
              "; kept\r\n[General]\r\nUnknownKey=keep me\r\nFailSafe=False\r\nComparison=-5\r\n"
              "PrimaryInitialPath=" + QStringLiteral("C:\\Έγγραφα").toUtf8() + "\r\n"
              "[Elsewhere]\r\nx=1\r\n[PageSetup]\r\nFontSize=11\r\n");
}

TEST_F(IniTest, AValueWithALineBreakIsRefused)
{
    put("[G]\r\nP=old\r\n");
    EXPECT_EQ(WriteIniString(ini(), "G", "P", "C:\\a\nb"), 5);
    EXPECT_EQ(WriteIniString(ini(), "G", "P", "C:\\a\rb"), 5);
    EXPECT_EQ(bytes(), "[G]\r\nP=old\r\n");
}

TEST_F(IniTest, AWriteThatFailsReportsItsErrorAndKeepsTheOldFile)
{
    put("[G]\r\nP=old\r\n");
    const QByteArray native = QFile::encodeName(ini());
    ASSERT_EQ(::chmod(native.constData(), 0444), 0);
    EXPECT_EQ(WriteIniBoolean(ini(), "G", "P", true), 75);
    EXPECT_EQ(WriteIniLong(ini(), "G", "P", 1), 75);
    EXPECT_EQ(WriteIniString(ini(), "G", "P", "x"), 75);
    ::chmod(native.constData(), 0644);
    EXPECT_EQ(bytes(), "[G]\r\nP=old\r\n");
}

// --- Page setup -----------------------------------------------------------------

TEST_F(IniTest, PageSetupRoundTripsAndChecksTheFontName)
{
    g().PageSetupFontName = "Courier New Greek";
    g().PageSetupFontSize = 12;
    g().PageSetupTopMargin = 20;
    g().PageSetupLeftMargin = 30;
    g().PageSetupLinesPerPage = 80;
    ASSERT_EQ(basPageSetup::SavePageSetup(), 0);
    basGlobal::resetGlobals();
    g().IniFileName = ini();
    ASSERT_EQ(basPageSetup::LoadPageSetup(), 0);
    EXPECT_EQ(g().PageSetupFontName, "Courier New Greek");
    EXPECT_EQ(g().PageSetupFontSize, 12);
    EXPECT_EQ(g().PageSetupTopMargin, 20);
    EXPECT_EQ(g().PageSetupLeftMargin, 30);
    EXPECT_EQ(g().PageSetupLinesPerPage, 80);

    ASSERT_EQ(WriteIniString(ini(), "PageSetup", "FontName", "courier new greek"), 0);
    ASSERT_EQ(basPageSetup::LoadPageSetup(), 0);
    EXPECT_EQ(g().PageSetupFontName, "Courier New");
}

TEST_F(IniTest, AHalfReadPageSetupStillLeavesUsableValues)
{
    QDir(dir.path()).mkdir(QStringLiteral("Quillmarsh.ini")); // every read fails
    EXPECT_NE(basPageSetup::LoadPageSetup(), 0);
    EXPECT_EQ(g().PageSetupFontName, "Courier New");
    EXPECT_EQ(g().PageSetupFontSize, 8);
    EXPECT_EQ(g().PageSetupLinesPerPage, 30); // never 0 lines per page
}

TEST_F(IniTest, SavePageSetupReturnsTheFirstFailedWrite)
{
    put("[PageSetup]\r\nFontSize=9\r\n");
    ::chmod(QFile::encodeName(ini()).constData(), 0444);
    g().PageSetupFontName = "Courier New";
    EXPECT_EQ(basPageSetup::SavePageSetup(), 75);
    ::chmod(QFile::encodeName(ini()).constData(), 0644);
}

// --- The INI file's name ---------------------------------------------------------

TEST_F(IniTest, TheLogicalIniNameIsMappedToThisMachinesPath)
{
    platform::Drive root;
    root.letter = QLatin1Char('C');
    root.mountPoint = QStringLiteral("/");
    root.type = platform::driveFixed;
    platform::setDrives(platform::DriveTable({root}));
    EXPECT_EQ(MakeIniFileName("C:\\Apps\\Tarnwick"), "C:\\Apps\\Tarnwick\\Quillmarsh.ini");
    EXPECT_EQ(IniNativePath("C:\\opt\\app\\Quillmarsh.ini"), "/opt/app/Quillmarsh.ini");
    EXPECT_EQ(IniNativePath("c:\\x"), "/x");
    EXPECT_EQ(IniNativePath("/already/native.ini"), "/already/native.ini");
    EXPECT_EQ(IniNativePath(QString("C:\\a") + QChar(0xF000 + '?') + "b"), "/a?b");
    EXPECT_EQ(IniNativePath("E:\\not\\mapped.ini"), ""); // the drive table knows other letters

    // A logical name on "C:" reaches the same file as the native one.
    const QString logical = QStringLiteral("C:") + QString(ini()).replace(u'/', u'\\');
    ASSERT_EQ(WriteIniLong(logical, "G", "N", 7), 0);
    Long err = 0;
    EXPECT_EQ(GetIniLong(ini(), "G", "N", 0, 0, 10, err), 7);

    SetIniPathMapper([this](const QString&) { return ini(); });
    EXPECT_EQ(GetIniLong("E:\\anything.ini", "G", "N", 0, 0, 10, err), 7);
    SetIniPathMapper({});
    EXPECT_EQ(WriteIniLong("E:\\not\\mapped.ini", "G", "N", 1), 76);
    platform::reloadDrives();
}
