// The off-line road on two standard trees of 100,000 files each: the export
// of both structures through the export window against find(1) over the
// same warm trees, the check of both exported files in MB/s, and the
// comparison of the two accepted structures against the live comparison of
// the trees themselves. Prints
//
//   export E s find F s ratio R
//   check C s bytes B rate M MB/s
//   compare live L s offline O s ratio Q
//
// Usage: offline_bench [FILES_PER_FOLDER]   (20 by default: 100,000 files a side)
//        offline_bench --small              (200 files a side in 20 folders, for every
//                                            test pass)
//        offline_bench --parse [RECORDS] [RUNS] [FOLDER]
//
// --parse weighs the check of records against each other (same path twice,
// file and folder, marker beside files) in the parse of one structure file
// of RECORDS records (1,000,000 by default) shaped like make_trees.py's trees
// (nested folders up to five levels, about 20 files a folder, varied names,
// some not ASCII, a few empty folders). The file is written once in the
// exporter's order and once shuffled (which the parser must put in order),
// in a temporary folder, or in FOLDER where they are kept for the next run.
// Each parse runs in a process of its own, so that its peak memory is its
// own and no earlier parse's freed memory is in its way; the times are the
// best of RUNS (3) processes, wall and processor time (the machine may be
// shared), and the longest gap between two calls of the parser's hooks
// (where the window yields and Cancel is heard) that of one more process.
// Prints, for each file and case rule:
//
//   parse case-sensitive in order: check T s (processor P s), without ...:
//     +X % (+Y %); memory check M MB, without N MB: +D MB;
//     longest gap G ms (processor H ms)
//
// (memory: the peak resident size of the parse's process less that before the parse).

#include "BenchSupport.h"

#include "results/frmCompare.h"
#include "offline/frmExportStructure.h"
#include "offline/frmImportStructure.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/HeadlessDesktop.h"

#include "shared/StructureFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

// Answers every message box with its first button; file dialogs come from
// the usual queues.
class BenchDesktop : public ui::HeadlessDesktop {
public:
    int messageBox(ui::Form*, const QString& title, const QString& text, int style) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
        const int buttons = style & 7;
        return buttons == 4 || buttons == 3 ? ui::vbYes : ui::vbOK;
    }
};

// The tree of the quick run: 20 folders of 10 files each.
void smallTree(const QString& root)
{
    for (int folder = 0; folder < 20; ++folder) {
        const QString path = root + QStringLiteral("/f%1/g%2").arg(folder / 5).arg(folder % 5);
        QDir().mkpath(path);
        for (int f = 0; f < 10; ++f) {
            QFile file(path + QStringLiteral("/file%1.txt").arg(f));
            if (file.open(QIODevice::WriteOnly))
                file.write("small tree");
        }
    }
}

double seconds(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e9; }

double compareOnce(results::frmCompare& win)
{
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    for (int i = 0; i < 2; ++i) {
        h.lstFinalListBox[i]->clear();
        h.lstOutput[i]->clear();
    }
    if (win.isLoaded()) win.unload();
    win.load();
    QElapsedTimer t;
    t.start();
    win.cmdCompare_Click();
    const double s = seconds(t);
    std::fprintf(stderr, "grid rows %d\n", win.isLoaded() ? win.grdResults->rows() : -1);
    return s;
}

// --- The parse of one large structure file -----------------------------------------

// A value of /proc/self/status in MB (VmRSS, VmHWM).
double statusMegabytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key)) + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

QByteArray recordLines(const QByteArray& path, bool emptyFolder, QRandomGenerator& rng)
{
    QByteArray out;
    if (emptyFolder) {
        for (int k = 0; k < 7; ++k) out += "\"NULL\"\r\n";
    } else {
        const char* flags[] = {"False", "False", "False", "True"};
        for (int k = 0; k < 4; ++k)
            out += QByteArray(rng.bounded(20) == 0 ? (k == 3 ? "False" : "True") : flags[k]) + "\r\n";
        const qint64 size = rng.bounded(8) == 0 ? 0 : qint64(rng.bounded(1 << 22));
        out += QByteArray::number(size).rightJustified(10, '0') + "\r\n";
        out += QByteArray::number(1995 + rng.bounded(30)) + QByteArray::number(1 + rng.bounded(12)).rightJustified(2, '0')
               + QByteArray::number(1 + rng.bounded(28)).rightJustified(2, '0') + "\r\n";
        out += QByteArray::number(rng.bounded(24)).rightJustified(2, '0') + QByteArray::number(rng.bounded(60)).rightJustified(2, '0')
               + QByteArray::number(rng.bounded(60)).rightJustified(2, '0') + "\r\n";
    }
    return out + path + "\r\n";
}

