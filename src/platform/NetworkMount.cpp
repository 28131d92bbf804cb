#include "platform/NetworkMount.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

namespace {

MountResult runTool(const GioMounter& m, const QStringList& arguments, QByteArray* output)
{
    const QString program = QStandardPaths::findExecutable(m.program);
    if (program.isEmpty())
        return MountResult::noTool;
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setStandardInputFile(QProcess::nullDevice());   // never wait for a password typed on a terminal
    p.start();
    if (!p.waitForStarted(5000))
        return MountResult::noTool;
    if (!p.waitForFinished(m.timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return MountResult::timedOut;
    }
    if (output)
        *output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? MountResult::done : MountResult::failed;
}

NetworkMounter* s_mounter = nullptr;

} // namespace

MountResult GioMounter::mount(const QString& url, QString& nativeFolder)
{
    nativeFolder.clear();
    // A share that is mounted already answers "info" at once.
    QByteArray info;
    if (runTool(*this, {QStringLiteral("info"), QStringLiteral("-a"), QStringLiteral("standard::name"), url}, &info)
        != MountResult::done) {
        if (const MountResult r = runTool(*this, {QStringLiteral("mount"), url}, nullptr); r != MountResult::done)
            return r;
    }
    if (const MountResult r = runTool(*this, {QStringLiteral("info"), url}, &info); r != MountResult::done)
        return r;
    for (const QByteArray& raw : info.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1String("local path:"))) {
            nativeFolder = line.mid(11).trimmed();
            break;
        }
    }
    if (nativeFolder.isEmpty() || !QFileInfo(nativeFolder).isDir()) {
        nativeFolder.clear();
        return MountResult::failed;
    }
    return MountResult::done;
}

NetworkMounter& networkMounter()
{
    static GioMounter system;
    return s_mounter ? *s_mounter : system;
}

void setNetworkMounter(NetworkMounter* mounter) { s_mounter = mounter; }

} // namespace platform
