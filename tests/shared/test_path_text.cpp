#include "platform/AppError.h"
#include "shared/FileFacts.h"
#include "shared/PathText.h"
#include "shared/TrappedCall.h"
#include "shared/VbString.h"

#include "shared_fixture.h"

#include "ui/Control.h"
#include "ui/Form.h"

#include <stdexcept>

using namespace basGlobal;

using PathText = SharedTest;

// --- Separators -------------------------------------------------------------------

TEST_F(PathText, TrailingSeparatorsAreAddedAndRemovedOnceAndTextAroundOneIsEmptyWithoutIt)
{
    // f: A add, R remove, a after the last (l: the first) separator, b before the last (f: the first).
    const struct { char f; const char *text, *separator, *expected; } cases[] = {
        {'A', "D:", "\\", "D:\\"}, {'A', "D:\\", "\\", "D:\\"}, {'A', "", "\\", "\\"}, {'A', "a", "", "a\\"}, {'A', "a", "/x", "a/"},
        {'R', "D:\\", "\\", "D:"}, {'R', "a\\\\", "\\", "a\\"}, {'R', "", "\\", ""}, {'R', "D:\\A", "\\", "D:\\A"},
        {'a', "D:\\A\\B", "\\", "B"}, {'a', "D:\\A\\", "\\", ""}, {'a', "D:", "\\", ""}, {'l', "A\\B\\X", "\\", "B\\X"}, {'a', "x|y|z", "|", "z"},
        {'b', "D:\\A\\B", "\\", "D:\\A"}, {'b', "D:\\A", "\\", "D:"}, {'b', "D:", "\\", ""}, {'b', "\\A", "\\", ""}, {'f', "A\\B\\X", "\\", "A"},
    };
    for (const auto& c : cases) {
        const QString t = QLatin1String(c.text), sep = QLatin1String(c.separator);
        const QString got = c.f == 'A' ? AddTrailingSeparator(t, sep) : c.f == 'R' ? RemoveTrailingSeparator(t, sep)
            : c.f == 'a' || c.f == 'l' ? GetTextAfterSeparator(t, sep, c.f == 'a') : GetTextBeforeSeparator(t, sep, c.f == 'b');
        EXPECT_EQ(got, QLatin1String(c.expected)) << c.f << " '" << c.text << "'";
    }
}

// --- Case rule and patterns -----------------------------------------------------------

TEST_F(PathText, TheCaseRuleUpperCasesOneCharacterForOneAndPatternListsAreCaseBlind)
{
    EXPECT_EQ(ApplyCaseSensitivity("Abc", true), "Abc");
    EXPECT_EQ(ApplyCaseSensitivity(QStringLiteral("straße λόγος"), false), QStringLiteral("STRAßE ΛΌΓΟΣ"));
    // Pattern lists skip short pieces, take the first match and are case-blind on any volume.
    EXPECT_TRUE(FileNameMatchesPatterns("Docs\\Notes.txt", "*.doc;*.txt"));
    EXPECT_FALSE(FileNameMatchesPatterns("Docs\\Notes.txt", "*"));
    EXPECT_FALSE(FileNameMatchesPatterns("a.txt", "?;  ;*"));
    EXPECT_TRUE(FileNameMatchesPatterns("Notes.txt", ";;*.txt"));
    EXPECT_FALSE(FileNameMatchesPatterns("Notes.txt", ""));
    g().VolumeIsCaseSensitive = true;
    EXPECT_TRUE(FileNameMatchesPatterns("NOTES.TXT", "*.txt"));
    EXPECT_TRUE(FileNameMatchesPatterns(QStringLiteral("Έγγραφο.TXT"), QStringLiteral("έγγραφο.*")));
}

// --- Validators -------------------------------------------------------------------

