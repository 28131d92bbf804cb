#include "platform/Application.h"

#include "platform/Drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
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

InstanceLock::InstanceLock(const QString& nativeAppFolder) : m_folder(nativeAppFolder) {}

InstanceLock::~InstanceLock() { release(); }

InstanceLock::Result InstanceLock::tryLock()
{
    if (m_fd >= 0)
        return Taken;
    // Close-on-exec: a program we start must not keep our lock after we end.
    const QByteArray path = encodeNativePath(m_folder);
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? HeldByOther : Unavailable;
    }
    m_fd = fd;
    return Taken;
}

void InstanceLock::release()
{
    if (m_fd >= 0) {
        ::close(m_fd);
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
        m_lock = std::make_unique<InstanceLock>(nativePath());
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
