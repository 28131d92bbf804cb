// Lists a tree of 100,000 files in 5,000 folders through the platform
// listing (names and every fact) and compares the time with find(1) printing
// size, time and path of the same warm tree.
//
//   list_bench [ROOT]     ROOT: an existing tree to list instead of a new one

#include "BenchSupport.h"
#include "platform/Drives.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

namespace {

qint64 listTree(const QString& logical, qint64& sizes)
{
    std::vector<platform::DirEntry> entries;
    if (platform::listFolder(logical, platform::ListWhat::All, entries) != 0)
        return 0;
    qint64 count = qint64(entries.size());
    for (const platform::DirEntry& e : entries) {
        sizes += e.facts.size + e.facts.modified.second;
        if (e.facts.isFolder)
            count += listTree(logical + QLatin1Char('\\') + e.name, sizes);
    }
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::unique_ptr<QTemporaryDir> temp;
    const QString root = bench::treeRoot(argc, argv, temp);
    bench::mountAsC(root);

    bench::runFind(root);   // warm the caches for both
    qint64 checksum = 0;
    listTree(QStringLiteral("C:"), checksum);

    double bestList = 1e9, bestFind = 1e9;
    qint64 entries = 0;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        entries = listTree(QStringLiteral("C:"), checksum);
        bestList = std::min(bestList, double(t.nsecsElapsed()) / 1e9);
        bestFind = std::min(bestFind, bench::runFind(root));
    }
    std::printf("entries %lld list %.3f s find %.3f s ratio %.2f\n", static_cast<long long>(entries), bestList,
                bestFind, bestList / bestFind);
    return 0;
}