TEST_F(PathText, DatesTimesAndFlagsAreValidOnlyInTheirOwnShape)
{
    const struct {
        char kind;   // D date (eight digits, carry past the month's end), T time, B True/False
        const char* text;
        bool valid;
    } cases[] = {
        {'D', "20020824", true},  {'D', " 20020824 ", true}, {'D', "2002082", false},  {'D', "20021324", false},
        {'D', "2002 824", false}, {'D', "20020800", false},  {'D', "20020832", false}, {'D', "20020431", true},
        {'D', "20020231", true},  {'D', "00000101", true},   {'D', "99991231", true},  {'D', "99991232", false},
        {'D', "2002O824", false}, {'D', "", false},          {'D', "20020015", false},
        {'T', "235959", true},    {'T', "000000", true},     {'T', "240000", false},   {'T', "236000", false},
        {'T', "235960", false},   {'T', "23595", false},     {'T', "23 959", false},
        {'B', " true ", true},    {'B', "FALSE", true},      {'B', "Yes", false},      {'B', "1", false},
    };
    for (const auto& c : cases) {
        const QString t = QLatin1String(c.text);
        const bool valid = c.kind == 'D' ? StringIsValidDate(t) : c.kind == 'T' ? StringIsValidTime(t) : StringIsValidBoolean(t);
        EXPECT_EQ(valid, c.valid) << c.kind << " '" << c.text << "'";
    }
}

// --- Date and time text -----------------------------------------------------------

TEST_F(PathText, DatesAndTimesFollowTheRegionalFormatsWithCarryOnTheTwentyFourHourClock)
{
    const struct { const char* format; int year, month, day; const char* shown; } dates[] = {
        {"long", 2002, 8, 24, "Saturday, 24 August 2002"}, {"SHORT", 2002, 8, 24, "24/08/2002"}, {"short", 2002, 2, 31, "03/03/2002"},
        {"short", 2002, 13, 1, "01/01/2003"}, {"short", 29, 1, 1, "01/01/2029"}, {"short", 30, 1, 1, "01/01/1930"}, {"medium", 2002, 8, 24, ""},
    };
    Long err = -1;
    for (const auto& d : dates) {
        EXPECT_EQ(FormatDateText(d.format, false, d.year, d.month, d.day, err), QString::fromLatin1(d.shown)) << d.format << " " << d.year;
        EXPECT_EQ(err, 0);
    }
    EXPECT_EQ(FormatDateText("short", false, 9999, 12, 32, err), "");
    EXPECT_EQ(err, 5);
    EXPECT_EQ(FormatDateText("short", true, 0, 0, 0, err), shared::regionalFormats().shortDate(QDate::currentDate()));
    err = -1;
    EXPECT_EQ(FormatTimeText("short", false, 13, 5, 9, err), "13.05");
    EXPECT_EQ(FormatTimeText("long", false, 13, 5, 9, err), "13:05:09");
    EXPECT_EQ(FormatTimeText("long", false, 23, 59, 60, err), "00:00:00");
    EXPECT_EQ(FormatTimeText("other", false, 1, 2, 3, err), "");
    EXPECT_EQ(err, 0);
    // Below zero the clock turns back across midnight.
    EXPECT_EQ(FormatTimeText("long", false, 0, 0, -1, err), "23:59:59");
    EXPECT_EQ(FormatTimeText("long", false, -25, 0, 0, err), "23:00:00");
    EXPECT_EQ(FormatTimeText("long", false, 0, -1440, 0, err), "00:00:00");
    EXPECT_EQ(err, 0);
    // Day 0 is the last of the month before; the years 100 to 9999 only.
    EXPECT_EQ(FormatDateText("short", false, 2004, 3, 0, err), "29/02/2004");
    EXPECT_EQ(FormatDateText("short", false, 2002, 0, 1, err), "01/12/2001");
    EXPECT_EQ(FormatDateText("short", false, 100, 1, 1, err), "01/01/0100");
    EXPECT_EQ(err, 0);
    EXPECT_EQ(FormatDateText("short", false, 100, 1, 0, err), "");
    EXPECT_EQ(err, 5);
}

