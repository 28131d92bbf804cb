#pragma once
// The application object: where the program lives, what it is called, its
// version, its help file and whether another copy already runs.

#include <QString>

#include <memory>

namespace platform {

// A lock file held for as long as the program runs, one per application
// folder. The kernel drops the lock when the holder ends in any way (crash
// included), so a lock file left behind by a dead copy is simply taken over.
class InstanceLock {
public:
    // `lockFolder` empty: $XDG_RUNTIME_DIR when it is the user's own, else a
    // private folder in the user's cache. The folder must be one that only
    // this user can change, or the lock is Unavailable.
    explicit InstanceLock(const QString& nativeAppFolder, const QString& lockFolder = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum Result { Taken, HeldByOther, Unavailable };
    // Takes the lock. Unavailable: the lock file cannot be made (then nobody
    // can tell whether another copy runs).
    Result tryLock();
    bool isHeld() const { return m_fd >= 0; }
    void release();
    QString lockFile() const { return m_file; }

private:
    QString m_file;
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
    void setLockFolder(const QString& nativeFolder) { m_lockFolder = nativeFolder; }

private:
    mutable QString m_path;
    QString m_title = QStringLiteral("Quillmarsh");
    int m_major = 2002;
    int m_minor = 8;
    int m_revision = 26;
    QString m_helpFile;
    QString m_lockFolder;
    std::unique_ptr<InstanceLock> m_lock;
    bool m_checked = false;
    bool m_previous = false;
};

// The program's one application object.
Application& app();

// The folder of the running executable (native, no trailing "/").
QString executableFolder();

} // namespace platform
