#include "platform/Application.h"

#include "platform/Drives.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString executableFolder()
{
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (exe.isEmpty())
        return QDir::currentPath();
    QString folder = QFileInfo(exe).absolutePath();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

// ---- InstanceLock -----------------------------------------------------------

namespace {

// A folder that only this user can change: anybody else could replace the
// lock file there with a link to a file of ours, or hold it and stop us.
bool isPrivateFolder(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The runtime folder when it is the user's own, else a private folder in
// the user's cache (made on first use); "" when neither is to be had.
QString privateLockFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return decodeNativePath(runtime);
    QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (cache.isEmpty())
        cache = encodeNativePath(QDir::homePath()) + "/.cache";
    const QByteArray folder = cache + "/Quillmarsh";
    ::mkdir(cache.constData(), 0700);
    ::mkdir(folder.constData(), 0700);
    return isPrivateFolder(folder) ? decodeNativePath(folder) : QString();
}

} // namespace

InstanceLock::InstanceLock(const QString& nativeAppFolder, const QString& lockFolder)
{
    const QString folder = lockFolder.isEmpty() ? privateLockFolder() : lockFolder;
    if (folder.isEmpty())
        return;
    const QByteArray key = QCryptographicHash::hash(encodeNativePath(nativeAppFolder), QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    m_file = folder + QStringLiteral("/Quillmarsh-") + QString::fromLatin1(key) + QStringLiteral("-") +
        QString::number(::getuid()) + QStringLiteral(".lock");
}

InstanceLock::~InstanceLock() { release(); }

InstanceLock::Result InstanceLock::tryLock()
{
    if (m_fd >= 0)
        return Taken;
    if (m_file.isEmpty())
        return Unavailable;
    const QByteArray path = encodeNativePath(m_file);
    if (!isPrivateFolder(path.left(path.lastIndexOf('/'))))
        return Unavailable;
    // Close-on-exec: a program we start must not keep our lock after we end.
    // A link in place of the lock file is never followed, and a file that is
    // not our own plain file is never written.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0)
        return Unavailable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? HeldByOther : Unavailable;
    }
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.constData(), size_t(pid.size())) < 0) {
        // the pid is only a courtesy to whoever looks at the file
    }
    m_fd = fd;
    return Taken;
}

void InstanceLock::release()
{
    if (m_fd >= 0) {
        ::close(m_fd);   // the file stays; removing it would race a starting copy
        m_fd = -1;
    }
}

// ---- Application --------------------------------------------------------------

QString Application::path() const
{
    if (m_path.isEmpty()) {
        QString logical = toLogical(executableFolder());
        while (logical.endsWith(QLatin1Char('\\')))
            logical.chop(1);
        m_path = logical;
    }
    return m_path;
}

QString Application::nativePath() const
{
    return toNative(path()).value_or(executableFolder());
}

void Application::setPath(const QString& logicalFolder)
{
    m_path = logicalFolder;
    while (m_path.size() > 2 && m_path.endsWith(QLatin1Char('\\')))
        m_path.chop(1);
    if (m_path.size() == 3 && m_path.endsWith(QLatin1Char('\\')))
        m_path.chop(1);
}

void Application::setVersion(int major, int minor, int revision)
{
    m_major = major;
    m_minor = minor;
    m_revision = revision;
}

bool Application::previousInstance()
{
    if (!m_checked) {
        m_checked = true;
        m_lock = std::make_unique<InstanceLock>(nativePath(), m_lockFolder);
        m_previous = m_lock->tryLock() == InstanceLock::HeldByOther;
    }
    return m_previous;
}

Application& app()
{
    static Application a;
    return a;
}

} // namespace platform
