#include "platform/Shell.h"

#include "platform/AtomicFile.h"

#include "platform/Application.h"
#include "platform/Drives.h"
#include "platform/StagedCopy.h"
#include "platform/Trash.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <dirent.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {

namespace {

int shellErrorFromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return shellNotFound;
    case ENOSPC:
    case EDQUOT: return shellDiskFull;
    case ENAMETOOLONG:
    case EINVAL: return shellBadName;
    default: return shellAccessDenied;
    }
}

// The same verdicts for a failure the atomic writer reports by error number.
int shellErrorFromAppError(int number)
{
    switch (number) {
    case 53:
    case 76: return shellNotFound;
    case 61: return shellDiskFull;
    case 52:
    case 64: return shellBadName;
    default: return shellAccessDenied;
    }
}

bool nativeOf(const QString& logical, QByteArray& out)
{
    std::optional<QByteArray> n = toNativeBytes(logical);
    if (!n)
        return false;
    out = std::move(*n);
    return true;
}

bool sameFile(const struct stat& a, const QByteArray& other)
{
    struct stat b {};
    return ::stat(other.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Copies one regular file through a temporary file beside the target, so the
// target is either the old file or the complete new one.
int copyRegular(const QByteArray& from, const struct stat& st, const QByteArray& to)
{
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        return shellErrorFromErrno(errno);
    AtomicFile out;
    if (const int err = out.open(decodeNativePath(to))) {
        ::close(in);
        return shellErrorFromAppError(err);
    }
    int rc = shellOk;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            rc = shellErrorFromErrno(errno);
            break;
        }
        if (n == 0)
            break;
        if (const int err = out.write(buf, n)) {
            rc = shellErrorFromAppError(err);
            break;
        }
    }
    ::close(in);
    if (rc == shellOk) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::futimens(out.fd(), times) != 0)
            rc = shellErrorFromErrno(errno);
    }
    if (rc == shellOk)
        if (const int err = out.commit(int(st.st_mode & 07777)))
            rc = shellErrorFromAppError(err);
    return rc;
}

// The names in a native folder as the bytes they are, without "." and "..".
// 0 or the errno of the failure.
int folderNames(const QByteArray& folder, std::vector<QByteArray>& out)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return errno;
    errno = 0;
    while (const struct dirent* e = ::readdir(dir)) {
        const QByteArrayView name(e->d_name);
        if (name != "." && name != "..")
            out.emplace_back(name.toByteArray());
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    return err;
}

// Removes a native folder with everything below it; links are removed, never
// followed. 0 or the errno of the first failure.
int removeTree(const QByteArray& path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.constData()) == 0 ? 0 : errno;
    std::vector<QByteArray> names;
    if (const int err = folderNames(path, names))
        return err;
    for (const QByteArray& n : names)
        if (const int err = removeTree(path + '/' + n))
            return err;
    return ::rmdir(path.constData()) == 0 ? 0 : errno;
}

int copyItem(const QByteArray& from, const QByteArray& to)
{
    struct stat st {};
    if (::stat(from.constData(), &st) != 0)
        return shellErrorFromErrno(errno);
    if (sameFile(st, to))
        return shellSameFile;
    if (S_ISREG(st.st_mode))
        return copyRegular(from, st, to);
    if (!S_ISDIR(st.st_mode))
        return shellAccessDenied;   // FIFOs and devices are never opened
    // A folder copied into itself would grow without end.
    if (to.startsWith(from + '/'))
        return shellSameFile;
    if (::mkdir(to.constData(), 0777) != 0 && errno != EEXIST)
        return shellErrorFromErrno(errno);
    std::vector<QByteArray> names;
    if (const int err = folderNames(from, names))
        return shellErrorFromErrno(err);
    for (const QByteArray& n : names) {
        struct stat child {};
        if (::lstat((from + '/' + n).constData(), &child) != 0 || !(S_ISREG(child.st_mode) || S_ISDIR(child.st_mode)))
            continue;
        if (const int rc = copyItem(from + '/' + n, to + '/' + n))
            return rc;
    }
    return shellOk;
}

QString findProgram(const QString& program)
{
    const QString inAppFolder = app().nativePath() + QLatin1Char('/') + program;
    const QFileInfo fi(inAppFolder);
    if (fi.isFile() && fi.isExecutable())
        return inAppFolder;
    return QStandardPaths::findExecutable(program);
}

} // namespace

