// The whole comparison, headless: scanning, attributes, filters, folder and
// file alignment and the filled grid, against two find(1) runs over the same
// warm trees. Prints
//
//   entries N compare C s find F s ratio R peak_mb M
//
// (with QM_BENCH_STAGES set, also when each stage began and the resident
// memory then)
//
// for two trees of 100,000 files in 5,000 folders each (10 % of the files
// differing in size or time, 5 % on one side only), after the same for
// 10,000 files per side and the growth factor between the two.
//
// Usage: compare_bench                       the standard trees
//        compare_bench --files N             N files per side (and N / 10 for the growth)
//        compare_bench PRIMARY SECONDARY [--ini FILE] [--dump]
//            compares two folders with the settings of an INI file; --dump
//            writes the finished grid to standard output, a line per row,
//            cells separated by tabs, each cell as its text, "#" and its
//            background colour in hex.

#include "BenchSupport.h"

#include "results/frmCompare.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/RegionalFormats.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/HeadlessDesktop.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

double statusMb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
double residentMb() { return statusMb("VmRSS:"); }
double peakMb() { return statusMb("VmHWM:"); }

// Answers every message box with its first button and tells it on stderr;
// notes when each stage's label first shows (at the yields, every few ms).
class BenchDesktop : public ui::HeadlessDesktop {
public:
    results::frmCompare* watched = nullptr;
    QElapsedTimer clock;
    QString lastLabel;
    QStringList stageTimes;
    void doEvents() override
    {
        ui::HeadlessDesktop::doEvents();
        if (!watched || !watched->isLoaded()) return;
        const QString label = watched->lblProcessInProgress->caption();
        if (label == lastLabel) return;
        lastLabel = label;
        stageTimes << QStringLiteral("%1 ms %2 MB (peak %3) %4").arg(clock.elapsed()).arg(residentMb(), 0, 'f', 0).arg(peakMb(), 0, 'f', 0).arg(label);
    }
    void startWatching(results::frmCompare& w)
    {
        watched = &w;
        lastLabel.clear();
        stageTimes.clear();
        clock.start();
    }

    int messageBox(ui::Form*, const QString& title, const QString& text, int style) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
        const int buttons = style & 7;
        return buttons == 4 || buttons == 3 ? ui::vbYes : ui::vbOK;
    }
};

void defaultSettings()
{
    basGlobal::Globals& g = basGlobal::globals();
    g.NumberOfLevelsLimit = 0;
    g.CommonFilesOnly = false;
    g.DifferencesOnly = false;
    g.FailSafeChecks = true;
    g.DateFormatName = QStringLiteral("short");
    g.TimeFormatName = QStringLiteral("long");
    g.FileTypesPattern = QStringLiteral("*.*");
    g.IncludeHiddenFiles = g.IncludeSystemFiles = g.IncludeReadOnlyFiles = g.IncludeArchiveFiles = true;
    for (int c = 0; c < basGlobal::kGridColumns; ++c) g.GridColumnWidth[std::size_t(c)] = 1200;
}

