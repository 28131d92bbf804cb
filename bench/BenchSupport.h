#pragma once
// What every benchmark shares: a standard test tree, the time of find(1)
// over the same tree, and mounting a tree as drive C:.

#include "platform/Drives.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace bench {

// 50 top folders of 99 sub-folders each, plus the 50 themselves: 5,000
// folders; `filesPerFolder` files of 100 bytes in each (20: 100,000 files).
inline void buildTree(const QString& root, int filesPerFolder = 20)
{
    const QByteArray content(100, 'x');
    for (int top = 0; top < 50; ++top) {
        const QString t = root + QStringLiteral("/top%1").arg(top, 2, 10, QLatin1Char('0'));
        for (int sub = -1; sub < 99; ++sub) {
            const QString folder = sub < 0 ? t : t + QStringLiteral("/sub%1").arg(sub, 2, 10, QLatin1Char('0'));
            QDir().mkpath(folder);
            for (int f = 0; f < filesPerFolder; ++f) {
                QFile file(folder + QStringLiteral("/file%1.txt").arg(f, 2, 10, QLatin1Char('0')));
                if (file.open(QIODevice::WriteOnly))
                    file.write(content);
            }
        }
    }
}

// The tree a benchmark works on: the folder given as its one argument, or a
// new standard tree in a temporary folder that lives as long as `temp`.
inline QString treeRoot(int argc, char** argv, std::unique_ptr<QTemporaryDir>& temp)
{
    if (argc > 1)
        return QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    temp = std::make_unique<QTemporaryDir>();
    const QString root = temp->path();
    std::fprintf(stderr, "building the tree under %s ...\n", qPrintable(root));
    buildTree(root);
    return root;
}

// Seconds that `find ROOT -printf '%s %T@ %p\n' > /dev/null` takes.
inline double runFind(const QString& root)
{
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    find.start(QStringLiteral("find"), {root, QStringLiteral("-printf"), QStringLiteral("%s %T@ %p\\n")});
    find.waitForFinished(-1);
    return double(t.nsecsElapsed()) / 1e9;
}

// Makes `root` drive C: of the drive table.
inline void mountAsC(const QString& root)
{
    platform::Drive c;
    c.letter = QLatin1Char('C');
    c.mountPoint = root;
    c.type = platform::driveFixed;
    platform::setDrives(platform::DriveTable({c}));
}

} // namespace bench
