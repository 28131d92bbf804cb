#include "platform/Drives.h"
#include "shared/IniAccess.h"
#include "shared/SettingsTable.h"
#include "shared/basPageSetup.h"

#include "shared_fixture.h"
#include "support/TempDrive.h"

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
    void put(const QByteArray& bytes) const { testing_support::writeFile(ini(), bytes); }
    QByteArray bytes() const { return testing_support::fileBytes(ini(), {}); }
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

// The file format's rules (names, quotes, line ends, atomic writes, refused
// values) are the profile file's, tested with it; here the typed readers
// and writers on top of it.

TEST(StringIsValidLongInRange, AcceptsAnOptionalSignAndDecimalDigitsWithinALongOnly)
{
    const std::tuple<QString, Long, Long> good[] = {
        {"9", 0, 9}, {"+5", 0, 9}, {"-5", -9, 9}, {"007", 0, 9}, {"2147483647", 0, 2147483647}, {"-2147483648", -2147483647 - 1, 0}};
    for (const auto& [text, lo, hi] : good) EXPECT_TRUE(StringIsValidLongInRange(text, lo, hi)) << text.toStdString();
    EXPECT_FALSE(StringIsValidLongInRange("10", 0, 9));
    EXPECT_FALSE(StringIsValidLongInRange("-1", 0, 9));
    for (const char* bad : {"", "   ", "3.0", " 5", "5 ", "1 2", "abc", "1e3", "&H1F", "0x1F", "1,000", "+", "-", "5-", "(5)",
                            "$5", "99999999999", "2147483648"})
        EXPECT_FALSE(StringIsValidLongInRange(bad, 0, 2147483647)) << bad;
    EXPECT_FALSE(StringIsValidLongInRange(QString(40, u'9'), 0, 2147483647));
    EXPECT_FALSE(StringIsValidLongInRange(QStringLiteral("٣"), 0, 9)); // not an ASCII digit
}

TEST_F(IniTest, TypedReadersFallBackToTheirDefaultsWithoutWritingBackAndWritersRoundTrip)
{
    Long err = -1;
    Integer len = 0;
    EXPECT_EQ(GetIniString(ini(), "General", "DateFormat", 10, "short", len, err), "short") << "no file";
    EXPECT_EQ(len, 5);
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(GetIniBoolean(ini(), "General", "FailSafe", true, err));

    // Numbers: trimmed, then whole, in range, else the default.
    EXPECT_EQ(fontSizeFor("12"), 12);
    EXPECT_EQ(fontSizeFor(" 12 "), 12);
    for (const QByteArray v : {"13", "7", "8.0", "1 2", "abc", "", "99999999999", "0x0A"})
        EXPECT_EQ(fontSizeFor(v), 8) << v.constData();
    EXPECT_EQ(bytes(), "[PageSetup]\r\nFontSize=0x0A\r\n") << "nothing is written back";
    put("[G]\r\nN=\r\n");
    EXPECT_EQ(GetIniLong(ini(), "G", "N", -1, 0, 10, err), -1) << "an empty number takes the default, even out of range";

    // Booleans: True or False in any case, nothing else.
    EXPECT_TRUE(boolFor("  tRUE  ", false));
    EXPECT_FALSE(boolFor("false", true));
    for (const QByteArray v : {"yes", "1", "-1", "", "truest"}) {
        EXPECT_TRUE(boolFor(v, true)) << v.constData();
        EXPECT_FALSE(boolFor(v, false)) << v.constData();
    }

    // Text: a blank value gives the default as it is, untrimmed.
    put("[G]\r\nBlank=    \r\n");
    EXPECT_EQ(GetIniString(ini(), "G", "Blank", 100, " dflt ", len, err), " dflt ");
    EXPECT_EQ(len, 6);

    // The typed writers round-trip.
    QFile::remove(ini());
    for (const bool v : {true, false}) {
        ASSERT_EQ(WriteIniBoolean(ini(), "General", "FailSafe", v), 0);
        EXPECT_EQ(GetIniBoolean(ini(), "General", "FailSafe", !v, err), v);
    }
    ASSERT_EQ(WriteIniLong(ini(), "General", "Comparison", -5), 0);
    ASSERT_EQ(WriteIniInteger(ini(), "PageSetup", "FontSize", 11), 0);
    ASSERT_EQ(WriteIniString(ini(), "General", "PrimaryInitialPath", QStringLiteral("C:\\Έγγραφα")), 0);
    EXPECT_EQ(bytes(), "[General]\r\nFailSafe=False\r\nComparison=-5\r\nPrimaryInitialPath="
                           + QStringLiteral("C:\\Έγγραφα").toUtf8() + "\r\n[PageSetup]\r\nFontSize=11\r\n");
}

// --- Page setup -----------------------------------------------------------------