// The comparison settings of an INI file (a native path); missing keys keep
// the defaults above.
void readSettings(const QString& ini)
{
    basGlobal::SetIniPathMapper([](const QString& f) { return f; });
    basGlobal::Globals& g = basGlobal::globals();
    basGlobal::Long e = 0;
    basGlobal::Integer len = 0;
    const QString gen = QStringLiteral("General"), fa = QStringLiteral("FileAttributes");
    g.NumberOfLevelsLimit = basGlobal::GetIniInteger(ini, gen, QStringLiteral("NumberOfLevels"), g.NumberOfLevelsLimit, 0, 999, e);
    g.CommonFilesOnly = basGlobal::GetIniBoolean(ini, gen, QStringLiteral("CompareOnlyTheCommonFiles"), g.CommonFilesOnly, e);
    g.DifferencesOnly = basGlobal::GetIniBoolean(ini, gen, QStringLiteral("DisplayOnlyTheDifferences"), g.DifferencesOnly, e);
    g.FailSafeChecks = basGlobal::GetIniBoolean(ini, gen, QStringLiteral("FailSafe"), g.FailSafeChecks, e);
    g.LanguageIsGreek = basGlobal::GetIniBoolean(ini, gen, QStringLiteral("Language"), g.LanguageIsGreek, e);
    g.DateFormatName = basGlobal::GetIniString(ini, gen, QStringLiteral("DateFormat"), 255, g.DateFormatName, len, e);
    g.TimeFormatName = basGlobal::GetIniString(ini, gen, QStringLiteral("TimeFormat"), 255, g.TimeFormatName, len, e);
    g.FileTypesPattern = basGlobal::GetIniString(ini, fa, QStringLiteral("Pattern"), 255, g.FileTypesPattern, len, e);
    g.IncludeHiddenFiles = basGlobal::GetIniBoolean(ini, fa, QStringLiteral("Hidden"), g.IncludeHiddenFiles, e);
    g.IncludeSystemFiles = basGlobal::GetIniBoolean(ini, fa, QStringLiteral("System"), g.IncludeSystemFiles, e);
    g.IncludeReadOnlyFiles = basGlobal::GetIniBoolean(ini, fa, QStringLiteral("ReadOnly"), g.IncludeReadOnlyFiles, e);
    g.IncludeArchiveFiles = basGlobal::GetIniBoolean(ini, fa, QStringLiteral("Archive"), g.IncludeArchiveFiles, e);
    for (int c = 0; c < basGlobal::kGridColumns; ++c)
        g.GridColumnWidth[std::size_t(c)] = basGlobal::GetIniLong(ini, QStringLiteral("GridColumnWidths"), QString::number(c),
                                                                  g.GridColumnWidth[std::size_t(c)], 0, 100000, e);
}

struct Result {
    qint64 entries = 0;
    double seconds = 0;
};

// Runs the comparison of two native folders; the window stays loaded for a dump.
Result runComparison(results::frmCompare& win, const QString& primary, const QString& secondary)
{
    basGlobal::Globals& g = basGlobal::globals();
    g.CurrentPath = {platform::toLogical(primary), platform::toLogical(secondary)};
    g.ComparisonMode = 0;
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    for (int i = 0; i < 2; ++i) {
        h.lstFinalListBox[i]->clear();
        h.lstOutput[i]->clear();
    }
    if (win.isLoaded()) win.unload();
    win.load();
    QElapsedTimer t;
    t.start();
    if (auto* d = dynamic_cast<BenchDesktop*>(&ui::desktop())) d->startWatching(win);
    win.cmdCompare_Click();
    if (auto* d = dynamic_cast<BenchDesktop*>(&ui::desktop()); d && qEnvironmentVariableIsSet("QM_BENCH_STAGES"))
        for (const QString& line : d->stageTimes) std::fprintf(stderr, "  %s\n", qPrintable(line));
    Result r;
    r.seconds = double(t.nsecsElapsed()) / 1e9;
    r.entries = win.isLoaded() ? win.grdResults->rows() - 1 : 0;
    return r;
}

// The folders of the standard tree (top00, top00/sub00, ...), the first
// `count` of them.
QStringList standardFolders(int count)
{
    QStringList out;
    for (int top = 0; top < 50 && out.size() < count; ++top)
        for (int sub = -1; sub < 99 && out.size() < count; ++sub) {
            QString rel = QStringLiteral("/top%1").arg(top, 2, 10, QLatin1Char('0'));
            if (sub >= 0) rel += QStringLiteral("/sub%1").arg(sub, 2, 10, QLatin1Char('0'));
            out << rel;
        }
    return out;
}

// Two trees of `files` files each, 20 to a folder (up to the standard tree's
// 5,000 folders, then more to a folder); the secondary differs in the size
// (5 %) or the time (5 %) of its files, and lacks 5 % of them.
void buildPair(const QString& p, const QString& s, int files)
{
    const int folderCount = std::clamp(files / 20, 1, 5000);
    const QStringList folders = standardFolders(folderCount);
    const QByteArray content(100, 'x');
    qint64 n = 0;
    for (int k = 0; k < folderCount; ++k) {
        const int inFolder = files / folderCount + (k < files % folderCount ? 1 : 0);
        for (const QString& root : {p, s}) QDir().mkpath(root + folders[k]);
        for (int f = 0; f < inFolder; ++f, ++n) {
            const QString name = folders[k] + QStringLiteral("/file%1.txt").arg(f, 2, 10, QLatin1Char('0'));
            QFile a(p + name);
            if (a.open(QIODevice::WriteOnly)) a.write(content);
            if (n % 20 == 2) continue;   // on the primary side only
            QFile b(s + name);
            if (b.open(QIODevice::WriteOnly)) b.write(n % 20 == 0 ? content + "y" : content);
            b.close();
            if (n % 20 == 1) {
                struct utimbuf tb;
                tb.actime = tb.modtime = time_t(1700000000);
                ::utime(QFile::encodeName(s + name).constData(), &tb);
            }
        }
    }
}