bool looksLikeAddress(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

bool isOpenableAddress(const QString& target)
{
    if (!looksLikeAddress(target))
        return false;
    const QString s = target.left(target.indexOf(QLatin1Char(':'))).toLower();
    return s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("ftp");
}

// ---- SystemShell --------------------------------------------------------------

int SystemShell::copyFiles(const QStringList& sources, const QString& destinationFolder)
{
    QByteArray dest;
    if (!nativeOf(destinationFolder, dest))
        return shellNotFound;
    if (makeNativeFolders(dest) != 0)
        return shellAccessDenied;
    for (const QString& source : sources) {
        QByteArray from;
        if (!nativeOf(source, from))
            return shellNotFound;
        const qsizetype slash = from.lastIndexOf('/');
        const QByteArray name = from.mid(slash + 1);
        if (name.isEmpty())
            return shellBadName;
        QByteArray to = dest;
        if (!to.endsWith('/'))
            to += '/';
        if (const int rc = copyItem(from, to + name))
            return rc;
    }
    return shellOk;
}

int SystemShell::moveFile(const QString& source, const QString& destination)
{
    QByteArray from, to;
    if (!nativeOf(source, from) || !nativeOf(destination, to))
        return shellNotFound;
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0)
        return shellErrorFromErrno(errno);
    if (sameFile(st, to))
        return shellSameFile;
    if (const qsizetype slash = to.lastIndexOf('/'); slash > 0)
        makeNativeFolders(to.left(slash));   // a failure shows in the rename
    if (::rename(from.constData(), to.constData()) == 0)
        return shellOk;
    if (errno != EXDEV)
        return shellErrorFromErrno(errno);
    // Another volume: copy in full first, remove the source only afterwards.
    if (!S_ISREG(st.st_mode))
        return shellAccessDenied;
    if (const int rc = copyRegular(from, st, to))
        return rc;
    return ::unlink(from.constData()) == 0 ? shellOk : shellErrorFromErrno(errno);
}

int SystemShell::deleteItems(const QStringList& items, bool toTrash)
{
    for (const QString& item : items) {
        QByteArray path;
        if (!nativeOf(item, path))
            return shellNotFound;
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0)
            return shellErrorFromErrno(errno);
        if (toTrash) {
            if (moveToTrash(decodeNativePath(path)) != 0)
                return shellAccessDenied;
        } else if (S_ISDIR(st.st_mode)) {
            if (removeTree(path) != 0)
                return shellAccessDenied;
        } else if (::unlink(path.constData()) != 0) {
            return shellErrorFromErrno(errno);
        }
    }
    return shellOk;
}

int SystemShell::openWithAssociatedProgram(const QString& target)
{
    QString argument;
    if (looksLikeAddress(target)) {   // a drive letter is one letter, a scheme at least two
        if (!isOpenableAddress(target))
            return openNoAssociation;
        argument = target;
    } else {
        const std::optional<QByteArray> native = toNativeBytes(target);
        if (!native)
            return openPathNotFound;
        struct stat st {};
        if (::stat(native->constData(), &st) != 0) {
            const QByteArray folder = native->left(std::max<qsizetype>(native->lastIndexOf('/'), 1));
            return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) ? openFileNotFound : openPathNotFound;
        }
        // A native path always starts with "/", never taken for an option. A
        // name that is not UTF-8 cannot travel as text: its address carries
        // every byte.
        argument = QString::fromUtf8(*native);
        if (argument.toUtf8() != *native)
            argument = QStringLiteral("file://") + QString::fromLatin1(native->toPercentEncoding("/"));
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return openNoAssociation;
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({argument});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    if (!process->waitForStarted(5000)) {
        delete process;
        return openOutOfMemory;
    }
    QElapsedTimer clock;
    clock.start();
    while (process->state() != QProcess::NotRunning && clock.elapsed() < openerWaitMs) {
        process->waitForFinished(50);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (process->state() != QProcess::NotRunning) {
        // Some openers stay with the program they started: let it run on.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return openDone;
    }
    const int code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : 4;
    delete process;
    switch (code) {
    case 0: return openDone;
    case 2: return openFileNotFound;
    case 3: return openNoAssociation;
    default: return openBadAssociation;
    }
}

bool SystemShell::runAndWait(const QString& program, const QString& logicalFile)
{
    const QString exe = findProgram(program);
    if (exe.isEmpty())
        return false;
    const QString file = toNative(logicalFile).value_or(logicalFile);
    QProcess process;
    process.setProgram(exe);
    process.setArguments({file});
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(10000))
        return false;
    // Windows keep repainting while the program runs, but take no input.
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(50);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

bool SystemShell::startProgram(const QString& nativeProgram)
{
    if (!QFileInfo(nativeProgram).isExecutable())
        return false;
    return QProcess::startDetached(nativeProgram, {});
}

bool SystemShell::networkAlive()
{
    struct ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return false;
    bool alive = false;
    for (const struct ifaddrs* i = list; i && !alive; i = i->ifa_next) {
        if (!i->ifa_addr || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        const bool up = (i->ifa_flags & IFF_UP) && (i->ifa_flags & IFF_RUNNING);
        const int family = i->ifa_addr->sa_family;
        alive = up && (family == AF_INET || family == AF_INET6);
    }
    ::freeifaddrs(list);
    return alive;
}

QString SystemShell::systemInformationTool()
{
    for (const char* name : {"msinfo32", "kinfocenter", "hardinfo", "gnome-system-monitor"}) {
        const QString found = findProgram(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

namespace {
Shell* s_shell = nullptr;
} // namespace

Shell& shell()
{
    static SystemShell system;
    return s_shell ? *s_shell : system;
}

void setShell(Shell* s) { s_shell = s; }

} // namespace platform