TEST_F(PathText, AFilesOwnDateKeepsItsYear)
{
    struct Case {
        const char* field;
        const char* format;
        const char* shown;   // "" with error 5
    };
    const Case cases[] = {
        {"20240229", "short", "29/02/2024"},
        {"00500315", "SHORT", "15/03/0050"},   // not 1950: no two-digit-year window
        {"00990101", "short", "01/01/0099"},
        {"100000101", "short", "01/01/10000"},  // not 0999
        {"00010101", "long", "Monday, 1 January 0001"},
        {"20230229", "short", ""},
        {"2024 101", "short", ""},
        {"0101", "short", ""},
        {"-0101", "short", ""},            // a sign without a year
        {"12345678900101", "short", ""},   // more digits than any year has
    };
    for (const Case& c : cases) {
        Long error = -1;
        EXPECT_EQ(FormatFileDateText(QString::fromLatin1(c.format), QString::fromLatin1(c.field), error),
                  QString::fromUtf8(c.shown))
            << c.field;
        EXPECT_EQ(error, *c.shown ? 0 : 5) << c.field;
    }
}

TEST_F(PathText, FileDatesCompareByValueAndFieldsWithoutADateByText)
{
    EXPECT_EQ(CompareFileDateFields(u"100000101", u"99991231"), 1);   // the year 10000 follows 9999
    EXPECT_EQ(CompareFileDateFields(u"00500315", u"00500315"), 0);
    // A month of letters is no date: the texts decide, not the year's value.
    EXPECT_EQ(CompareFileDateFields(u"2002ab15", u"100000101"), 1);
    EXPECT_EQ(CompareFileDateFields(u"100000101", u"2002ab15"), -1);
}

TEST(RegionalFormatsTest, YearsGetFourDigitsAndLongTimesLoseTheirZone)
{
    EXPECT_EQ(shared::withFourDigitYears("d 'yy' yy"), "d 'yy' yyyy");
    EXPECT_EQ(shared::withoutTimeZone("HH:mm:ss 'at' t"), "HH:mm:ss 'at'");
    EXPECT_EQ(shared::withoutTimeZone("HH t mm  ss"), "HH mm ss") << "the blanks around the zone close up";
    EXPECT_EQ(shared::withoutTimeZone("tttt HH:mm"), "HH:mm");

    const auto us = shared::RegionalFormats::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.shortTime(QTime(13, 5)), "13:05"); // 24-hour even where the locale uses AM/PM
    const auto gr = shared::RegionalFormats::fromLocale(QLocale(QLocale::Greek, QLocale::Greece));
    EXPECT_FALSE(gr.longTimeFormat().contains(u't'));
    EXPECT_TRUE(gr.longDate(QDate(2002, 8, 24)).contains("2002"));
}

// The short date is all digits in at most ten characters (printed lines and
// grid columns are that wide): a locale's own when it is, otherwise its order
// of day, month and year with two-digit days and months.
TEST(RegionalFormatsTest, TheShortDateIsNumericAndAtMostTenCharacters)
{
    const struct {
        QLocale locale;
        const char* shown;   // 19 February 2021
    } cases[] = {
        {QLocale::c(), "19/02/2021"},   // "d MMM yyyy" of its own
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "19/02/2021"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "2/19/2021"},
        {QLocale(QLocale::Greek, QLocale::Greece), "19/2/2021"},
        {QLocale(QLocale::German, QLocale::Germany), "19.02.2021"},
        {QLocale(QLocale::Hungarian, QLocale::Hungary), "2021.02.19"},   // "yyyy. MM. dd."
        {QLocale(QLocale::Bulgarian, QLocale::Bulgaria), "19.02.2021"},  // "d.MM.yy 'г'."
        {QLocale(QLocale::Japanese, QLocale::Japan), "2021/02/19"},
    };
    for (const auto& c : cases) {
        const auto f = shared::RegionalFormats::fromLocale(c.locale);
        EXPECT_EQ(f.shortDate(QDate(2021, 2, 19)), c.shown) << c.locale.name().toStdString();
        EXPECT_LE(f.shortDate(QDate(2000, 12, 28)).size(), 10) << c.locale.name().toStdString();
    }
    const struct {
        const char* pattern;
        const char* used;
    } patterns[] = {
        {"d MMMM", "dd/MM/yyyy"},
        {"yyyy-MM-dd", "yyyy-MM-dd"},
        {"d/M/yyyy", "d/M/yyyy"},
        {"yyyy'年'M'月'd'日'", "yyyy/MM/dd"},   // words in quotes, however short
        {"dd.MM.yyyy 'г", "dd.MM.yyyy"},         // a quote left open runs to the end
        {"dd-MM-yy", "dd-MM-yyyy"},
        {"ddd dd/MM/yyyy", "dd/MM/yyyy"},
        {"dd/MM/yyyy G", "dd/MM/yyyy"},
        {"MM/dd", "MM/dd/yyyy"},                 // no year: it goes last
        {"yyyy. MM. dd.", "yyyy.MM.dd"},
    };
    for (const auto& p : patterns)
        EXPECT_EQ(shared::numericShortDate(QString::fromUtf8(p.pattern)), QString::fromUtf8(p.used)) << p.pattern;
}