// Writes `records` records under C:\Bench\ to `shuffledFile`, in random
// order, and the same records in the exporter's order to `orderedFile`.
bool writeStructureFiles(int records, const QString& shuffledFile, const QString& orderedFile)
{
    static const char* const words[] = {"alpha", "report", "data", "img", "Notes", "src", "build", "x", "archive_2019",
                                        "photo", "Budget Q3", "readme", "lib", "test-case", "module", "a", "config.d",
                                        "\xC3\x9C" "bersicht"};
    static const char* const exts[] = {".txt", ".dat", ".jpg", ".c", ".h", ".pdf", "", ".tar.gz", ".log"};
    QRandomGenerator rng(1);
    const QByteArray root = "C:\\Bench\\";
    std::vector<QByteArray> folders = {QByteArray()};   // relative, "" the root
    std::vector<int> depth = {0};
    std::vector<QByteArray> lines;
    QList<QByteArray> firstLevel;
    for (int made = 0; made < records;) {
        std::size_t parent = std::size_t(rng.bounded(int(folders.size())));
        if (depth[parent] >= 5) parent = 0;
        const QByteArray name = QByteArray(words[rng.bounded(int(std::size(words)))]) + QByteArray::number(qulonglong(folders.size()));
        const QByteArray folder = folders[parent].isEmpty() ? name : folders[parent] + "\\" + name;
        if (parent == 0) firstLevel << name;
        folders.push_back(folder);
        depth.push_back(depth[parent] + 1);
        if (folders.size() % 50 == 0) {
            lines.push_back(recordLines(root + folder + "\\Empty\\\"NULL\"", true, rng));
            ++made;
        }
        for (int f = std::min(records - made, 1 + int(rng.bounded(39))); f > 0; --f, ++made)
            lines.push_back(recordLines(root + folder + "\\" + words[rng.bounded(int(std::size(words)))] + "_"
                                            + QByteArray::number(made).rightJustified(7, '0') + exts[rng.bounded(int(std::size(exts)))],
                                        false, rng));
    }
    std::shuffle(lines.begin(), lines.end(), rng);
    auto write = [&](const QString& name, const std::vector<QByteArray>& body) {
        QFile out(name);
        if (!out.open(QIODevice::WriteOnly))
            return false;
        QByteArray head = QByteArray::number(qulonglong(4 + firstLevel.size() + 8 * body.size())) + "\r\n" + root + "\r\n"
                          + QByteArray::number(qulonglong(firstLevel.size())) + "\r\n";
        for (const QByteArray& f : firstLevel) head += f + "\r\n";
        out.write(head + QByteArray::number(qulonglong(body.size())) + "\r\n");
        for (const QByteArray& l : body) out.write(l);
        return out.flush();
    };
    if (!write(shuffledFile, lines))
        return false;
    // The parser's order is the exporter's: write the parse back out.
    basGlobal::globals().VolumeIsCaseSensitive = true;
    basGlobal::ParsedStructure parsed;
    basGlobal::Long error = 0;
    if (basGlobal::ParseStructureFile(QStringLiteral("C:\\shuffled.txt"), parsed, error) != basGlobal::ParseOutcome::Parsed) {
        std::fprintf(stderr, "the generated file was refused at line %lld\n", (long long)parsed.problem.line);
        return false;
    }
    std::vector<QByteArray> ordered;
    ordered.reserve(parsed.records.size());
    for (const basGlobal::StructureFileRecord& r : parsed.records) {
        QByteArray l;
        for (const QString* t : {&r.hidden, &r.system, &r.readOnly, &r.archive, &r.size, &r.date, &r.time, &r.path})
            l += t->toUtf8() + "\r\n";
        ordered.push_back(std::move(l));
    }
    return write(orderedFile, ordered);
}

