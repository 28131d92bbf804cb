#pragma once
// The application object: where the program lives, what it is called, its
// version, its help file and whether another copy already runs.

#include <QString>

#include <memory>

namespace platform {

// The lock of one application folder, held for as long as the program runs:
// an flock on the folder itself. Every copy that runs from the folder meets
// the same lock, whoever started it, with whatever environment and by
// whatever path (a link, a bind mount), and the kernel drops it when the
// holder ends in any way (crash included).
class InstanceLock {
public:
    explicit InstanceLock(const QString& nativeAppFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum Result { Taken, HeldByOther, Unavailable };
    // Takes the lock. Unavailable: the folder cannot be opened or locked
    // (then nobody can tell whether another copy runs).
    Result tryLock();
    bool isHeld() const { return m_fd >= 0; }
    void release();

private:
    QString m_folder;
    int m_fd = -1;
};

class Application {
public:
    // The logical folder of the running executable, no trailing separator
    // ("C:\opt\Quillmarsh"; a program at the root gives "C:").
    QString path() const;
    QString nativePath() const;
    void setPath(const QString& logicalFolder);   // tests and special set-ups

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    int major() const { return m_major; }
    int minor() const { return m_minor; }
    int revision() const { return m_revision; }
    void setVersion(int major, int minor, int revision);

    QString helpFile() const { return m_helpFile; }
    void setHelpFile(const QString& logicalFile) { m_helpFile = logicalFile; }

    // Whether another copy runs from the same application folder. The first
    // call takes this copy's lock and keeps it for the life of the object.
    bool previousInstance();

private:
    mutable QString m_path;
    QString m_title = QStringLiteral("Quillmarsh");
    int m_major = 2002;
    int m_minor = 8;
    int m_revision = 26;
    QString m_helpFile;
    std::unique_ptr<InstanceLock> m_lock;
    bool m_checked = false;
    bool m_previous = false;
};

// The program's one application object.
Application& app();

// The folder of the running executable (native, no trailing "/").
QString executableFolder();

} // namespace platform
