// The main road, headless: from pressing Compare in the main window (the
// first-level count, the folder inclusion window answered No, the results
// window and its Compare) to the filled grid, against compare_bench's
// comparison alone on the same trees with the same settings. Prints per run
//
//   compare_bench C s road R s windows W s road_peak_mb M
//
// (M: the peak resident memory of the road's own process so far: a run
// after the first leaves it where the first left it)
// (W: the part of the road before the results window's Compare: the count,
// the inclusion window, opening the results window) and at the end the best
// and the median of each and their ratios:
//
//   entries N best compare_bench C s road R s ratio Q median ... ratio Q
//
// The trees: two standard trees (5,000 folders, 20 files of 100 bytes in
// each: 100,000 files per side); in the secondary each folder's file00.txt
// is a byte longer and its file01.txt is missing.
//
// Usage: road_bench [--files-per-folder N] [--runs K]

#include "BenchSupport.h"

#include "results/frmCompare.h"
#include "mainwindow/frmMain.h"
#include "platform/Application.h"
#include "setup/frmFolderIncludeExclude.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "ui/HeadlessDesktop.h"
#include "ui/Input.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Answers every message box with its first button and tells it on stderr.
// The peak resident memory of this process so far (the road runs in it;
// compare_bench runs in a process of its own).
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

class RoadDesktop : public ui::HeadlessDesktop {
public:
    int messageBox(ui::Form*, const QString& title, const QString& text, int style) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
        const int buttons = style & 7;
        return buttons == 4 || buttons == 3 ? ui::vbYes : ui::vbOK;
    }
};

// The settings both programs compare with; the road reads the paths too.
QByteArray iniText()
{
    QByteArray ini = "[General]\r\nLanguage=False\r\nPrimaryInitialPath=C:\\P\r\nSecondaryInitialPath=C:\\S\r\n"
                     "DisplayOptions=False\r\nComparison=0\r\nNumberOfLevels=0\r\nAbilityToExcludeFolders=True\r\n"
                     "CompareOnlyTheCommonFiles=False\r\nDisplayOnlyTheDifferences=False\r\nFailSafe=True\r\n"
                     "DateFormat=short\r\nTimeFormat=long\r\nRemindMeToPrint=False\r\n"
                     "[FileAttributes]\r\nPattern=*.*\r\nHidden=True\r\nSystem=True\r\nReadOnly=True\r\nArchive=True\r\n"
                     "[GridColumnWidths]\r\n";
    for (int c = 0; c < basGlobal::kGridColumns; ++c)
        ini += QByteArray::number(c) + "=1200\r\n";
    return ini;
}

// Seconds of compare_bench's comparison of the two trees, -1 when it failed.
double compareBench(const QString& p, const QString& s, const QString& ini, qint64& entries)
{
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(QCoreApplication::applicationDirPath() + QStringLiteral("/compare_bench"), {p, s, QStringLiteral("--ini"), ini});
    run.waitForFinished(-1);
    const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("entries (\\d+) compare ([0-9.]+) s")).match(out);
    if (run.exitCode() != 0 || !m.hasMatch()) {
        std::fprintf(stderr, "compare_bench failed: %s\n", qPrintable(out));
        return -1;
    }
    entries = m.captured(1).toLongLong();
    return m.captured(2).toDouble();
}

// Seconds from the main window's Compare to the filled grid, -1 when the
// road did not reach it.
double road(mainwindow::frmMain& main, RoadDesktop& desk, qint64& entries, double& windows)
{
    QElapsedTimer clock;
    double seconds = -1;
    desk.onModal(QStringLiteral("frmFolderIncludeExclude"),
                 [](ui::Form& f) { ui::Input::click(*static_cast<setup::frmFolderIncludeExclude&>(f).cmdCancel); });
    desk.onModal(QStringLiteral("frmCompare"), [&](ui::Form& f) {
        auto& results = static_cast<results::frmCompare&>(f);
        windows = double(clock.nsecsElapsed()) / 1e9;
        ui::Input::click(*results.cmdCompare);
        if (results.isLoaded() && results.grdResults->visible()) {
            seconds = double(clock.nsecsElapsed()) / 1e9;
            entries = results.grdResults->rows() - 1;
        }
        if (results.isLoaded())
            ui::Input::click(*results.cmdCancel);
    });
    clock.start();
    ui::Input::click(*main.cmdCompare);
    return seconds;
}