// --- Compaction, drives, tidying, levels --------------------------------------------

TEST_F(PathText, ALabelIsFilledToItsWidthInItsOwnFont)
{
    ui::Form form("frmMain");
    ui::Label label(form, "lblCurrentPath");
    label.setWidth(100 * ui::twipsPerPixel());
    const QString path = "C:\\Documents\\Projects\\Quillmarsh\\Reports\\";
    ui::Font font = label.font();
    const auto widthIn = [&](const QString& s) { return ui::desktop().measureTextPx(font, s); };
    const QString plain = CompactPathToWidth(label, path);
    EXPECT_LE(widthIn(plain), 100);

    font.bold = true;
    label.setFont(font);
    const QString bold = CompactPathToWidth(label, path);
    EXPECT_LE(widthIn(bold), 100);
    EXPECT_LT(bold.size(), plain.size()); // the wider font keeps less of the path
    EXPECT_EQ(CompactPathForControl(label, path), bold);
}

TEST_F(PathText, DriveTypesAreNamedInTheCurrentLanguage)
{
    const struct { const char* root; int type; bool greek; int result; const char *asked, *name; } cases[] = {
        {"b", 2, false, 1, "b:\\", "Floppy Drive"}, {"E:\\", 2, false, 2, "E:\\", "Removable Drive"},
        {"C:", 3, false, 3, "C:\\", "Local Hard Drive"}, {"Z:", 1, false, 0, "Z:\\", ""},   // no root folder
        {"", 2, false, 0, "", ""}, {"N:", 4, true, 4, "N:\\", "Απομακρυσμένος Δίσκος (Δικτύου)"}, {"R:", 6, true, 6, "R:\\", "Δίσκος RAM"},
        {"D:", 5, false, 5, "D:\\", "CD-ROM Drive"}, {"D:", 5, true, 5, "D:\\", "Δίσκος CD-ROM"},
        {"a:", 2, true, 1, "a:\\", "Εύκαμπτος Δίσκος"}, {"F:", 2, true, 2, "F:\\", "Αφαιρούμενος Δίσκος"},
        {"C:", 3, true, 3, "C:\\", "Τοπικός Σκληρός Δίσκος"}, {"N:", 4, false, 4, "N:\\", "Remote (Network) Drive"},
        {"R:", 6, false, 6, "R:\\", "RAM Disk"}, {"X:", 7, false, 0, "X:\\", ""}, {"X:", 0, false, 0, "X:\\", ""},
    };
    for (const auto& c : cases) {
        g().LanguageIsGreek = c.greek;
        QString asked, name = QStringLiteral("?");
        EXPECT_EQ(GetDriveTypeName(c.root, name, [&](const QString& root) { asked = root; return c.type; }), c.result) << c.root;
        EXPECT_EQ(name, QString::fromUtf8(c.name)) << c.root;
        EXPECT_EQ(asked, QLatin1String(c.asked)) << c.root;
    }
    // A query that fails names nothing.
    QString name = QStringLiteral("?");
    EXPECT_EQ(GetDriveTypeName(QStringLiteral("C:"), name, [](const QString&) -> int { throw platform::makeError(71); }), 0);
    EXPECT_EQ(name, QString());
    name = QStringLiteral("?");
    EXPECT_EQ(GetDriveTypeName(QStringLiteral("C:"), name, [](const QString&) -> int { throw std::runtime_error("gone"); }), 0);
    EXPECT_EQ(name, QString());
    name = QStringLiteral("?");
    EXPECT_EQ(GetDriveTypeName(QStringLiteral("C:"), name, {}), 0);
    EXPECT_EQ(name, QString());
}

