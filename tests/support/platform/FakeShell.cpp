#include "platform/FakeShell.h"

namespace platform {

int FakeShell::next(int fallback)
{
    if (results.empty())
        return fallback;
    const int r = results.front();
    results.pop_front();
    return r;
}

int FakeShell::copyFiles(const QStringList& sources, const QString& destinationFolder)
{
    calls.push_back({QStringLiteral("copy"), QStringList(sources) << destinationFolder});
    return next(shellOk);
}

int FakeShell::moveFile(const QString& source, const QString& destination)
{
    calls.push_back({QStringLiteral("move"), {source, destination}});
    return next(shellOk);
}

int FakeShell::deleteItems(const QStringList& items, bool toTrash)
{
    calls.push_back({toTrash ? QStringLiteral("trash") : QStringLiteral("delete"), items});
    return next(shellOk);
}

int FakeShell::openWithAssociatedProgram(const QString& target)
{
    calls.push_back({QStringLiteral("open"), {target}});
    return next(openDone);
}

bool FakeShell::runAndWait(const QString& program, const QString& logicalFile)
{
    calls.push_back({QStringLiteral("run"), {program, logicalFile}});
    return true;
}

bool FakeShell::startProgram(const QString& nativeProgram)
{
    calls.push_back({QStringLiteral("start"), {nativeProgram}});
    return startStarts;
}

} // namespace platform
