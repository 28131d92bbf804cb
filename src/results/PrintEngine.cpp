#include "results/PrintEngine.h"

#include "results/frmCompare.h"
#include "platform/AppError.h"
#include "platform/AtomicFile.h"
#include "platform/Drives.h"
#include "platform/Printer.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basPageSetup.h"
#include "shared/frmHiddenForm.h"
#include "ui/FlexGrid.h"
#include "ui/ListBox.h"

#include <QStorageInfo>

#include <algorithm>
#include <functional>
#include <optional>

namespace results {

using basGlobal::globals;

namespace {

constexpr qsizetype kFileBufferBytes = 256 * 1024;

bool isLive(int i)
{
    const basGlobal::Globals& g = globals();
    return g.ComparisonMode == 0 || (g.ComparisonMode == 1 && g.ImportedStructureFile[std::size_t(i)].isEmpty());
}

// The text file, streamed through a buffer into its temporary twin.
class ResultsFile {
public:
    void open(const QString& logicalName)
    {
        const std::optional<QString> native = platform::toNative(logicalName);
        if (!native)
            basGlobal::RaiseError(platform::errPathNotFound);
        basGlobal::RaiseIfError(m_file.open(*native));
        m_buffer.reserve(kFileBufferBytes + 1024);
    }
    void writeLine(const QString& line)
    {
        m_buffer += line.toUtf8();
        m_buffer += "\r\n";
        if (m_buffer.size() >= kFileBufferBytes)
            flush();
    }
    void commit()
    {
        flush();
        basGlobal::RaiseIfError(m_file.commit());
    }
    void discard() { m_file.discard(); }

private:
    void flush()
    {
        const int rc = m_file.write(m_buffer);
        m_buffer.clear();
        basGlobal::RaiseIfError(rc);
    }
    platform::AtomicFile m_file;
    QByteArray m_buffer;
};

// The printer for one run: landscape in the page setup's font while it
// runs, its own orientation and font back at the end whatever happened.
class PrinterPages {
public:
    explicit PrinterPages(platform::Printer& printer)
        : m_printer(printer), m_orientation(printer.orientation()), m_fontName(printer.fontName()),
          m_fontSize(printer.fontSize())
    {
        const basGlobal::Globals& g = globals();
        m_margin = QString(std::max<int>(0, g.PageSetupLeftMargin), u' ');
        m_topMargin = std::max<int>(0, g.PageSetupTopMargin);
    }
    void begin()
    {
        const basGlobal::Globals& g = globals();
        m_printer.setOrientation(platform::orientLandscape);
        m_printer.setFontName(g.PageSetupFontName);
        m_printer.setFontSize(g.PageSetupFontSize);
    }
    // A new sheet for every page but the first, then the top margin's
    // blank lines; false when `cancelled` said so before a line.
    bool startPage(Long page, const std::function<bool()>& cancelled)
    {
        if (page != 1)
            basGlobal::RaiseIfError(m_printer.newPage());
        for (int k = 0; k < m_topMargin; ++k) {
            if (cancelled())
                return false;
            basGlobal::RaiseIfError(m_printer.printLine(QStringLiteral(" ")));
        }
        return true;
    }
    // A header or result line after the left margin.
    void line(const QString& text) { basGlobal::RaiseIfError(m_printer.printLine(m_margin + text)); }
    // Ends the document (its error raised unless the run failed already)
    // and gives the settings back.
    void end(basGlobal::ErrorTrap& trap)
    {
        if (!trap.stopped())
            trap.step([&] { basGlobal::RaiseIfError(m_printer.endDoc()); });
        else
            m_printer.endDoc();
        m_printer.setOrientation(m_orientation);
        m_printer.setFontName(m_fontName);
        m_printer.setFontSize(m_fontSize);
    }

private:
    platform::Printer& m_printer;
    int m_orientation;
    QString m_fontName;
    double m_fontSize;
    QString m_margin;
    int m_topMargin = 0;
};

// What a run prints to: the printer, the file or both. The printer has the
// header on every page, the file once at its top.
class PrintOutputs {
public:
    std::optional<PrinterPages> printer;
    std::optional<ResultsFile> file;

