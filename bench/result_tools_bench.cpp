// Next difference and Find on a finished comparison, headless: two trees of
// N files each (every tenth file differs in size, so N / 10 differences),
// compared; then Next difference steps through every difference, and Find
// searches the whole grid, down (First) and up (Last), for a text it never
// finds. Prints
//
//   rows R differences D step S us search F ms
//
// for N / 10 and for N files, and how the time per step and per searched
// row grew between the two: both must stay flat (no step rescans the grid
// from row 1, a search reads each row once).
//
// Usage: result_tools_bench [--files N]   (default 100,000)

#include "BenchSupport.h"

#include "results/frmCompare.h"
#include "results/ResultTools.h"
#include "results/frmFind.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/HeadlessDesktop.h"

#include <QCoreApplication>

#include <utime.h>

#include <algorithm>
#include <cstdio>

namespace {

// Answers the differ notice and the not-found messages with OK, and the
// restart question of Next difference with No.
class BenchDesktop : public ui::HeadlessDesktop {
public:
    int messageBox(ui::Form*, const QString&, const QString&, int style) override
    {
        return (style & 7) == 4 ? ui::vbNo : ui::vbOK;
    }
};

// `files` files of 100 bytes per side, 20 to a folder; every tenth file is
// one byte longer on the Secondary side.
void buildPair(const QString& p, const QString& s, int files)
{
    const QByteArray content(100, 'x');
    for (int n = 0; n < files; ++n) {
        const QString folder = QStringLiteral("/top%1/sub%2").arg(n / 2000, 3, 10, QLatin1Char('0')).arg(n / 20 % 100, 2, 10, QLatin1Char('0'));
        const QString name = folder + QStringLiteral("/file%1.txt").arg(n % 20, 2, 10, QLatin1Char('0'));
        for (const QString& root : {p, s}) {
            if (n % 20 == 0) QDir().mkpath(root + folder);
            QFile f(root + name);
            if (f.open(QIODevice::WriteOnly)) f.write(root == s && n % 10 == 0 ? content + "y" : content);
            f.close();
            // One time for all: a second that ticks over while writing is no difference.
            struct utimbuf stamp;
            stamp.actime = stamp.modtime = time_t(1700000000);
            ::utime(QFile::encodeName(root + name).constData(), &stamp);
        }
    }
}

struct Figures {
    int rows = 0;
    int differences = 0;
    double stepMicroseconds = 0;
    double searchMilliseconds = 0;
};

double elapsedMs(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

Figures measure(results::frmCompare& win, int files)
{
    QTemporaryDir temp;
    const QString p = temp.path() + QStringLiteral("/p"), s = temp.path() + QStringLiteral("/s");
    std::fprintf(stderr, "building two trees of %d files ...\n", files);
    buildPair(p, s, files);
    basGlobal::Globals& g = basGlobal::globals();
    g.CurrentPath = {platform::toLogical(p), platform::toLogical(s)};
    if (win.isLoaded()) win.unload();
    win.load();
    win.cmdCompare_Click();
    Figures f;
    f.rows = win.grdResults->rows() - 1;

    QElapsedTimer t;
    t.start();
    while (g.CurrentDifferenceRow < win.grdResults->rows()) {
        win.cmdDisplayNextDifference_Click();
        if (!win.Timer2->enabled()) break;   // the restart question was answered No
        win.cpEndFlash();
        ++f.differences;
    }
    f.stepMicroseconds = elapsedMs(t) * 1000.0 / std::max(1, f.differences);

    results::frmFind& find = results::FindWindow();
    find.setResults(win);
    find.load();
    find.txtFindString->setText(QStringLiteral("no such text"));
    const int rounds = 5;
    t.restart();
    for (int k = 0; k < rounds; ++k) {
        find.cmdFindFirst_Click();
        find.cmdFindLast_Click();
    }
    f.searchMilliseconds = elapsedMs(t) / (2 * rounds);
    find.unload();
    return f;
}

void print(const Figures& f)
{
    std::printf("rows %d differences %d step %.1f us search %.1f ms\n", f.rows, f.differences, f.stepMicroseconds,
                f.searchMilliseconds);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    BenchDesktop desk;
    desk.install();
    basGlobal::resetGlobals();
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);
    basGlobal::Globals& g = basGlobal::globals();
    g.ApplicationTitle = QStringLiteral("result_tools_bench");
    g.VolumeIsCaseSensitive = true;
    g.FailSafeChecks = true;
    g.DateFormatName = QStringLiteral("short");
    g.TimeFormatName = QStringLiteral("long");
    g.FileTypesPattern = QStringLiteral("*.*");
    g.IncludeHiddenFiles = g.IncludeSystemFiles = g.IncludeReadOnlyFiles = g.IncludeArchiveFiles = true;
    g.LastStructureToProcess = 1;
    for (int c = 0; c < basGlobal::kGridColumns; ++c) g.GridColumnWidth[std::size_t(c)] = 1200;
    platform::Drive root;
    root.letter = QLatin1Char('C');
    root.mountPoint = QStringLiteral("/");
    root.type = platform::driveFixed;
    platform::setDrives(platform::DriveTable({root}));

    int files = 100000;
    for (int a = 1; a + 1 < argc; ++a)
        if (QString::fromLocal8Bit(argv[a]) == u"--files") files = std::max(200, atoi(argv[a + 1]));

    results::frmCompare win;
    const Figures small = measure(win, files / 10);
    print(small);
    const Figures big = measure(win, files);
    print(big);
    const double perRowSmall = small.searchMilliseconds / std::max(1, small.rows);
    const double perRowBig = big.searchMilliseconds / std::max(1, big.rows);
    std::printf("growth for %.1fx the rows: time per step x%.2f, search time per row x%.2f\n",
                double(big.rows) / std::max(1, small.rows), small.stepMicroseconds > 0 ? big.stepMicroseconds / small.stepMicroseconds : 0.0,
                perRowSmall > 0 ? perRowBig / perRowSmall : 0.0);
    return big.differences == files / 10 ? 0 : 1;
}