// Two standard trees under `root`; the secondary differs in a size and a
// missing file in each folder.
void buildTrees(const QString& root, int filesPerFolder)
{
    const QString p = root + QStringLiteral("/P"), s = root + QStringLiteral("/S");
    std::fprintf(stderr, "building two trees of %d files ...\n", 5000 * filesPerFolder);
    bench::buildTree(p, filesPerFolder);
    bench::buildTree(s, filesPerFolder);
    for (QDirIterator it(s, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = it.next();
        if (file.endsWith(QLatin1String("/file00.txt"))) {
            QFile f(file);
            if (f.open(QIODevice::Append))
                f.write("y");
        } else if (file.endsWith(QLatin1String("/file01.txt"))) {
            QFile::remove(file);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int filesPerFolder = 20, runs = 3;
    for (int a = 1; a + 1 < argc; a += 2) {
        if (std::strcmp(argv[a], "--files-per-folder") == 0) filesPerFolder = std::max(1, std::atoi(argv[a + 1]));
        else if (std::strcmp(argv[a], "--runs") == 0) runs = std::max(1, std::atoi(argv[a + 1]));
    }

    QTemporaryDir temp;
    const QString root = temp.path();
    buildTrees(root, filesPerFolder);
    const QString ini = root + QStringLiteral("/Quillmarsh.ini");
    {
        QFile f(ini);
        if (!f.open(QIODevice::WriteOnly) || f.write(iniText()) < 0) return 2;
    }
    const QString p = root + QStringLiteral("/P"), s = root + QStringLiteral("/S");
    bench::runFind(p);   // warm both trees
    bench::runFind(s);

    RoadDesktop desk;
    desk.install();
    basGlobal::resetGlobals();
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);
    basGlobal::SetIniPathMapper([](const QString& f) { return platform::toNative(f).value_or(QString()); });
    bench::mountAsC(root);
    platform::app().setPath(QStringLiteral("C:"));
    mainwindow::frmMain main;
    main.anotherCopyRunning = [] { return false; };
    main.load();

    // Taken in turns, so that both meet the same state of the machine.
    std::vector<double> benchTimes, roadTimes;
    qint64 benchEntries = 0, roadEntries = 0;
    for (int r = 0; r < runs; ++r) {
        double windows = 0;
        const double b = compareBench(p, s, ini, benchEntries);
        const double w = road(main, desk, roadEntries, windows);
        std::printf("compare_bench %.3f s road %.3f s windows %.3f s road_peak_mb %.0f\n", b, w, windows, peakMb());
        std::fflush(stdout);
        if (b < 0 || w < 0) return 1;
        benchTimes.push_back(b);
        roadTimes.push_back(w);
    }
    std::sort(benchTimes.begin(), benchTimes.end());
    std::sort(roadTimes.begin(), roadTimes.end());
    const double medianBench = benchTimes[benchTimes.size() / 2], medianRoad = roadTimes[roadTimes.size() / 2];
    std::printf("entries %lld best compare_bench %.3f s road %.3f s ratio %.2f median compare_bench %.3f s road %.3f s "
                "ratio %.2f\n",
                (long long)roadEntries, benchTimes.front(), roadTimes.front(), roadTimes.front() / benchTimes.front(),
                medianBench, medianRoad, medianRoad / medianBench);
    try {
        main.unload();
    } catch (const ui::ProgramEnd&) {
    }
    if (roadEntries != benchEntries) {
        std::fprintf(stderr, "the road's grid has %lld rows, compare_bench's %lld\n", (long long)roadEntries,
                     (long long)benchEntries);
        return 1;
    }
    return 0;
}
