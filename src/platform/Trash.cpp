#include "platform/Trash.h"

#include "platform/Drives.h"

#include "platform/AppError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

bool ensureFolder(const QString& path, mode_t mode)
{
    if (QFileInfo(path).isDir())
        return true;
    return QDir().mkpath(path) && ::chmod(encodeNativePath(path).constData(), mode) == 0;
}

// Claims a free name in the trash by creating its .trashinfo exclusively, so
// two programs trashing "a.txt" at once never overwrite each other's record.
bool claimName(const QString& trash, const QString& baseName, const QByteArray& infoText, QString& claimed)
{
    const QString infoDir = trash + QStringLiteral("/info");
    const QString filesDir = trash + QStringLiteral("/files");
    for (int n = 1; n < 10000; ++n) {
        QString name = baseName;
        if (n > 1) {
            const QFileInfo fi(baseName);
            const QString suffix = fi.completeSuffix();
            name = suffix.isEmpty() || baseName.startsWith(QLatin1Char('.'))
                ? QStringLiteral("%1.%2").arg(baseName).arg(n)
                : QStringLiteral("%1.%2.%3").arg(fi.baseName()).arg(n).arg(suffix);
        }
        struct stat st {};
        if (::lstat(encodeNativePath(filesDir + QLatin1Char('/') + name).constData(), &st) == 0)
            continue;
        const QByteArray info = encodeNativePath(infoDir + QLatin1Char('/') + name + QStringLiteral(".trashinfo"));
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool ok = ::write(fd, infoText.constData(), size_t(infoText.size())) == infoText.size();
        ::close(fd);
        if (!ok) {
            ::unlink(info.constData());
            return false;
        }
        claimed = name;
        return true;
    }
    return false;
}

bool trashInto(const QString& trash, const QString& nativePath, const QString& recordedPath, QString* trashedAs)
{
    if (!ensureFolder(trash, 0700) || !ensureFolder(trash + QStringLiteral("/files"), 0700)
        || !ensureFolder(trash + QStringLiteral("/info"), 0700))
        return false;
    const QByteArray info = "[Trash Info]\nPath=" + QUrl::toPercentEncoding(recordedPath, "/") +
        "\nDeletionDate=" + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
        "\n";
    QString name;
    if (!claimName(trash, QFileInfo(nativePath).fileName(), info, name))
        return false;
    const QString target = trash + QStringLiteral("/files/") + name;
    if (::rename(encodeNativePath(nativePath).constData(), encodeNativePath(target).constData()) != 0) {
        QFile::remove(trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo"));
        return false;
    }
    if (trashedAs)
        *trashedAs = target;
    return true;
}

dev_t deviceOf(const QString& path)
{
    struct stat st {};
    return ::lstat(encodeNativePath(path).constData(), &st) == 0 ? st.st_dev : dev_t(-1);
}

// The top folder of the volume that holds `path`.
QString volumeTop(const QString& path)
{
    const dev_t dev = deviceOf(path);
    QString top = QFileInfo(path).absolutePath();
    while (top != QLatin1String("/")) {
        const QString parent = QFileInfo(top).absolutePath();
        if (deviceOf(parent) != dev)
            break;
        top = parent;
    }
    return top;
}

} // namespace

QString homeTrashFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Trash");
}

int moveToTrash(const QString& nativePath, QString* trashedAs)
{
    const QString path = QFileInfo(nativePath).absoluteFilePath();
    struct stat st {};
    if (::lstat(encodeNativePath(path).constData(), &st) != 0)
        return errorFromErrno(errno);
    const QString home = homeTrashFolder();
    QString homeProbe = home;
    while (!QFileInfo::exists(homeProbe) && homeProbe != QLatin1String("/"))
        homeProbe = QFileInfo(homeProbe).absolutePath();
    if (deviceOf(homeProbe) == st.st_dev && trashInto(home, path, path, trashedAs))
        return errNone;

    const QString top = volumeTop(path);
    const QString uid = QString::number(::getuid());
    const QString relative = QDir(top).relativeFilePath(path);
    struct stat shared {};
    const QByteArray sharedPath = encodeNativePath(top + QStringLiteral("/.Trash"));
    // The shared .Trash is trusted only as a real sticky folder, never a link.
    if (::lstat(sharedPath.constData(), &shared) == 0 && S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX)
        && trashInto(top + QStringLiteral("/.Trash/") + uid, path, relative, trashedAs))
        return errNone;
    if (trashInto(top + QStringLiteral("/.Trash-") + uid, path, relative, trashedAs))
        return errNone;
    return errPermissionDenied;
}

} // namespace platform
