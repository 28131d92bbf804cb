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

#include "BenchSupport.h"

#include "results/frmCompare.h"
#include "offline/frmExportStructure.h"
#include "offline/frmImportStructure.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/HeadlessDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
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