TEST_F(PathText, RepeatedCharactersCollapseAndLevelsCountBackslashesBothYielding)
{
    EXPECT_EQ(CollapseRepeatedCharacter("   Local    Disk   (C:)  "), "Local Disk (C:)");
    EXPECT_EQ(CollapseRepeatedCharacter("xxaxxxxxbx", "x"), "axb");
    EXPECT_EQ(CollapseRepeatedCharacter("  a  ", " ", false, true), " a");
    EXPECT_EQ(CollapseRepeatedCharacter("AAa", "a"), "AA"); // exact comparison
    EXPECT_GT(desk.yieldCount(), 0);
    // Levels count backslashes; drive roots are never within.
    EXPECT_FALSE(PathIsWithinLevels("\\a\\b", 1));
    EXPECT_TRUE(PathIsWithinLevels("\\a\\b", 0));
    EXPECT_TRUE(PathIsWithinLevels(" \\a\\b\\ ", 2)); // trimmed, one trailing "\" dropped
    EXPECT_FALSE(PathIsWithinLevels("D:\\", 5));
    const int before = desk.yieldCount();
    PathIsWithinLevels("\\abc", 3);
    EXPECT_EQ(desk.yieldCount() - before, 4); // one yield per character examined
}

// --- 1-based string helpers ---------------------------------------------------------

