// Printing the results of 100,000 rows: once to the plain text file, once to
// the PDF stand-in of the printer, each through the print window as the user
// runs it (headless window model, real file, real PDF). Prints rows per
// second and how much the resident memory grew, and apart from that how long
// weighing every printed line against the printer's sheet takes (the check
// a run to the printer makes before it prints): from nothing, and once more
// with the date and time texts known, as the run then finds them; it checks
// only that every row arrived in the text file.
//
// Usage: print_bench [--rows N] [--keep FOLDER] [--text-only] [--greek]   (the PDF and the text file
// are left in FOLDER when given)

#include "results/PrintEngine.h"
#include "results/ResultTools.h"
#include "results/frmCompare.h"
#include "platform/Drives.h"
#include "platform/Printer.h"
#include "platform/ServiceOverride.h"
#include "results/frmPrint.h"
#include "shared/Messages.h"
#include "shared/WindowHooks.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/FlexGrid.h"
#include "ui/HeadlessDesktop.h"
#include "ui/Input.h"
#include "ui/qt/QtPrinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& l : status.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

void fill(results::frmCompare& results, int n)
{
    ui::FlexGrid& grid = *results.grdResults;
    grid.setCols(9);
    grid.setRows(n + 1);
    auto& out = basGlobal::HiddenForm().lstOutput;
    for (int k = 1; k <= n; ++k) {
        const QString name = QStringLiteral("folder%1\\document-%2.txt").arg(k / 100).arg(k);
        const QString size = QString::number(1000 + k);
        const QString day = QStringLiteral("200208%1").arg(1 + k % 28, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1%2%3").arg(k % 24, 2, 10, QLatin1Char('0')).arg(k % 60, 2, 10, QLatin1Char('0')).arg((k / 60) % 60, 2, 10, QLatin1Char('0'));
        const QString cells[9] = {k % 3 ? "N" : "", name, name, size, size, "x", "x", "x", "x"};
        for (int c = 0; c < 9; ++c) grid.setTextMatrix(k, c, cells[c]);
        out[0]->addItem(name + QStringLiteral("|False|False|False|True|") + size + u'|' + day + u'|' + time);
        out[1]->addItem(name + QStringLiteral("|False|False|False|True|") + size + QStringLiteral("|20020801|") + time);
    }
    for (int i = 0; i < 2; ++i) {
        results.lblTotalFolders[i]->setCaption(QStringLiteral("Folders: %1.").arg(n / 100));
        results.lblTotalFiles[i]->setCaption(QStringLiteral("Files: %1.").arg(n));
    }
    basGlobal::globals().TotalLinesToPrint = n;
}

double printOnce(ui::HeadlessDesktop& desk, results::frmCompare& results, int destination)
{
    QElapsedTimer t;
    desk.onModal(QStringLiteral("frmPrint"), [&](ui::Form& f) {
        auto& w = static_cast<results::frmPrint&>(f);
        ui::Input::click(*w.optPrintDestination[destination]);
        t.start();
        ui::Input::click(*w.cmdPrint);
    });
    results::ShowPrintWindow(results);
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rows = 100000;
    QString keep;
    bool textOnly = false;
    bool greek = false;
    for (int a = 1; a < argc; ++a) {
        textOnly = textOnly || !std::strcmp(argv[a], "--text-only");
        greek = greek || !std::strcmp(argv[a], "--greek");
    }
    for (int a = 1; a + 1 < argc; ++a) {
        if (!std::strcmp(argv[a], "--rows")) rows = std::atoi(argv[a + 1]);
        if (!std::strcmp(argv[a], "--keep")) keep = QString::fromLocal8Bit(argv[a + 1]);
    }
    QTemporaryDir temp;
    const QString folder = keep.isEmpty() ? temp.path() : keep;
    platform::Drive c;
    c.letter = QLatin1Char('C');
    c.mountPoint = folder;
    c.fsType = QStringLiteral("ext4");
    c.type = platform::driveFixed;
    platform::setDrives(platform::DriveTable({c}));

    ui::HeadlessDesktop desk;
    desk.install();
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);
    basGlobal::Globals& g = basGlobal::globals();
    g.ApplicationTitle = QStringLiteral("print_bench");
    g.LanguageIsGreek = greek;
    g.PageSetupFontName = QStringLiteral("Courier New");
    g.PageSetupFontSize = 8;
    g.PageSetupLinesPerPage = 60;
    g.CurrentPath = {QStringLiteral("C:\\Primary\\Reports"), QStringLiteral("C:\\Secondary\\Reports")};
    results::frmCompare results;
    results.load();
    fill(results, rows);
    std::printf("print_bench: %d rows, 60 lines per page\n", rows);

    const long before = residentKb();
    desk.answerSave(QStringLiteral("C:\\PRN_Comparison_Results.txt"));
    const double text = printOnce(desk, results, 1);
    QFile written(folder + QStringLiteral("/PRN_Comparison_Results.txt"));
    const qint64 lines = written.open(QIODevice::ReadOnly) ? written.readAll().count("\r\n") : 0;
    std::printf("  text file: %.3f s, %.0f rows/s, %lld lines, %.1f MB\n", text, rows / text, lines,
                double(written.size()) / 1e6);

    if (textOnly)
        return lines == rows + 4 ? 0 : 1;
    ui::qt::QtPrinter pdf(folder + QStringLiteral("/PRN_Comparison_Results.pdf"));
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &pdf);
    QElapsedTimer check;
    check.start();
    {
        results::PrintedDateTimeTexts texts;
        const results::PrintSource source = results::PrintSourceOf(results);
        const results::PrintedLineWidths lines(pdf, g.PageSetupFontName, source,
                                               results::PrintedPagination(rows, 60, 4).count(), texts);
        const QString problem =
            results::PrinterPageFitProblem(pdf, g.PageSetupFontName, g.PageSetupFontSize, 0, 0, 60, lines, greek);
        std::printf("  page check alone: %.3f s (%s)\n", double(check.nsecsElapsed()) / 1e9,
                    problem.isEmpty() ? "fits" : "refused");
        check.start();
        const results::PrintedLineWidths again(pdf, g.PageSetupFontName, source,
                                               results::PrintedPagination(rows, 60, 4).count(), texts);
        again.widestAt(g.PageSetupFontSize);
        std::printf("  page check again (dates and times known): %.3f s\n", double(check.nsecsElapsed()) / 1e9);
    }
    const double printed = printOnce(desk, results, 0);
    std::printf("  PDF printer: %.3f s, %.0f rows/s, %.1f MB PDF (%s)\n", printed, rows / printed,
                double(QFile(pdf.pdfFile()).size()) / 1e6, pdf.printsToPdf() ? "stand-in" : "system printer");
    std::printf("  resident memory grew by %.1f MB over both runs\n", double(residentKb() - before) / 1024.0);
    results.unload();
    return lines == rows + 4 ? 0 : 1;
}