// The date and time formats are "short" or "long" as written, blanks
// around allowed; any other spelling gives the format's default.
TEST_F(IniTest, TheDateAndTimeFormatsTakeOnlyShortOrLong)
{
    const struct {
        const char* value;
        const char *date, *time;
    } rows[] = {
        {"short", "short", "short"}, {"long", "long", "long"}, {" long ", "long", "long"}, {"Long", "short", "long"},
        {"SHORT", "short", "long"},  {"medium", "short", "long"}, {"", "short", "long"},    {"shortlong", "short", "long"},
    };
    const Setting* date = FindSetting(g(), &g().DateFormatName);
    const Setting* time = FindSetting(g(), &g().TimeFormatName);
    ASSERT_TRUE(date && time);
    for (const auto& r : rows) {
        put(QByteArray("[General]\r\nDateFormat=") + r.value + "\r\nTimeFormat=" + r.value + "\r\n");
        EXPECT_EQ(ReadSetting(ini(), *date, g()), 0);
        EXPECT_EQ(ReadSetting(ini(), *time, g()), 0);
        EXPECT_EQ(g().DateFormatName, QLatin1String(r.date)) << r.value;
        EXPECT_EQ(g().TimeFormatName, QLatin1String(r.time)) << r.value;
    }
}

// Every setting of the table read from an INI file: its default when the
// key is missing, each whole number's bounds taken and one beyond them
// refused, the texts' length limits; and the order of the Options window's
// writes.
TEST_F(IniTest, EverySettingReadsItsDefaultItsBoundsAndTheOptionsWriteInTheirOrder)
{
    const struct { const char *section, *key; Long byDefault, minimum, maximum; } wholes[] = {
        {"General", "StructureIndex", 0, 0, 1},   {"General", "Comparison", 0, 0, 2},
        {"General", "ExportStructure", 1, 0, 2},  {"General", "ImportStructure", 1, 0, 2},
        {"General", "NumberOfLevels", 1, 0, 9999}, {"General", "PrintDestination", 0, 0, 2},
        {"GridColumnWidths", "0", 200, 200, 32767},  {"GridColumnWidths", "1", 2345, 200, 32767},
        {"GridColumnWidths", "2", 2345, 200, 32767}, {"GridColumnWidths", "3", 1250, 200, 32767},
        {"GridColumnWidths", "4", 1250, 200, 32767}, {"GridColumnWidths", "5", 1000, 200, 32767},
        {"GridColumnWidths", "6", 1000, 200, 32767}, {"GridColumnWidths", "7", 850, 200, 32767},
        {"GridColumnWidths", "8", 850, 200, 32767},
    };
    const struct { const char *section, *key; bool byDefault; } flags[] = {
        {"General", "Language", false}, {"General", "ResizeFont", false},
        {"General", "DisplayPrimaryPathFirstLevelFolders", false}, {"General", "DisplaySecondaryPathFirstLevelFolders", false},
        {"General", "DisplayPrimaryPathFirstLevelFiles", false}, {"General", "DisplaySecondaryPathFirstLevelFiles", false},
        {"General", "NoToolTipPathNames", false}, {"General", "SortSavedPaths", false},
        {"General", "CompareOnlyTheCommonFiles", true}, {"General", "DisplayOnlyTheDifferences", false},
        {"General", "AbilityToExcludeFolders", true}, {"General", "DisplayOptions", true},
        {"FileAttributes", "Hidden", true}, {"FileAttributes", "System", true}, {"FileAttributes", "ReadOnly", true},
        {"FileAttributes", "Archive", true}, {"General", "DisplayElapsedTime", false},
        {"General", "SaveGridColumnWidths", false}, {"General", "RemindMeToPrint", true}, {"General", "FailSafe", false},
        {"General", "ExtendedInformation", true},
    };
    const auto row = [](const char* section, const char* key) -> const Setting* {
        for (const Setting& s : Settings())
            if (QLatin1String(s.section) == QLatin1String(section) && QLatin1String(s.key) == QLatin1String(key)) return &s;
        return nullptr;
    };
    const auto readAs = [&](const Setting& s, const QByteArray& value) {
        put("[" + QByteArray(s.section) + "]\r\n" + (value.isNull() ? QByteArray() : QByteArray(s.key) + "=" + value + "\r\n"));
        EXPECT_EQ(ReadSetting(ini(), s, g()), 0);
        return SettingText(s, g());
    };
    for (const auto& w : wholes) {
        SCOPED_TRACE(std::string(w.section) + "/" + w.key);
        const Setting* s = row(w.section, w.key);
        ASSERT_TRUE(s);
        const QString byDefault = QString::number(w.byDefault);
        EXPECT_EQ(readAs(*s, QByteArray()), byDefault);
        EXPECT_EQ(readAs(*s, QByteArray::number(w.minimum)), QString::number(w.minimum));
        EXPECT_EQ(readAs(*s, QByteArray::number(w.maximum)), QString::number(w.maximum));
        EXPECT_EQ(readAs(*s, QByteArray::number(w.minimum - 1)), byDefault);
        EXPECT_EQ(readAs(*s, QByteArray::number(w.maximum + 1)), byDefault);
    }
    for (const auto& f : flags) {
        SCOPED_TRACE(std::string(f.section) + "/" + f.key);
        const Setting* s = row(f.section, f.key);
        ASSERT_TRUE(s);
        EXPECT_EQ(readAs(*s, QByteArray()), f.byDefault ? QStringLiteral("True") : QStringLiteral("False"));
        EXPECT_EQ(readAs(*s, f.byDefault ? "False" : "True"), f.byDefault ? QStringLiteral("False") : QStringLiteral("True"));
    }
    // Texts: the pattern keeps 2,047 characters, the formats 99, the initial paths any length.
    const Setting* pattern = row("FileAttributes", "Pattern");
    ASSERT_TRUE(pattern);
    EXPECT_EQ(readAs(*pattern, QByteArray()), QStringLiteral("*.*"));
    EXPECT_EQ(readAs(*pattern, QByteArray(3000, 'p')), QString(2047, u'p'));
    g().ApplicationPath = QStringLiteral("C:\\App");
    for (const char* key : {"PrimaryInitialPath", "SecondaryInitialPath"}) {
        const Setting* path = row("General", key);
        ASSERT_TRUE(path);
        EXPECT_EQ(readAs(*path, QByteArray()), QStringLiteral("C:\\App"));
        EXPECT_EQ(readAs(*path, "D:\\" + QByteArray(5000, 'd')), QStringLiteral("D:\\") + QString(5000, u'd'));
    }
    const Setting* date = row("General", "DateFormat");
    ASSERT_TRUE(date);
    EXPECT_EQ(readAs(*date, "long" + QByteArray(94, ' ') + "x"), QStringLiteral("short")) << "99 characters are kept";
    EXPECT_EQ(readAs(*date, "long" + QByteArray(95, ' ') + "x"), QStringLiteral("long")) << "the 100th is cut";

    // Each written row has a place of its own, 1 first, without gaps.
    QStringList order;
    QList<int> places;
    for (const Setting* s : OptionsApplySettings()) {
        order << QLatin1String(s->key);
        places << s->applyRank;
    }
    for (int k = 0; k < places.size(); ++k) EXPECT_EQ(places[k], k + 1) << order[k].toStdString();
    EXPECT_EQ(order, QStringList({"PrimaryInitialPath", "SecondaryInitialPath", "Pattern", "Hidden", "System", "ReadOnly", "Archive",
                                  "NumberOfLevels", "DateFormat", "TimeFormat", "Comparison", "DisplayOnlyTheDifferences",
                                  "AbilityToExcludeFolders", "DisplayElapsedTime", "SaveGridColumnWidths",
                                  "CompareOnlyTheCommonFiles", "RemindMeToPrint", "NoToolTipPathNames", "ResizeFont",
                                  "DisplayOptions", "FailSafe", "ExtendedInformation"}));
}