    // Before the first row of `page`: the printer's new sheet and top
    // margin, then the header; false when `cancelled` said so before a line.
    bool openPage(Long page, const std::array<QString, kPrintedHeaderLines>& header,
                  const std::function<bool()>& cancelled)
    {
        const bool toFile = file && page == 1;
        if (!printer && !toFile)
            return true;
        if (printer && !printer->startPage(page, cancelled))
            return false;
        for (const QString& line : header) {
            if (cancelled())
                return false;
            const QString out = PrintedOutputText(line);
            if (printer)
                printer->line(out);
            if (toFile)
                file->writeLine(out);
        }
        return true;
    }
    void putRow(const QString& text)
    {
        if (printer)
            printer->line(text);
        if (file)
            file->writeLine(text);
    }
    // Both end whatever happened: a cancelled file keeps what was written, a
    // failed one leaves the target as it was; the printer's document ends.
    void end(basGlobal::ErrorTrap& trap)
    {
        if (file) {
            if (!trap.stopped())
                trap.step([&] { file->commit(); });
            if (trap.stopped())
                file->discard();
        }
        if (printer)
            printer->end(trap);
    }
};

// The save dialog of a run to a file: the chosen name, "" when the user
// cancelled (an error is the trap's).
QString askPrintFileName(ui::Form* owner, basGlobal::ErrorTrap& trap)
{
    const basGlobal::Globals& g = globals();
    const bool gr = g.LanguageIsGreek;
    QString name;
    trap.step([&] {
        basGlobal::Long err = 0;
        name = basGlobal::ShowSaveFileDialog(
            owner, *basGlobal::HiddenForm().dlgDialog, PrintFileStartFolder(g.CurrentPath[0]),
            basGlobal::Txt(gr, u"Define the file for the 'Print to file' process",
                           u"Ορίστε το αρχείο για την εργασία 'Εκτύπωση σε αρχείο'"),
            basGlobal::Txt(gr, u"PRN_Comparison_Results", u"PRN_Αποτελέσματα_Συγκρίσεως") + QStringLiteral(".txt"),
            QString(), basGlobal::Txt(gr, u"All files|*.*", u"Όλα τα αρχεία|*.*"), err);
        basGlobal::RaiseIfError(err);
    });
    return name;
}

// The nine cells of grid row r and its two result entries.
struct RowInputs {
    std::array<QString, 9> cells;
    std::array<QString, 2> entries;
};

RowInputs rowInputs(const PrintSource& source, Long r)
{
    RowInputs in;
    for (int c = 0; c < 9; ++c)
        in.cells[std::size_t(c)] = source.grid->textMatrix(int(r), c);
    for (int i = 0; i < 2; ++i) {
        const ui::ListBox* list = source.entries[std::size_t(i)];
        if (list && r - 1 < list->listCount())
            in.entries[std::size_t(i)] = list->list(int(r - 1));
    }
    return in;
}

// Grid row r as its printed text, built in steps with a cancel test before
// each; nothing when `cancelled` said so.
std::optional<QString> printedRow(const PrintSource& source, Long r, PrintedDateTimeTexts& texts,
                                  const std::function<bool()>& cancelled)
{
    const RowInputs in = rowInputs(source, r);
    PrintedResultLine built(in.cells, in.entries, source.header.greek, texts);
    for (void (PrintedResultLine::*step)() : {&PrintedResultLine::buildNames, &PrintedResultLine::buildSizes,
                                              &PrintedResultLine::buildDates, &PrintedResultLine::buildTimes}) {
        if (cancelled())
            return std::nullopt;
        (built.*step)();
    }
    if (cancelled())
        return std::nullopt;
    return PrintedOutputText(built.line());
}

// The uneven lines kept for other sizes: the widest few at the size asked
// for stand for the rest, which a smaller size narrows alike.
constexpr std::size_t kUnevenLinesKept = 64;

QString pageFitProblem(const platform::Printer& device, const QString& fontName, Long fontSize, Long topMargin,
                       Long leftMargin, Long linesPerPage, const std::function<Long(Long)>& widestAt, bool greek)
{
    const QString down =
        PrintedPageFitProblem(fontSize, topMargin, linesPerPage, device.linesPerSheet(fontName, fontSize), greek);
    const int columns = device.charactersPerLine(fontName, fontSize);
    const Long margin = std::max<Long>(0, leftMargin);
    const Long width = columns > 0 ? widestAt(fontSize) : 0;
    Long largest = 0;   // the largest smaller size at which the line fits
    if (columns > 0 && margin + width > columns)
        for (Long size = std::min<Long>(fontSize - 1, basPageSetup::kLargestFontSize);
             size >= basPageSetup::kSmallestFontSize && !largest; --size)
            if (margin + widestAt(size) <= device.charactersPerLine(fontName, size))
                largest = size;
    const QString across = PrintedLineFitProblem(fontSize, leftMargin, width, columns, largest, greek);
    return down.isEmpty() || across.isEmpty() ? down + across : down + QStringLiteral("\r\n\r\n") + across;
}

} // namespace

PrintedLineWidths::PrintedLineWidths(const platform::Printer& device, const QString& fontName,
                                     const PrintSource& source, Long pages, PrintedDateTimeTexts& texts)
    : m_device(device), m_fontName(fontName), m_source(source), m_pages(pages), m_texts(texts)
{
}

void PrintedLineWidths::weigh(Long fontSize) const
{
    m_size = fontSize;
    const auto add = [&](const QString& line) {
        const Long width = m_device.lineWidth(m_fontName, fontSize, line);
        m_widest = std::max(m_widest, width);
        if (width == line.size()) {
            m_widestOfColumns = std::max(m_widestOfColumns, width);
            return;
        }
        m_uneven.emplace_back(width, line);
        if (m_uneven.size() >= 2 * kUnevenLinesKept) {
            std::nth_element(m_uneven.begin(), m_uneven.begin() + kUnevenLinesKept, m_uneven.end(),
                             [](const auto& a, const auto& b) { return a.first > b.first; });
            m_uneven.resize(kUnevenLinesKept);
        }
    };
    for (const QString& line : m_source.header.lines(m_pages, m_pages))
        add(PrintedOutputText(line));
    if (!m_source.grid)
        return;
    for (Long r = 1; r <= m_source.rows; ++r) {
        const RowInputs in = rowInputs(m_source, r);
        try {
            add(PrintedOutputText(PrintedResultLine::build(in.cells, in.entries, m_source.header.greek, m_texts)));
        } catch (const platform::AppError&) {
            // The run stops at this row and says why.
        }
    }
}

Long PrintedLineWidths::widestAt(Long fontSize) const
{
    if (m_size == 0)
        weigh(fontSize);
    if (fontSize == m_size)
        return m_widest;
    Long widest = m_widestOfColumns;
    for (const auto& [width, line] : m_uneven)
        widest = std::max<Long>(widest, m_device.lineWidth(m_fontName, fontSize, line));
    return widest;
}

QString PrinterPageFitProblem(const platform::Printer& device, const QString& fontName, Long fontSize, Long topMargin,
                              Long leftMargin, Long linesPerPage, const PrintedLineWidths& lines, bool greek)
{
    return pageFitProblem(device, fontName, fontSize, topMargin, leftMargin, linesPerPage,
                          [&lines](Long size) { return lines.widestAt(size); }, greek);
}

QString PrinterPageFitProblem(const platform::Printer& device, const QString& fontName, Long fontSize, Long topMargin,
                              Long leftMargin, Long linesPerPage, Long lineWidth, bool greek)
{
    return pageFitProblem(device, fontName, fontSize, topMargin, leftMargin, linesPerPage,
                          [lineWidth](Long) { return lineWidth; }, greek);
}

QString PrintFileStartFolder(const QString& primaryPath)
{
    const QString path = basGlobal::AddTrailingSeparator(primaryPath);
    const QString driveRoot = basGlobal::AddTrailingSeparator(path.left(2));
    if (const std::optional<QString> native = platform::toNative(path)) {
        const QStorageInfo volume(*native);
        if (volume.isValid()) {
            const QString root = basGlobal::AddTrailingSeparator(platform::toLogical(volume.rootPath()));
            // A volume that begins above the drive's own root (a drive
            // mounted inside a larger volume) starts at the drive's root.
            if (root.size() > 1 && path.startsWith(root, Qt::CaseInsensitive) && root.size() >= driveRoot.size())
                return root;
        }
    }
    return driveRoot;
}

PrintSource PrintSourceOf(const results::frmCompare& results)
{
    const basGlobal::Globals& g = globals();
    PrintSource s;
    s.grid = results.grdResults;
    for (int i = 0; i < 2; ++i) {
        const std::size_t k = std::size_t(i);
        s.entries[k] = basGlobal::HiddenForm().lstOutput[i];
        s.header.live[k] = isLive(i);
        // An imported structure is printed with the root it was compared
        // at, as the results window shows it, not the main window's folder.
        s.header.paths[k] = !s.header.live[k] && !g.ComparedPath[k].isEmpty() ? g.ComparedPath[k] : g.CurrentPath[k];
        s.header.totals[k] = results.lblTotalFolders[i]->caption() + u' ' + results.lblTotalFiles[i]->caption();
    }
    s.header.greek = g.LanguageIsGreek;
    s.rows = std::clamp<Long>(g.TotalLinesToPrint, 0, std::max(0, s.grid->rows() - 1));
    return s;
}

PrintOutcome RunPrint(PrintRunWindow& window, const PrintSource& source)
{
    basGlobal::Globals& g = globals();
    const int destination = std::clamp(window.chosenDestination(), 0, 2);
    g.PrintDestinationIndex = basGlobal::Integer(destination);
    const bool toPrinter = destination == 0 || destination == 2;
    const bool toFile = destination == 1 || destination == 2;
    g.CancelRequested = false;

    ui::Form* owner = &window.runOwner();
    // The date and time texts are worked out once, for the check and the run.
    PrintedDateTimeTexts texts;
    // A page that does not fit its sheet would run onto the next one without
    // its header and against the page count the header states, and a line
    // too wide for it would lose its end at the edge: nothing is printed
    // until the page setup fits the printer (it may have been read from the
    // INI file, or the printer's paper changed since).
    if (toPrinter) {
        const PrintedLineWidths lines(platform::printer(), g.PageSetupFontName, source, window.pageCount(), texts);
        const QString problem = PrinterPageFitProblem(platform::printer(), g.PageSetupFontName, g.PageSetupFontSize,
                                                      g.PageSetupTopMargin, g.PageSetupLeftMargin,
                                                      g.PageSetupLinesPerPage, lines, g.LanguageIsGreek);
        if (!problem.isEmpty()) {
            basGlobal::ShowMessageBox(owner, basGlobal::Txt(g.LanguageIsGreek, u"Page setup", u"Διαμόρφωση σελίδας"),
                                      problem, ui::vbExclamationOK);
            return PrintOutcome::Failed;
        }
    }
    basGlobal::ErrorTrap trap(owner, QStringLiteral("PCE1000"), basGlobal::ErrorTrap::OnNo::StopOperation);
    PrintOutputs outputs;
    if (toPrinter)
        outputs.printer.emplace(platform::printer());
    if (toFile) {
        const QString name = askPrintFileName(owner, trap);
        if (trap.stopped())
            return PrintOutcome::Failed;
        if (name.isEmpty())
            return PrintOutcome::DialogCancelled;
        if (!trap.step([&] { outputs.file.emplace().open(name); }))
            return PrintOutcome::Failed;
    }

    window.lockForRun();
    if (outputs.printer)
        trap.step([&] { outputs.printer->begin(); });
    const PrintedPages layout = PrintedPagination(source.rows, g.PageSetupLinesPerPage, g.HeaderLinesPerPage);
    const Long pages = window.pageCount();
    bool cancelled = false;
    const std::function<bool()> cancelRequested = [&] {
        basGlobal::DoEventsNow();
        cancelled = g.CancelRequested;
        return cancelled;
    };
    for (Long r = 1; r <= source.rows && !cancelled && !trap.stopped(); ++r) {
        trap.step([&] {
            if (cancelRequested())
                return;
            if (layout.opensPage(r)
                && !outputs.openPage(layout.pageOf(r), source.header.lines(layout.pageOf(r), pages), cancelRequested))
                return;
            if (const std::optional<QString> row = printedRow(source, r, texts, cancelRequested)) {
                outputs.putRow(*row);
                window.showProgress(r, source.rows);
            }
        });
    }
    outputs.end(trap);

    const bool complete = !cancelled && !trap.stopped();
    if (complete) {
        window.showComplete();
        g.ResultsNotPrinted = false;
    }
    window.unlockAfterRun();
    if (cancelled) {
        g.CancelRequested = false;
        return PrintOutcome::Cancelled;
    }
    if (!complete)
        return PrintOutcome::Failed;
    window.closeAfterRun();
    return PrintOutcome::Complete;
}

} // namespace results
