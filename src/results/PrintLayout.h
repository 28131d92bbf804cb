#pragma once
// The printed results: lines of 151 columns meant for a fixed-pitch font.
// A page begins with four header lines (the two roots; a rule; each side's
// totals and source with the page number between them; a rule). Each row of
// the results grid becomes one line: the Primary entry right-aligned on the
// left, the newer/older marker between two bars, the Secondary entry mirrored
// on the right. Building a line is text work only; whoever outputs it drops
// its trailing blanks (PrintedOutputText).
//
// Result line columns (1-based):
//   1-43 Primary name | 45-52 time | 54-63 date | 65-74 size | 75 "|" |
//   76 marker | 77 "|" | 78-87 size | 89-98 date | 100-107 time |
//   109-151 Secondary name
// A size keeps all its digits: one of more than ten widens the line rather
// than print a wrong number.

#include "shared/basGlobal.h"

#include <QHash>
#include <QString>

#include <array>

namespace results {

using basGlobal::Long;

inline constexpr int kPrintedLineWidth = 151;
inline constexpr int kPrintedHeaderLines = 4;

// The line as it is output: without its trailing blanks (leading ones stay),
// each character that a logical name holds in its private-use stand-in
// (U+F000 + c, c < 0x80) shown as itself, and each control character as a
// visible stand-in of one column (its control picture, U+2400 + c, U+2421
// for DEL; U+FFFD for C1 controls and the Unicode line and paragraph
// separators), so one result is always one line.
QString PrintedOutputText(const QString& line);

// --- Pages -------------------------------------------------------------------------

// Result rows on a printed page: its lines less the header's, at least one
// (a page setup read before its limits applied still gives whole pages).
Long PrintedRowsPerPage(Long linesPerPage, Long headerLines);

// Where the result rows fall on the printer's pages.
struct PrintedPages {
    Long rows = 0;
    Long rowsPerPage = 1;

    // Pages for all rows: 0 without rows.
    Long count() const { return Long((qint64(rows) + rowsPerPage - 1) / rowsPerPage); }
    // The page of row r (1-based, as the page numbers).
    Long pageOf(Long row) const { return (row - 1) / rowsPerPage + 1; }
    // Row r is the first of its page: the page and its header come before it.
    bool opensPage(Long row) const { return (row - 1) % rowsPerPage == 0; }
};

PrintedPages PrintedPagination(Long rows, Long linesPerPage, Long headerLines);

// A printer page (the top margin's blank lines, then the lines per page)
// must fit one sheet, which holds `sheetLines` lines of the chosen font (0:
// the printer cannot tell): "" when it does, else what the user is told, in
// English or Greek, and nothing is split over sheets. Page setup says it
// before it takes the values over; the print run before it prints.
QString PrintedPageFitProblem(Long fontSize, Long topMargin, Long linesPerPage, Long sheetLines, bool greek);

// A printed line of `lineWidth` columns after `leftMargin` blanks must fit
// across the sheet, whose line holds `sheetColumns` characters of the font at
// `fontSize` (0: the printer cannot tell): "" when it does, else what the
// user is told, in English or Greek, with the widest left margin that fits at
// this size and `largestSize`, the largest font size at which this margin
// fits (0: none does), and a larger paper whenever not even a line without a
// margin fits at this size. Nothing is cut at the sheet's edge.
QString PrintedLineFitProblem(Long fontSize, Long leftMargin, Long lineWidth, Long sheetColumns, Long largestSize,
                              bool greek);

// --- Header ------------------------------------------------------------------------

// Line 1: the Primary path left in 75 columns, "-", the Secondary path right
// in 75 columns; a path longer than 75 characters is compacted.
QString PrintedPathsLine(const QString& primaryPath, const QString& secondaryPath);
// Lines 2 and 4.
QString PrintedRuleLine();
// " Page 1 of 3.  " / "Σελίδα 1 από 3.", centred in 19 columns when shorter.
QString PrintedPageText(Long page, Long pages, bool greek);
// Line 3. `live`: the structure was read from disk ("L"/"Τ"), not from an
// exported-structure file ("R"/"Α").
QString PrintedTotalsLine(const QString& primaryTotals, const QString& secondaryTotals, bool primaryLive,
                          bool secondaryLive, Long page, Long pages, bool greek);

// Everything the header says apart from the page number.
struct PrintedPageHeader {
    std::array<QString, 2> paths;    // the compared roots as they are printed
    std::array<QString, 2> totals;   // "Folders: 3. Files: 12."
    std::array<bool, 2> live{true, true};
    bool greek = false;

    std::array<QString, kPrintedHeaderLines> lines(Long page, Long pages) const;
};

// --- Result line ---------------------------------------------------------------------

// The short date of a YYYYMMDD field and the long time of an HHMMSS field,
// each worked out once per distinct value of a run.
class PrintedDateTimeTexts {
public:
    QString shortDate(const QString& yyyymmdd);
    QString longTime(const QString& hhmmss);

private:
    QHash<QString, QString> m_dates;
    QHash<QString, QString> m_times;
};

// One grid row as a printed line, built in the run's four steps (names,
// sizes, dates, times) so that the run can yield between them. `cells` are
// the row's nine grid cells; `entries` the row's two result entries
// ("name|hidden|system|readonly|archive|size|YYYYMMDD|HHMMSS"), read only
// for a side whose date or time cell is filled. A date or time that cannot
// be formatted raises its error.
class PrintedResultLine {
public:
    PrintedResultLine(const std::array<QString, 9>& cells, const std::array<QString, 2>& entries, bool greek,
                      PrintedDateTimeTexts& texts);

    void buildNames();
    void buildSizes();
    void buildDates();
    void buildTimes();
    // The whole line, after the dash rule and the folder fillers (all four
    // steps must have run).
    QString line() const;

    // All four steps and the line.
    static QString build(const std::array<QString, 9>& cells, const std::array<QString, 2>& entries, bool greek,
                         PrintedDateTimeTexts& texts);

private:
    std::array<QString, 9> m_cells;   // trimmed
    std::array<QString, 2> m_entries;
    bool m_greek;
    PrintedDateTimeTexts& m_texts;
    std::array<QString, 2> m_name;
    std::array<QString, 2> m_size;
    std::array<QString, 2> m_date;
    std::array<QString, 2> m_time;
};

// A grouped size as the grid shows it ("1,234") in plain digits ("1234");
// error 13 when it holds no digit.
QString PlainSizeDigits(const QString& groupedSize);

} // namespace results