// The parse without the check of records against each other: a check that
// finds nothing and keeps nothing.
class NoRecordCheck final : public basGlobal::StructureRecordCheck {
public:
    void start(const std::vector<basGlobal::StructureFileRecord>&, qsizetype, bool) override {}
    basGlobal::StructureFileFault add(std::size_t) override { return basGlobal::StructureFileFault::None; }
    void release() override {}
};

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// One parse in a process of its own (so that no earlier parse's freed
// memory is in its way). With `gaps` false prints "W C M": wall and
// processor seconds, peak MB above the start; with `gaps` true it reads the
// clocks at every call of the hooks, from the start to the return, and
// prints the longest gaps "G P" in ms, wall and processor time (the machine
// may be shared: the processor time is the parser's own stretch of work).
int parseOne(const QString& file, bool caseSensitive, bool check, bool gaps)
{
    basGlobal::globals().VolumeIsCaseSensitive = caseSensitive;
    const double before = statusMegabytes("VmRSS:");
    const QString logical = QStringLiteral("C:\\") + QFileInfo(file).fileName();
    basGlobal::ParsedStructure parsed;
    basGlobal::Long error = 0;
    QElapsedTimer t;
    qint64 lines = 0, last = 0, gap = 0;
    double lastCpu = 0, gapCpu = 0;
    qint64 calls = 0, gapAt = 0;
    const basGlobal::StructureLineHook count = [&lines] { ++lines; return true; };
    const basGlobal::StructureLineHook clock = [&] {
        const qint64 now = t.nsecsElapsed();
        const double cpu = threadSeconds();
        ++calls;
        if (cpu - lastCpu > gapCpu) gapAt = calls;
        gap = std::max(gap, now - last);
        gapCpu = std::max(gapCpu, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
        return true;
    };
    const basGlobal::StructureLineHook& hook = gaps ? clock : count;
    const double cpu = threadSeconds();
    lastCpu = cpu;
    t.start();
    NoRecordCheck noCheck;
    const basGlobal::ParseOutcome outcome = check ? basGlobal::ParseStructureFile(logical, parsed, error, hook, hook)
                                                  : basGlobal::ParseStructureFile(logical, parsed, error, noCheck, hook, hook);
    const double wall = seconds(t);
    const double used = threadSeconds() - cpu;
    if (outcome != basGlobal::ParseOutcome::Parsed) {
        std::fprintf(stderr, "refused at line %lld\n", (long long)parsed.problem.line);
        return 1;
    }
    if (gaps) {
        clock();
        std::fprintf(stderr, "longest gap (processor) before hook call %lld of %lld\n", (long long)gapAt, (long long)calls);
        std::printf("%.1f %.1f\n", double(gap) / 1e6, gapCpu * 1e3);
    } else {
        std::printf("%.3f %.3f %.1f\n", wall, used, statusMegabytes("VmHWM:") - before);
    }
    return 0;
}

int parseBench(const char* self, int records, int runs, const char* keep)
{
    QTemporaryDir temp;
    const QString folder = keep ? QDir(QString::fromLocal8Bit(keep)).absolutePath() : temp.path();
    bench::mountAsC(folder);
    const QString shuffled = folder + QStringLiteral("/shuffled.txt"), ordered = folder + QStringLiteral("/ordered.txt");
    if (!QFileInfo::exists(ordered)) {
        std::fprintf(stderr, "writing two structure files of %d records ...\n", records);
        if (!writeStructureFiles(records, shuffled, ordered))
            return 1;
    }
    std::printf("structure file of %d records, %.1f MB\n", records, double(QFileInfo(ordered).size()) / 1e6);
    auto child = [&](const QString& file, bool cs, bool check, bool gaps) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QString::fromLocal8Bit(self), {QStringLiteral("--parse-one"), folder, file, cs ? QStringLiteral("cs") : QStringLiteral("ci"),
                                               check ? QStringLiteral("on") : QStringLiteral("off"),
                                               gaps ? QStringLiteral("gaps") : QStringLiteral("time")});
        p.waitForFinished(-1);
        std::vector<double> figures;
        for (const QByteArray& part : p.readAllStandardOutput().trimmed().split(' ')) figures.push_back(part.toDouble());
        if (p.exitCode() != 0 || figures.size() != (gaps ? 2u : 3u))
            figures.clear();
        return figures;
    };
    // The best of `runs` processes: wall, processor, memory (the first's).
    auto timed = [&](const QString& file, bool cs, bool check) {
        std::vector<double> best;
        for (int run = 0; run < runs; ++run) {
            const std::vector<double> f = child(file, cs, check, false);
            if (f.empty())
                return f;
            if (best.empty())
                best = f;
            best[0] = std::min(best[0], f[0]);
            best[1] = std::min(best[1], f[1]);
        }
        return best;
    };
    for (const QString& file : {ordered, shuffled}) {
        for (const bool cs : {true, false}) {
            const std::vector<double> on = timed(file, cs, true), off = timed(file, cs, false), gaps = child(file, cs, true, true);
            if (on.empty() || off.empty() || gaps.empty())
                return 1;
            std::printf("parse %s %s: check %.3f s (processor %.3f s), without %.3f s (%.3f s): +%.1f %% (+%.1f %%); "
                        "memory check %.1f MB, without %.1f MB: +%.1f MB; longest gap %.1f ms (processor %.1f ms)\n",
                        cs ? "case-sensitive" : "case-insensitive", file == ordered ? "in order" : "shuffled", on[0], on[1],
                        off[0], off[1], 100.0 * (on[0] - off[0]) / off[0], 100.0 * (on[1] - off[1]) / off[1], on[2], off[2],
                        on[2] - off[2], gaps[0], gaps[1]);
            std::fflush(stdout);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--parse") == 0)
        return parseBench(argv[0], argc > 2 ? std::atoi(argv[2]) : 1000000, argc > 3 ? std::atoi(argv[3]) : 3,
                          argc > 4 ? argv[4] : nullptr);
    if (argc > 6 && std::strcmp(argv[1], "--parse-one") == 0) {
        bench::mountAsC(QString::fromLocal8Bit(argv[2]));
        return parseOne(QString::fromLocal8Bit(argv[3]), std::strcmp(argv[4], "cs") == 0, std::strcmp(argv[5], "on") == 0,
                        std::strcmp(argv[6], "gaps") == 0);
    }
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    const int perFolder = small ? 1 : argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir temp;
    const QString root = temp.path();
    const QString primary = root + QStringLiteral("/p"), secondary = root + QStringLiteral("/s");
    for (const QString& tree : {primary, secondary}) {
        if (small) {
            smallTree(tree);
            continue;
        }
        std::fprintf(stderr, "building a tree of %d files ...\n", perFolder * 5000);
        bench::buildTree(tree, perFolder);
    }
    bench::mountAsC(root);

    BenchDesktop desktop;
    desktop.install();
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);
    basGlobal::Globals& g = basGlobal::globals();
    g.ApplicationTitle = QStringLiteral("Tarnwick");
    g.VolumeIsCaseSensitive = true;
    g.FileTypesPattern = QStringLiteral("*.*");
    g.IncludeHiddenFiles = g.IncludeSystemFiles = g.IncludeReadOnlyFiles = g.IncludeArchiveFiles = true;
    g.DateFormatName = QStringLiteral("short");
    g.TimeFormatName = QStringLiteral("long");
    g.FirstStructureToProcess = 0;
    g.LastStructureToProcess = 1;
    for (int c = 0; c < basGlobal::kGridColumns; ++c) g.GridColumnWidth[std::size_t(c)] = 1200;
    g.CurrentPath = {QStringLiteral("C:\\p"), QStringLiteral("C:\\s")};

    // Export of both sides, against two find walks (the better of two runs each).
    double exportSeconds = 1e9, findSeconds = 1e9;
    offline::frmExportStructure ex;
    for (int round = 0; round < 2; ++round) {
        bench::runFind(primary);
        bench::runFind(secondary);
        findSeconds = std::min(findSeconds, bench::runFind(primary) + bench::runFind(secondary));
        ex.load();
        ex.optStructureSelection[2]->setValue(true);
        desktop.answerSave(QStringLiteral("C:\\P.txt"));
        desktop.answerSave(QStringLiteral("C:\\S.txt"));
        QElapsedTimer t;
        t.start();
        ex.cmdExportStructure_Click();
        exportSeconds = std::min(exportSeconds, seconds(t));
        ex.unload();
    }
    std::printf("export %.3f s find %.3f s ratio %.2f\n", exportSeconds, findSeconds, exportSeconds / findSeconds);

    // The check of both files.
    offline::frmImportStructure im;
    im.load();
    im.optStructureSelection[2]->setValue(true);
    desktop.answerOpen(QStringLiteral("C:\\P.txt"));
    desktop.answerOpen(QStringLiteral("C:\\S.txt"));
    g.ImportNotAccepted = true;
    QElapsedTimer t;
    t.start();
    im.cmdIntegrityCheck_Click();
    const double checkSeconds = seconds(t);
    const qint64 bytes = QFileInfo(root + QStringLiteral("/P.txt")).size() + QFileInfo(root + QStringLiteral("/S.txt")).size();
    std::printf("check %.3f s bytes %lld rate %.1f MB/s\n", checkSeconds, (long long)bytes,
                double(bytes) / 1e6 / checkSeconds);
    if (g.ImportNotAccepted) {
        std::fprintf(stderr, "the exported files were not accepted\n");
        return 1;
    }
    const auto imported = g.ImportedStructureFile;

    // The live comparison of the trees and the off-line one of their structures.
    results::frmCompare win;
    g.ComparisonMode = 0;
    g.ImportedStructureFile = {};
    compareOnce(win);   // warm
    const double live = compareOnce(win);
    g.ComparisonMode = 1;
    g.ImportedStructureFile = imported;
    const double offlineSeconds = compareOnce(win);
    std::printf("compare live %.3f s offline %.3f s ratio %.2f\n", live, offlineSeconds, offlineSeconds / live);
    win.unload();
    return 0;
}
