#pragma once
// The print run: the results of a comparison to the printer, to a plain text
// file, or to both.
//
// Printer pages hold the top margin (blank lines), the four header lines and
// up to LinesPerPage - 4 result lines, each line after LeftMargin blanks, in
// landscape and the page setup's font; the printer's own orientation and
// font come back afterwards. The text file holds the header once (page 1 of
// the printer's page count) and one line per result row, without margins:
// UTF-8, CR LF, written beside its target and renamed over it at the end. A
// run to the file alone never touches the printer.
//
// The run yields after every piece of work and stops at the first yield that
// finds CancelRequested set: what was already printed is printed, the file
// keeps the header and the complete rows, and the request is cleared. An
// error is reported once; its clean-up ends the run (the file's partial
// version discarded, the document ended) the way a cancel does.
//
// A run to the printer (alone or with the file) starts only when its page
// fits a sheet of the printer at the page setup's font: the top margin and
// the lines per page down it, the left margin and the widest line of this
// print across it, as wide as the printer sets it; otherwise it says so and
// prints nothing.

#include "results/PrintLayout.h"

#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace platform {
class Printer;
}

namespace ui {
class FlexGrid;
class Form;
class ListBox;
}


namespace results {

class frmCompare;

// What the run needs of the window it runs in (the print window's methods).
class PrintRunWindow {
public:
    virtual ~PrintRunWindow() = default;
    // Owner of the save dialog and the error report.
    virtual ui::Form& runOwner() = 0;
    // 0 printer, 1 text file, 2 both.
    virtual int chosenDestination() const = 0;
    virtual Long pageCount() = 0;
    virtual void lockForRun() = 0;
    virtual void unlockAfterRun() = 0;
    // After row `current` of `total`.
    virtual void showProgress(Long current, Long total) = 0;
    virtual void showComplete() = 0;
    virtual void closeAfterRun() = 0;
};

// The results as the comparison left them: the grid, the two result lists
// and what the page header says.
struct PrintSource {
    const ui::FlexGrid* grid = nullptr;
    std::array<const ui::ListBox*, 2> entries{};
    PrintedPageHeader header;
    Long rows = 0;   // result rows (grid rows 1..rows)
};

// The source of the results window, as it stands.
PrintSource PrintSourceOf(const frmCompare& results);

// The lines a print of `source` in `pages` pages sends to `device`, built
// as the run builds them (the header of its last page, whose page number is
// the longest, and every result line) and weighed as the printer sets them
// in the font `fontName`. Without results they are the layout's own: its
// rules of 151 columns. Built at the first question, with the run's date
// and time texts (`texts`, which must outlive it); a row that cannot be
// built is left to the run, which reports why.
class PrintedLineWidths {
public:
    PrintedLineWidths(const platform::Printer& device, const QString& fontName, const PrintSource& source, Long pages,
                      PrintedDateTimeTexts& texts);
    // The widest line at `fontSize`, in the characters of the printer's
    // charactersPerLine.
    Long widestAt(Long fontSize) const;

private:
    // Builds and weighs the lines at `fontSize`, once.
    void weigh(Long fontSize) const;

    const platform::Printer& m_device;
    QString m_fontName;
    const PrintSource& m_source;
    Long m_pages;
    PrintedDateTimeTexts& m_texts;
    mutable Long m_size = 0;              // the size they were weighed at (0: not yet)
    mutable Long m_widest = 0;            // the widest at that size
    mutable Long m_widestOfColumns = 0;   // the widest of those as wide as their characters' count
    // The widest of the others, weighed again at another size.
    mutable std::vector<std::pair<Long, QString>> m_uneven;
};

// What keeps a printer page of this page setup off one sheet of `device`:
// "" when it fits (or the printer cannot tell), else what the user is told,
// the height before the width. The lines are `lines`, or all `lineWidth`
// columns wide at every size.
QString PrinterPageFitProblem(const platform::Printer& device, const QString& fontName, Long fontSize, Long topMargin,
                              Long leftMargin, Long linesPerPage, const PrintedLineWidths& lines, bool greek);
QString PrinterPageFitProblem(const platform::Printer& device, const QString& fontName, Long fontSize, Long topMargin,
                              Long leftMargin, Long linesPerPage, Long lineWidth, bool greek);

enum class PrintOutcome { Complete, Cancelled, DialogCancelled, Failed };

// The Print command.
PrintOutcome RunPrint(PrintRunWindow& window, const PrintSource& source);

// Where the save dialog starts: the root of the volume that holds `path`
// (the Primary path), with its trailing "\".
QString PrintFileStartFolder(const QString& primaryPath);

} // namespace results