TEST(VbString, PositionsCountFromOneTrimmingDropsSpacesOnlyAndCaseMappingKeepsLengths)
{
    EXPECT_EQ(vb::Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(vb::Mid("abc", 9), "");
    EXPECT_EQ(vb::InStr(3, "a\\b\\c", "\\"), 4);
    EXPECT_EQ(vb::InStr(1, "abc", ""), 1);
    EXPECT_EQ(vb::InStrRev("a\\b\\c", "\\", 3), 2);
    EXPECT_EQ(vb::InStrRev("a\\b\\c", "\\", -1), 4) << "-1 searches from the end";
    EXPECT_EQ(vb::InStrRev("a\\b\\c", "\\", 9), 0);
    EXPECT_EQ(vb::InStrRev("abc", "", 2), 2);
    EXPECT_EQ(TrappedCall([] { vb::InStrRev("abc", "b", 0); }), 5) << "InStrRev from position 0 raises";
    EXPECT_EQ(TrappedCall([] { vb::InStrRev("abc", "b", -2); }), 5) << "InStrRev from below -1 raises";
    EXPECT_EQ(vb::Left("abc", 5), "abc");
    EXPECT_EQ(TrappedCall([] { vb::Mid("abc", 0); }), 5) << "Mid from position 0 raises";
    EXPECT_EQ(vb::Trim(" \ta\t "), "\ta\t");
    EXPECT_EQ(vb::UCase(QStringLiteral("ßάς")), QStringLiteral("ßΆΣ"));
    EXPECT_EQ(vb::LCase(QStringLiteral("ΆΣ")), QStringLiteral("άσ"));
    const QString deseret = QString::fromUcs4(U"\U00010428x");
    EXPECT_EQ(vb::UCase(deseret), QString::fromUcs4(U"\U00010400X"));
    // Half a pair stays as it is, and the character before it is still mapped.
    EXPECT_EQ(vb::UCase(QStringLiteral("é") + QChar(0xDC00)), QStringLiteral("É") + QChar(0xDC00));
}

// Each helper at the edges of its arguments: the last valid position and
// length, one past them, and the invalid call below them.
TEST(VbString, EveryHelperAtTheEdgesOfItsArguments)
{
    const QString s = QStringLiteral("abcabc");
    EXPECT_EQ(vb::Len(s), 6);
    EXPECT_EQ(vb::Mid(s, 1), s);
    EXPECT_EQ(vb::Mid(s, 6), "c");
    EXPECT_EQ(vb::Mid(s, 7), "");
    EXPECT_EQ(vb::Mid(s, 6, 5), "c");
    EXPECT_EQ(vb::Mid(s, 2, 0), "");
    EXPECT_EQ(vb::Mid(s, 2, -1), "bcabc") << "-1 takes the rest";
    EXPECT_EQ(TrappedCall([&] { vb::Mid(s, 2, -2); }), 5);
    EXPECT_EQ(vb::Left(s, 0), "");
    EXPECT_EQ(vb::Left(s, 2), "ab");
    EXPECT_EQ(TrappedCall([&] { vb::Left(s, -1); }), 5);
    EXPECT_EQ(vb::Right(s, 0), "");
    EXPECT_EQ(vb::Right(s, 2), "bc");
    EXPECT_EQ(vb::Right(s, 9), s);
    EXPECT_EQ(TrappedCall([&] { vb::Right(s, -1); }), 5);

    EXPECT_EQ(vb::InStr(s, "a"), 1);
    EXPECT_EQ(vb::InStr(s, "c"), 3);
    EXPECT_EQ(vb::InStr(s, "x"), 0);
    EXPECT_EQ(vb::InStr(s, "C"), 0) << "case counts";
    EXPECT_EQ(vb::InStr(4, s, "a"), 4);
    EXPECT_EQ(vb::InStr(5, s, "a"), 0);
    EXPECT_EQ(vb::InStr(7, s, ""), 7);
    EXPECT_EQ(vb::InStr(8, s, ""), 0);
    EXPECT_EQ(vb::InStr(8, s, "a"), 0);
    EXPECT_EQ(TrappedCall([&] { vb::InStr(0, s, "a"); }), 5);
    EXPECT_EQ(vb::InStrRev(s, "abc", -1), 4);
    EXPECT_EQ(vb::InStrRev(s, "abc", 5), 1);
    EXPECT_EQ(vb::InStrRev(s, "abc", 2), 0);
    EXPECT_EQ(vb::InStrRev(s, "c", 6), 6);
    EXPECT_EQ(vb::InStrRev(s, "", -1), 6);
    EXPECT_EQ(vb::InStrRev(s, "C", -1), 0);

    EXPECT_EQ(vb::Space(0), "");
    EXPECT_EQ(vb::Space(3), "   ");
    EXPECT_EQ(TrappedCall([] { vb::Space(-1); }), 5);
    EXPECT_EQ(vb::String(0, u'x'), "");
    EXPECT_EQ(vb::String(2, u'x'), "xx");
    EXPECT_EQ(TrappedCall([] { vb::String(-1, u'x'); }), 5);
    EXPECT_EQ(vb::Replace(s, "", "z"), s);
    EXPECT_EQ(vb::Replace(s, "bc", "-"), "a-a-");
    EXPECT_EQ(vb::Replace(s, "BC", "-"), s);
    EXPECT_EQ(vb::LTrim("  a  "), "a  ");
    EXPECT_EQ(vb::RTrim("  a  "), "  a");
    EXPECT_EQ(vb::Trim("   "), "");
    EXPECT_EQ(vb::FirstCharOr("xy", u'-'), u'x');
    EXPECT_EQ(vb::FirstCharOr("", u'-'), u'-');
    EXPECT_EQ(vb::UCase("az@[`{AZ"), "AZ@[`{AZ");
    EXPECT_EQ(vb::LCase("AZ@[`{az"), "az@[`{az");
}
