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
#include "shared/frmHiddenForm.h"
#include "ui/FlexGrid.h"
#include "ui/ListBox.h"

#include <QStorageInfo>

#include <algorithm>

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

// The printer's own settings, given back after the run.
struct PrinterSettings {
    int orientation = platform::orientPortrait;
    QString fontName;
    double fontSize = 0;
};

} // namespace

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
    basGlobal::ErrorTrap trap(owner, QStringLiteral("PCE1000"), basGlobal::ErrorTrap::OnNo::StopOperation);
    platform::Printer& printer = platform::printer();
    PrinterSettings saved;
    if (toPrinter)
        saved = {printer.orientation(), printer.fontName(), printer.fontSize()};

    ResultsFile file;
    if (toFile) {
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
        if (trap.stopped())
            return PrintOutcome::Failed;
        if (name.isEmpty())
            return PrintOutcome::DialogCancelled;
        if (!trap.step([&] { file.open(name); }))
            return PrintOutcome::Failed;
    }

    window.lockForRun();
    if (toPrinter) {
        trap.step([&] {
            printer.setOrientation(platform::orientLandscape);
            printer.setFontName(g.PageSetupFontName);
            printer.setFontSize(g.PageSetupFontSize);
        });
    }

    const Long perPage = std::max<Long>(1, Long(g.PageSetupLinesPerPage) - g.HeaderLinesPerPage);
    Long rowsOnPage = perPage;
    Long page = 0;
    const Long pages = window.pageCount();
    const QString margin(std::max<int>(0, g.PageSetupLeftMargin), u' ');
    const int topMargin = std::max<int>(0, g.PageSetupTopMargin);
    const bool greek = g.LanguageIsGreek;
    PrintedDateTimeTexts texts;
    bool cancelled = false;
    auto cancelRequested = [&] {
        basGlobal::DoEventsNow();
        cancelled = g.CancelRequested;
        return cancelled;
    };
    auto print = [&](const QString& line) { basGlobal::RaiseIfError(printer.printLine(line)); };

    for (Long r = 1; r <= source.rows && !cancelled && !trap.stopped(); ++r) {
        trap.step([&] {
            if (cancelRequested())
                return;
            if (rowsOnPage == perPage) {
                rowsOnPage = 0;
                ++page;
                if (toPrinter) {
                    if (page != 1)
                        basGlobal::RaiseIfError(printer.newPage());
                    for (int k = 0; k < topMargin; ++k) {
                        if (cancelRequested())
                            return;
                        print(QStringLiteral(" "));
                    }
                }
                for (const QString& line : source.header.lines(page, pages)) {
                    if (cancelRequested())
                        return;
                    const QString out = PrintedOutputText(line);
                    if (toPrinter)
                        print(margin + out);
                    if (toFile && page == 1)
                        file.writeLine(out);
                }
            }
            if (cancelRequested())
                return;
            std::array<QString, 9> cells;
            for (int c = 0; c < 9; ++c)
                cells[std::size_t(c)] = source.grid->textMatrix(int(r), c);
            std::array<QString, 2> entries;
            for (int i = 0; i < 2; ++i) {
                const ui::ListBox* list = source.entries[std::size_t(i)];
                if (list && r - 1 < list->listCount())
                    entries[std::size_t(i)] = list->list(int(r - 1));
            }
            PrintedResultLine built(cells, entries, greek, texts);
            built.buildNames();
            if (cancelRequested())
                return;
            built.buildSizes();
            if (cancelRequested())
                return;
            built.buildDates();
            if (cancelRequested())
                return;
            built.buildTimes();
            if (cancelRequested())
                return;
            const QString out = PrintedOutputText(built.line());
            if (toPrinter) {
                print(margin + out);
                ++rowsOnPage;
            }
            if (toFile)
                file.writeLine(out);
            window.showProgress(r, source.rows);
        });
    }

    // The outputs end whatever happened: a cancelled file keeps what was
    // written, a failed one leaves the target as it was.
    if (toFile) {
        if (!trap.stopped())
            trap.step([&] { file.commit(); });
        if (trap.stopped())
            file.discard();
    }
    if (toPrinter) {
        if (!trap.stopped())
            trap.step([&] { basGlobal::RaiseIfError(printer.endDoc()); });
        else
            printer.endDoc();
        printer.setOrientation(saved.orientation);
        printer.setFontName(saved.fontName);
        printer.setFontSize(saved.fontSize);
    }
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