Result measure(results::frmCompare& win, int files, double& findSeconds)
{
    QTemporaryDir temp;
    const QString p = temp.path() + QStringLiteral("/p"), s = temp.path() + QStringLiteral("/s");
    std::fprintf(stderr, "building two trees of %d files ...\n", files);
    buildPair(p, s, files);
    bench::runFind(p);   // warm both trees
    bench::runFind(s);
    findSeconds = bench::runFind(p) + bench::runFind(s);
    return runComparison(win, p, s);
}

void print(const Result& r, double find)
{
    std::printf("entries %lld compare %.3f s find %.3f s ratio %.2f peak_mb %.0f\n", (long long)r.entries, r.seconds, find,
                find > 0 ? r.seconds / find : 0.0, peakMb());
    std::fflush(stdout);
}

void dump(const ui::FlexGrid& grid)
{
    QTextStream out(stdout);
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            if (c > 0) out << '\t';
            out << grid.textMatrix(r, c) << '#' << QString::number(grid.cellBackColorAt(r, c), 16).toUpper();
        }
        out << '\n';
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    BenchDesktop desk;
    desk.install();
    basGlobal::resetGlobals();
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);
    basGlobal::globals().ApplicationTitle = QStringLiteral("compare_bench");
    basGlobal::globals().VolumeIsCaseSensitive = true;
    defaultSettings();
    platform::Drive root;
    root.letter = QLatin1Char('C');
    root.mountPoint = QStringLiteral("/");
    root.type = platform::driveFixed;
    platform::setDrives(platform::DriveTable({root}));

    QStringList folders;
    QString ini;
    bool wantDump = false;
    int files = 100000;
    for (int a = 1; a < argc; ++a) {
        const QString arg = QString::fromLocal8Bit(argv[a]);
        if (arg == u"--dump") wantDump = true;
        else if (arg == u"--ini" && a + 1 < argc) ini = QString::fromLocal8Bit(argv[++a]);
        else if (arg == u"--files" && a + 1 < argc) files = std::max(100, atoi(argv[++a]));
        else folders << QDir(arg).absolutePath();
    }
    results::frmCompare win;
    if (!folders.isEmpty()) {
        if (folders.size() != 2) {
            std::fprintf(stderr, "usage: compare_bench [PRIMARY SECONDARY [--ini FILE] [--dump]] [--files N]\n");
            return 2;
        }
        if (!ini.isEmpty()) readSettings(QFileInfo(ini).absoluteFilePath());
        double find = bench::runFind(folders[0]) + bench::runFind(folders[1]);
        const Result r = runComparison(win, folders[0], folders[1]);
        if (wantDump && win.isLoaded()) dump(*win.grdResults);
        else print(r, find);
        return win.isLoaded() ? 0 : 1;
    }
    double smallFind = 0, bigFind = 0;
    const Result small = measure(win, std::max(10, files / 10), smallFind);
    print(small, smallFind);
    const Result big = measure(win, files, bigFind);
    print(big, bigFind);
    const double perEntrySmall = small.seconds / double(std::max<qint64>(1, small.entries));
    const double perEntryBig = big.seconds / double(std::max<qint64>(1, big.entries));
    std::printf("growth %.2f for %.1fx the entries (time per entry x%.2f)\n", small.seconds > 0 ? big.seconds / small.seconds : 0.0,
                double(big.entries) / double(std::max<qint64>(1, small.entries)),
                perEntrySmall > 0 ? perEntryBig / perEntrySmall : 0.0);
    return big.entries > 0 ? 0 : 1;
}
