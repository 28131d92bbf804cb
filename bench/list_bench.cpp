// Lists a tree of 100,000 files in 5,000 folders through the platform
// listing (names and every fact) and compares the time with find(1) printing
// size, time and path of the same warm tree.
//
//   list_bench [ROOT]     ROOT: an existing tree to list instead of a new one

#include "platform/Drives.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

void buildTree(const QString& root)
{
    // 50 top folders of 99 sub-folders each, plus the 50 themselves: 5,000
    // folders; 20 files in each: 100,000 files.
    const QByteArray content(100, 'x');
    for (int top = 0; top < 50; ++top) {
        const QString t = root + QStringLiteral("/top%1").arg(top, 2, 10, QLatin1Char('0'));
        for (int sub = -1; sub < 99; ++sub) {
            const QString folder = sub < 0 ? t : t + QStringLiteral("/sub%1").arg(sub, 2, 10, QLatin1Char('0'));
            QDir().mkpath(folder);
            for (int f = 0; f < 20; ++f) {
                QFile file(folder + QStringLiteral("/file%1.txt").arg(f, 2, 10, QLatin1Char('0')));
                if (file.open(QIODevice::WriteOnly))
                    file.write(content);
            }
        }
    }
}

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

double runFind(const QString& root)
{
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    find.start(QStringLiteral("find"), {root, QStringLiteral("-printf"), QStringLiteral("%s %T@ %p\\n")});
    find.waitForFinished(-1);
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::unique_ptr<QTemporaryDir> temp;
    QString root;
    if (argc > 1) {
        root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    } else {
        temp = std::make_unique<QTemporaryDir>();
        root = temp->path();
        std::fprintf(stderr, "building the tree under %s ...\n", qPrintable(root));
        buildTree(root);
    }
    platform::Drive c;
    c.letter = QLatin1Char('C');
    c.mountPoint = root;
    platform::setDrives(platform::DriveTable({c}));

    runFind(root);   // warm the caches for both
    qint64 checksum = 0;
    listTree(QStringLiteral("C:"), checksum);

    double bestList = 1e9, bestFind = 1e9;
    qint64 entries = 0;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        entries = listTree(QStringLiteral("C:"), checksum);
        bestList = std::min(bestList, double(t.nsecsElapsed()) / 1e9);
        bestFind = std::min(bestFind, runFind(root));
    }
    std::printf("entries %lld list %.3f s find %.3f s ratio %.2f\n", static_cast<long long>(entries), bestList,
                bestFind, bestList / bestFind);
    return 0;
}