TEST_F(IniTest, PageSetupRoundTripsChecksTheFontNameAndAHalfReadOneIsStillUsable)
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

    // A half-read page setup still leaves usable values; saving returns the first failed write.
    QFile::remove(ini());
    QDir(dir.path()).mkdir(QStringLiteral("Quillmarsh.ini")); // every read fails
    EXPECT_NE(basPageSetup::LoadPageSetup(), 0);
    EXPECT_EQ(g().PageSetupFontName, "Courier New");
    EXPECT_EQ(g().PageSetupFontSize, 8);
    EXPECT_EQ(g().PageSetupLinesPerPage, 30); // never 0 lines per page

    QDir(dir.path()).rmdir(QStringLiteral("Quillmarsh.ini"));
    put("[PageSetup]\r\nFontSize=9\r\n");
    ::chmod(QFile::encodeName(ini()).constData(), 0444);
    EXPECT_EQ(basPageSetup::SavePageSetup(), 75);
    ::chmod(QFile::encodeName(ini()).constData(), 0644);
}

// (A folder in place of the INI is the start-up's test.)
TEST_F(IniTest, AReadOnlyIniIsNamedOnceThenReadAndNotWritten)
{
    EXPECT_EQ(WriteIniLong(ini(), "General", "StructureIndex", 1), 0);
    ASSERT_TRUE(QFile::setPermissions(ini(), QFile::ReadOwner));
    g().LanguageIsGreek = true;
    EXPECT_TRUE(CheckIniFile(ini()).contains(ini() + QStringLiteral("' δεν μπορεί να γραφεί: ")));
    EXPECT_EQ(WriteIniLong(ini(), "General", "StructureIndex", 0), 0);   // said once, not again
    Long error = -1;
    EXPECT_EQ(GetIniLong(ini(), "General", "StructureIndex", 0, 0, 1, error), 1);
    EXPECT_EQ(error, 0);
    QFile::setPermissions(ini(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(CheckIniFile(ini()), QString());   // each check looks again
}

// --- The INI file's name ---------------------------------------------------------

TEST_F(IniTest, TheLogicalIniNameIsMappedToThisMachinesPath)
{
    testing_support::mountDrives({{'C', QStringLiteral("/")}});
    EXPECT_EQ(MakeIniFileName("C:\\Apps\\Tarnwick"), "C:\\Apps\\Tarnwick\\Quillmarsh.ini");
    EXPECT_EQ(IniNativePath("C:\\opt\\app\\Quillmarsh.ini"), "/opt/app/Quillmarsh.ini");
    EXPECT_EQ(IniNativePath("/already/native.ini"), "/already/native.ini");
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
