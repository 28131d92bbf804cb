// The printed layout: golden lines for the header and for result rows, in
// both languages, against pinned regional formats (dd/MM/yyyy, HH:mm:ss).
#include "results/PrintLayout.h"

#include "platform/AppError.h"
#include "platform/RecordingPrinter.h"
#include "results/PrintEngine.h"

#include "shared/shared_fixture.h"

using namespace results;

namespace {

using Cells = std::array<QString, 9>;

QString entry(const QString& name, const char* date, const char* time)
{
    return name + QStringLiteral("|False|False|False|True|0000001234|") + QLatin1String(date) + u'|' + QLatin1String(time);
}

QString sp(int n) { return QString(n, u' '); }

class PrintLayout : public SharedTest {
protected:
    QString row(const Cells& cells, const QString& e0 = {}, const QString& e1 = {})
    {
        return PrintedOutputText(PrintedResultLine::build(cells, {e0, e1}, g().LanguageIsGreek, texts));
    }
    PrintedDateTimeTexts texts;
};

TEST_F(PrintLayout, ResultLines)
{
    const QString notes0 = entry("notes.txt", "20020824", "130509");
    const QString notes1 = entry("notes.txt", "20020823", "130509");
    const QString filler = QString(12, u'*') + "FOLDER" + QString(12, u'*');
    const QString name43 = QString(39, u'n') + ".txt";
    struct { const char* what; Cells cells; QString e0, e1, expected; } cases[] = {
        {"newer on the left, equal size and time dashed", {"N", " notes.txt ", "notes.txt", "1,234", "1,234", "24/08/2002", "23/08/2002", "13:05:09", "13:05:09"}, notes0, notes1,
         sp(34) + "notes.txt 13:05:09 24/08/2002 ......1234|N|---------- 23/08/2002 -------- notes.txt"},
        {"only the sizes equal", {"O", "a", "a", "7", "7", "x", "x", "x", "x"}, entry("a", "20020823", "130509"), entry("a", "20020824", "140000"),
         sp(42) + "a 13:05:09 23/08/2002 .........7|O|---------- 24/08/2002 14:00:00 a"},
        {"everything equal", {"", "b", "b", "12", "12", "x", "x", "x", "x"}, entry("b", "20020823", "130509"), entry("b", "20020823", "130509"),
         sp(42) + "b 13:05:09 23/08/2002 ........12| |---------- ---------- -------- b"},
        {"no Secondary entry ends at the second bar", {"", "c.txt", "", "5", "", "x", "", "x", ""}, entry("c.txt", "20010101", "100000"), "c.txt|",
         sp(38) + "c.txt 10:00:00 01/01/2001 .........5| |"},
        {"no Primary entry begins with 74 blanks", {"", "", "d.txt", "", "5", "", "x", "", "x"}, "d.txt|", entry("d.txt", "20010101", "100000"),
         sp(74) + "| |.........5 01/01/2001 10:00:00 d.txt"},
        {"blank values never become dashes", {"", "e", "e", "", "", "", "", "", ""}, "e|", "e|",
         sp(42) + "e " + sp(30) + "| |" + sp(30) + " e"},
        {"a folder on both sides", {"", "Alpha\\", "Alpha\\", " ", " ", " ", " ", " ", " "}, "Alpha\\", "Alpha\\",
         sp(37) + "Alpha\\ " + filler + "| |" + filler + " Alpha\\"},
        {"a folder on one side", {"", "Beta\\", "", " ", "", " ", "", " ", ""}, "Beta\\", "Beta\\",
         sp(38) + "Beta\\ " + filler + "| |"},
        {"a name of 43 characters and a size of eleven digits", {"", name43, name43, "12,345,678,901", "1", "", "", "", ""}, "", "",
         name43 + " " + sp(8) + " " + sp(10) + " 12345678901| |.........1" + sp(20) + " " + name43},
        {"a name with a character that logical names keep aside", {"", QString("a") + QChar(0xF03F) + "b", "", "", "", "", "", "", ""}, "", "",
         sp(40) + "a?b" + sp(31) + "| |"},
        {"control characters are shown, one result a line", {"", QString("a\rb\nc\td") + QChar(0x7F) + QChar(0x85) + QChar(0x2028) + QChar(0xF00A), "", "", "", "", "", "", ""}, "", "",
         sp(32) + "a\u240Db\u240Ac\u2409d\u2421\uFFFD\uFFFD\u240A" + sp(31) + "| |"},
        {"a long name is compacted to 43", {"", "Documents\\Projects\\Quillmarsh\\Reports\\summary-2002.txt", "", "", "", "", "", "", ""}, "", "",
         "Documents\\Projects\\Quil...\\summary-2002.txt" + sp(1) + sp(30) + "| |"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(row(c.cells, c.e0, c.e1), c.expected) << c.what;
}

TEST_F(PrintLayout, GreekFillerAndTwelveHourTimes)
{
    shared::setRegionalFormats(shared::RegionalFormats(QLocale(QLocale::English, QLocale::UnitedStates),
                                                       "dddd, MMMM d, yyyy", "M/d/yyyy", "h:mm:ss AP", u':'));
    g().LanguageIsGreek = true;
    const QString filler = QString(11, u'*') + QStringLiteral("ΦΑΚΕΛΛΟΣ") + QString(11, u'*');
    EXPECT_EQ(row({QStringLiteral("Ν"), "f", "Φάκελλος\\", "1", " ", "x", " ", "x", " "},
                  entry("f", "20020824", "130509"), "Φάκελλος\\"),
              sp(42) + QStringLiteral("f 05:09 PM  8/24/2002 .........1|Ν|") + filler + QStringLiteral(" Φάκελλος\\"));
}

TEST(PrintPages, RowsPerPageAndWhereEachRowFalls)
{
    const struct { Long lines, header, rows; } perPage[] = {{30, 4, 26}, {80, 4, 76}, {5, 4, 1}, {4, 4, 1}, {0, 4, 1}};
    for (const auto& c : perPage)
        EXPECT_EQ(PrintedRowsPerPage(c.lines, c.header), c.rows) << c.lines << " lines";

    const struct { Long rows, lines, pages, row, page; bool opens; } cases[] = {
        {0, 30, 0, 0, 0, false},
        {1, 30, 1, 1, 1, true},
        {26, 30, 1, 26, 1, false},
        {27, 30, 2, 27, 2, true},
        {52, 30, 2, 52, 2, false},
        {53, 30, 3, 53, 3, true},
        {77, 80, 2, 76, 1, false},
        {3, 4, 3, 2, 2, true},   // a header that fills the page leaves one row a page
        {1000000, 30, 38462, 999999, 38462, false},
        {2147483647, 30, 82595525, 2147483647, 82595525, false},
    };
    for (const auto& c : cases) {
        const PrintedPages p = PrintedPagination(c.rows, c.lines, kPrintedHeaderLines);
        EXPECT_EQ(p.count(), c.pages) << c.rows << " rows, " << c.lines << " lines";
        if (c.row > 0) {
            EXPECT_EQ(p.pageOf(c.row), c.page) << "row " << c.row;
            EXPECT_EQ(p.opensPage(c.row), c.opens) << "row " << c.row;
        }
    }
}

TEST_F(PrintLayout, HeaderLines)
{
    const QString p75 = "C:\\" + QString(72, u'p');
    EXPECT_EQ(PrintedPathsLine(p75, "D:\\Right"), p75 + "-" + sp(67) + "D:\\Right");
    EXPECT_EQ(PrintedRuleLine(), QString(151, u'-'));

    struct { Long page, pages; bool greek; QString text; } pages[] = {
        {1, 3, false, "   Page 1 of 3.    "},
        {100, 100, false, " Page 100 of 100.  "},
        {1000, 1000, false, " Page 1000 of 1000.  "},
        {1, 3, true, QStringLiteral("  Σελίδα 1 από 3.  ")},
        {12, 120, true, QStringLiteral("Σελίδα 12 από 120. ")},
    };
    for (const auto& p : pages)
        EXPECT_EQ(PrintedPageText(p.page, p.pages, p.greek), p.text) << p.page << " " << p.pages;

    PrintedPageHeader header;
    header.paths = {"C:\\Left", "D:\\Work\\"};
    header.totals = {"Folders: 2. Files: 12.", "Folders: 1,234. Files: 5."};
    header.live = {true, false};
    auto lines = header.lines(2, 7);
    EXPECT_EQ(lines[0], "C:\\Left" + sp(68) + "-" + sp(67) + "D:\\Work\\");
    EXPECT_EQ(lines[1], PrintedRuleLine());
    EXPECT_EQ(lines[2], "Folders: 2. Files: 12." + sp(34) + "L" + sp(9) + "   Page 2 of 7.    " + sp(9) + "R"
                            + sp(31) + "Folders: 1,234. Files: 5.");
    EXPECT_EQ(lines[2].size(), 151);
    header.greek = true;
    header.live = {false, true};
    lines = header.lines(1000, 1000);
    EXPECT_EQ(lines[2].mid(56, 1), QStringLiteral("Α"));
    EXPECT_EQ(lines[2].mid(96, 1), QStringLiteral("Τ"));   // moved right by the wider page text
    EXPECT_EQ(lines[2].size(), 153);
}

// What Page setup and the print run say when a page does not fit its sheet.
TEST(PrintPages, APageThatDoesNotFitItsSheetIsExplained)
{
    const struct {
        int size, top, lines, sheet;
        bool greek;
        const char* said;   // "" when the page fits
    } cases[] = {
        {8, 0, 63, 63, false, ""},
        {8, 0, 80, 0, false, ""},   // a printer that cannot tell
        {8, 0, 80, 63, false,
         "At font size 8 a sheet of the printer holds 63 lines: 80 lines per page do not fit it.\r\n\r\n"
         "At most 63 lines per page fit. Lower the lines per page or the font size."},
        {12, 5, 40, 42, false,
         "At font size 12 a sheet of the printer holds 42 lines: a top margin of 5 blank lines and 40 lines per page "
         "do not fit it.\r\n\r\nWith this top margin at most 37 lines per page fit. Lower the lines per page, the top "
         "margin or the font size."},
        {12, 42, 30, 42, false,
         "At font size 12 a sheet of the printer holds 42 lines: a top margin of 42 blank lines and 30 lines per page "
         "do not fit it.\r\n\r\nLower the lines per page, the top margin or the font size."},
        {12, 1, 42, 42, false,
         "At font size 12 a sheet of the printer holds 42 lines: a top margin of 1 blank line and 42 lines per page "
         "do not fit it.\r\n\r\nWith this top margin at most 41 lines per page fit. Lower the lines per page, the top "
         "margin or the font size."},
        {12, 1, 42, 42, true,
         "Με μέγεθος γραμματοσειράς 12, ένα φύλλο του εκτυπωτή χωράει 42 γραμμές: άνω περιθώριο 1 κενής γραμμής και 42 "
         "γραμμές ανά σελίδα δεν χωρούν σε αυτό.\r\n\r\nΜε αυτό το άνω περιθώριο χωρούν το πολύ 41 γραμμές ανά "
         "σελίδα. Μειώστε τις γραμμές ανά σελίδα, το άνω περιθώριο ή το μέγεθος της γραμματοσειράς."},
        {8, 0, 80, 63, true,
         "Με μέγεθος γραμματοσειράς 8, ένα φύλλο του εκτυπωτή χωράει 63 γραμμές: 80 γραμμές ανά σελίδα δεν χωρούν σε "
         "αυτό.\r\n\r\nΧωρούν το πολύ 63 γραμμές ανά σελίδα. Μειώστε τις γραμμές ανά σελίδα ή το μέγεθος της "
         "γραμματοσειράς."},
        {12, 5, 40, 42, true,
         "Με μέγεθος γραμματοσειράς 12, ένα φύλλο του εκτυπωτή χωράει 42 γραμμές: άνω περιθώριο 5 κενών γραμμών και 40 "
         "γραμμές ανά σελίδα δεν χωρούν σε αυτό.\r\n\r\nΜε αυτό το άνω περιθώριο χωρούν το πολύ 37 γραμμές ανά "
         "σελίδα. Μειώστε τις γραμμές ανά σελίδα, το άνω περιθώριο ή το μέγεθος της γραμματοσειράς."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(results::PrintedPageFitProblem(c.size, c.top, c.lines, c.sheet, c.greek), QString::fromUtf8(c.said))
            << c.size << "/" << c.top << "/" << c.lines << " on " << c.sheet;
}

// Blanks before or after a cell's text are not printed, whichever side they are on.
TEST_F(PrintLayout, BlanksAroundACellAreDroppedOnEitherSide)
{
    const QString e0 = entry("notes.txt", "20020824", "130509"), e1 = entry("notes.txt", "20020823", "130509");
    const QString plain = row({"N", "notes.txt", "notes.txt", "1,234", "1,234", "x", "x", "x", "x"}, e0, e1);
    EXPECT_EQ(row({"N ", "notes.txt  ", " notes.txt", "1,234", "1,234", "x", "x", "x", "x"}, e0, e1), plain);
    EXPECT_EQ(row({" N", " notes.txt ", "notes.txt ", "1,234", "1,234", "x", "x", "x", "x"}, e0, e1), plain);
}

} // namespace

// What they say when a line does not fit across the sheet: the widest left
// margin at this size, the largest size for this margin, and what to lower;
// a larger paper whenever the line does not fit at this size at all.
TEST(PrintPages, ALineThatDoesNotFitAcrossItsSheetIsExplained)
{
    const struct {
        int size, left, width, columns, largest;
        bool greek;
        const char* said;   // "" when the line fits
    } cases[] = {
        {8, 19, 151, 170, 0, false, ""},
        {12, 30, 151, 0, 0, false, ""},   // a printer that cannot tell
        {8, 30, 151, 170, 0, false,
         "At font size 8 a line of the printer holds 170 characters: a left margin of 30 blanks and a printed line of "
         "151 characters do not fit it.\r\n\r\nAt this font size a left margin of at most 19 blanks fits. Lower the "
         "left margin."},
        {10, 0, 151, 136, 9, false,
         "At font size 10 a line of the printer holds 136 characters: a printed line of 151 characters does not fit "
         "it.\r\n\r\nThe font size can be at most 9. Lower the font size or choose a larger paper in Printer setup."},
        {9, 5, 151, 151, 8, false,
         "At font size 9 a line of the printer holds 151 characters: a left margin of 5 blanks and a printed line of "
         "151 characters do not fit it.\r\n\r\nAt this font size only a line without a left margin fits. With this "
         "left margin the font size can be at most 8. Lower the left margin or the font size."},
        {10, 30, 153, 136, 0, false,
         "At font size 10 a line of the printer holds 136 characters: a left margin of 30 blanks and a printed line of "
         "153 characters do not fit it.\r\n\r\nAt this font size not even a line without a left margin fits. Choose "
         "a larger paper in Printer setup."},
        {8, 2, 151, 152, 0, false,
         "At font size 8 a line of the printer holds 152 characters: a left margin of 2 blanks and a printed line of "
         "151 characters do not fit it.\r\n\r\nAt this font size a left margin of at most 1 blank fits. Lower the "
         "left margin."},
        {8, 1, 151, 150, 0, false,
         "At font size 8 a line of the printer holds 150 characters: a left margin of 1 blank and a printed line of "
         "151 characters do not fit it.\r\n\r\nAt this font size not even a line without a left margin fits. "
         "Choose a larger paper in Printer setup."},
        {8, 1, 151, 150, 0, true,
         "Με μέγεθος γραμματοσειράς 8, μια γραμμή του εκτυπωτή χωράει 150 χαρακτήρες: αριστερό περιθώριο 1 κενού και "
         "μια τυπωμένη γραμμή 151 χαρακτήρων δεν χωρούν σε αυτήν.\r\n\r\nΜε αυτό το μέγεθος δεν χωράει ούτε γραμμή "
         "χωρίς αριστερό περιθώριο. Επιλέξτε μεγαλύτερο χαρτί στην Επιλογή εκτυπωτή."},
        {8, 30, 151, 170, 0, true,
         "Με μέγεθος γραμματοσειράς 8, μια γραμμή του εκτυπωτή χωράει 170 χαρακτήρες: αριστερό περιθώριο 30 κενών και "
         "μια τυπωμένη γραμμή 151 χαρακτήρων δεν χωρούν σε αυτήν.\r\n\r\nΜε αυτό το μέγεθος χωράει αριστερό περιθώριο "
         "το πολύ 19 κενών. Μειώστε το αριστερό περιθώριο."},
        {10, 0, 151, 136, 9, true,
         "Με μέγεθος γραμματοσειράς 10, μια γραμμή του εκτυπωτή χωράει 136 χαρακτήρες: μια τυπωμένη γραμμή 151 "
         "χαρακτήρων δεν χωράει σε αυτήν.\r\n\r\nΤο μέγεθος της γραμματοσειράς μπορεί να είναι το πολύ 9. Μειώστε το "
         "μέγεθος της γραμματοσειράς ή επιλέξτε μεγαλύτερο χαρτί στην Επιλογή εκτυπωτή."},
        {9, 5, 151, 151, 8, true,
         "Με μέγεθος γραμματοσειράς 9, μια γραμμή του εκτυπωτή χωράει 151 χαρακτήρες: αριστερό περιθώριο 5 κενών και "
         "μια τυπωμένη γραμμή 151 χαρακτήρων δεν χωρούν σε αυτήν.\r\n\r\nΜε αυτό το μέγεθος χωράει μόνο γραμμή χωρίς "
         "αριστερό περιθώριο. Με αυτό το αριστερό περιθώριο το μέγεθος της γραμματοσειράς μπορεί να είναι το πολύ 8. "
         "Μειώστε το αριστερό περιθώριο ή το μέγεθος της γραμματοσειράς."},
        // The smallest size there is still counts as a smaller size.
        {2, 0, 151, 100, 1, false,
         "At font size 2 a line of the printer holds 100 characters: a printed line of 151 characters does not fit "
         "it.\r\n\r\nThe font size can be at most 1. Lower the font size or choose a larger paper in Printer setup."},
        {2, 4, 151, 100, 1, true,
         "Με μέγεθος γραμματοσειράς 2, μια γραμμή του εκτυπωτή χωράει 100 χαρακτήρες: αριστερό περιθώριο 4 κενών και "
         "μια τυπωμένη γραμμή 151 χαρακτήρων δεν χωρούν σε αυτήν.\r\n\r\nΜε αυτό το μέγεθος δεν χωράει ούτε γραμμή "
         "χωρίς αριστερό περιθώριο. Με αυτό το αριστερό περιθώριο το μέγεθος της γραμματοσειράς μπορεί να είναι το "
         "πολύ 1. Μειώστε το μέγεθος της γραμματοσειράς ή επιλέξτε μεγαλύτερο χαρτί στην Επιλογή "
         "εκτυπωτή."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(results::PrintedLineFitProblem(c.size, c.left, c.width, c.columns, c.largest, c.greek),
                  QString::fromUtf8(c.said))
            << c.size << "/" << c.left << "/" << c.width << " on " << c.columns;
}

// A size is printed as its digits without grouping or leading zeros (a zero
// stays one); a value the results cannot hold is raised as its error, not
// printed wrong.
TEST_F(PrintLayout, SizesLoseTheirGroupingAndDamagedValuesRaiseTheirErrors)
{
    const struct { const char* grouped; const char* plain; } sizes[] = {
        {"1,234", "1234"}, {"1.234.567", "1234567"}, {"0", "0"}, {"0,000", "0"}, {"000,012", "12"}, {" 7 ", "7"},
        {"12 345 678 901", "12345678901"},
    };
    for (const auto& c : sizes)
        EXPECT_EQ(PlainSizeDigits(QString::fromLatin1(c.grouped)), QString::fromLatin1(c.plain)) << c.grouped;
    const auto raised = [this](const Cells& cells, const QString& e0, const QString& e1) {
        try {
            row(cells, e0, e1);
        } catch (const platform::AppError& e) {
            return e.number;
        }
        return 0;
    };
    const QString whole = entry("a", "20020823", "130509");
    EXPECT_EQ(raised({"", "a", "a", "n/a", "1", "", "", "", ""}, whole, whole), 13) << "a size without digits";
    EXPECT_EQ(raised({"", "a", "a", "1", "-", "", "", "", ""}, whole, whole), 13) << "on either side";
    EXPECT_EQ(raised({"", "a", "a", "1", "1", "x", "", "", ""}, "a|False|False|False|True|0000000001", whole), 9)
        << "a date the entry does not hold";
    EXPECT_EQ(raised({"", "a", "a", "1", "1", "", "", "", "x"}, whole, "a|False"), 9) << "a time the entry does not hold";
    EXPECT_EQ(raised({"", "a", "a", "1", "1", "x", "x", "x", "x"}, whole, whole), 0);
}

// What the run says of a printer whose sheet the page setup does not fit:
// nothing when it fits, the one problem alone, or both with a blank line
// between; the largest smaller size it names is the largest at which the
// line fits.
TEST(PrintPages, APrintersSheetIsWeighedDownAndAcross)
{
    // 1800 characters' width and 600 lines' height at one point, each
    // divided by the size.
    struct Sheet : platform::RecordingPrinter {
        int linesPerSheet(const QString&, double points) const override { return int(600 / points); }
        int charactersPerLine(const QString&, double points) const override { return int(1800 / points); }
    } sheet;
    const QString down = results::PrintedPageFitProblem(12, 2, 50, 50, false);
    const QString across = results::PrintedLineFitProblem(12, 10, 141, 150, 11, false);
    ASSERT_FALSE(down.isEmpty());
    ASSERT_FALSE(across.isEmpty());
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 10, 0, 0, 60, 151, false), QString());
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 12, 0, 0, 50, 150, false), QString()) << "exactly full";
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 12, -3, -5, 50, 150, false), QString()) << "no margin below none";
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 12, 2, 0, 50, 149, false), down);
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 12, 0, 10, 40, 141, false), across);
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 12, 2, 10, 50, 141, false),
              down + QStringLiteral("\r\n\r\n") + across);
    // Without a margin the line alone must fit: at 11 points exactly.
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 12, 0, 0, 30, 163, false),
              results::PrintedLineFitProblem(12, 0, 163, 150, 11, false));
    // No smaller size takes a line of 300: none is named.
    EXPECT_EQ(results::PrinterPageFitProblem(sheet, "Courier New", 12, 0, 0, 30, 300, true),
              results::PrintedLineFitProblem(12, 0, 300, 150, 0, true));
    // A printer that cannot tell its sheet is taken at its word.
    platform::RecordingPrinter silent;
    EXPECT_EQ(results::PrinterPageFitProblem(silent, "Courier New", 12, 20, 30, 80, 400, false), QString());
}
