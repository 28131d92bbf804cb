// Collects a tree of 100,000 files in 5,000 folders as the structure export
// does (the structure's working lists, the throttled yield, the facts of
// every entry taken afterwards from those the collection kept) and compares
// the time with find(1) printing size, time and path of the same warm tree.
//
//   scan_bench [ROOT]     ROOT: an existing tree to collect instead of a new one

#include "BenchSupport.h"
#include "platform/Drives.h"
#include "shared/FileFacts.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/frmHiddenForm.h"
#include "ui/HeadlessDesktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The facts the collection kept, reused by every round.
basGlobal::FileFactsStore factsStore;

// One collection plus the facts of every entry (from the store, else from
// the disk); returns the entry count (-1 on failure) and adds the facts to
// `checksum`.
long long collect(qint64& checksum)
{
    using namespace basGlobal;
    frmHiddenForm& h = HiddenForm();
    bool cancelled = false;
    Long error = 0;
    QString failed;
    const Long n = CollectCompleteStructure(QStringLiteral("C:"), false, *h.lstListBoxAuxiliary[0],
                                            *h.lstListBoxUnsorted[0], *h.lstFileListBoxAuxiliary[0],
                                            *h.lstFinalListBox[0], cancelled, error, &factsStore, &failed);
    if (error != 0 || cancelled) {
        std::fprintf(stderr, "collection failed: error %d in %s\n", int(error), qPrintable(failed));
        return -1;
    }
    ui::ListBox& entries = *h.lstFinalListBox[0];
    platform::FileFacts facts;
    for (int i = 0; i < entries.listCount(); ++i) {
        const QString& path = entries.list(i);
        if (path.endsWith(EmptyFolderMarker))
            continue;
        const platform::FileFacts* kept = factsStore.find(path);
        if (kept)
            facts = *kept;
        if (kept || platform::fileFacts(path, facts) == 0)
            checksum += facts.size + facts.modified.second + facts.attributes();
    }
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::unique_ptr<QTemporaryDir> temp;
    const QString root = bench::treeRoot(argc, argv, temp);
    bench::mountAsC(root);

    ui::HeadlessDesktop desktop;
    desktop.install();
    basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);

    qint64 checksum = 0;
    bench::runFind(root);   // warm the caches for both
    collect(checksum);

    double bestScan = 1e9, bestFind = 1e9;
    long long entries = 0;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        entries = collect(checksum);
        bestScan = std::min(bestScan, double(t.nsecsElapsed()) / 1e9);
        bestFind = std::min(bestFind, bench::runFind(root));
    }
    std::fprintf(stderr, "yields handed over: %d\n", desktop.yieldCount());
    std::printf("entries %lld scan %.3f s find %.3f s ratio %.2f\n", entries, bestScan, bestFind,
                bestScan / bestFind);
    return entries < 0 ? 1 : 0;
}
