#include "platform/StagedCopy.h"

#include "platform/AtomicFile.h"
#include "platform/Drives.h"
#include "platform/Shell.h"
#include "platform/WriteJournal.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

int resultOf(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return shellNotFound;
    case ENOSPC:
    case EDQUOT: return shellDiskFull;
    case ENAMETOOLONG: return shellBadName;
    default: return shellAccessDenied;
    }
}

struct Staged {
    QByteArray source;
    QByteArray target;
    QByteArray temp;     // the complete copy, waiting to be renamed
    QByteArray backup;   // a second name of the old target, while renaming
    QByteArray copyId;   // the copy's device and inode
    quint64 tempTicket = 0;     // their entries in the write journal
    quint64 backupTicket = 0;
    bool moved = false;  // the old target was renamed to `backup` (no link there)
};

LinkCall s_link = nullptr;

int makeLink(const char* from, const char* to)
{
    return s_link ? s_link(from, to) : ::link(from, to);
}

// What link() says where the file system keeps no second names (FAT,
// exFAT and the like), as opposed to a refusal of the folder.
bool noHardLinks(int err)
{
    return err == EPERM || err == EOPNOTSUPP || err == ENOTSUP || err == EMLINK;
}

// Renames without replacing what took the name meanwhile, where the file
// system can tell; 0 or the errno.
int renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// What writeCopy gives for a source that is no file: not an errno.
constexpr int kNotAFile = -1;

// The copy of one file to its temporary name; 0, the errno of the failure,
// or kNotAFile.
int writeCopy(Staged& s)
{
    struct stat st {};
    const int in = ::open(s.source.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)   // a socket, or a device without its driver, cannot be opened at all
        return errno == ENXIO ? kNotAFile : errno;
    const int unread = ::fstat(in, &st) != 0 ? errno : !S_ISREG(st.st_mode) ? kNotAFile : 0;
    if (unread != 0) {
        ::close(in);
        return unread;   // FIFOs, devices and folders are never read
    }
    int out = -1;
    if (const int err = makeFreeName(s.target, ".qmtmp-", s.temp, s.tempTicket, [&out](const QByteArray& name) {
            out = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            return out < 0 ? errno : 0;
        })) {
        ::close(in);
        return err;
    }
    int rc = 0;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0)
                rc = errno;
            break;
        }
        for (ssize_t done = 0; done < n && rc == 0;) {
            const ssize_t w = ::write(out, buf + done, size_t(n - done));
            if (w < 0 && errno != EINTR)
                rc = errno;
            else if (w > 0)
                done += w;
        }
        if (rc != 0)
            break;
    }
    ::close(in);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (rc == 0 && (::fchmod(out, st.st_mode & 07777) != 0 || ::futimens(out, times) != 0 || ::fsync(out) != 0))
        rc = errno;
    s.copyId = journal::fileId(out);
    ::close(out);
    return rc;
}

// Removes what is left of the copies and the old files' second names.
void discard(std::vector<Staged>& staged)
{
    for (Staged& s : staged) {
        for (QByteArray* name : {&s.temp, &s.backup})
            if (!name->isEmpty())
                ::unlink(name->constData());
        journal::strike(s.tempTicket);
        journal::strike(s.backupTicket);
        s = Staged{};
    }
}

// Renames every staged copy over its target. The old files get second
// names first: a hard link where the file system makes them, else the old
// file itself is renamed (FAT), which the set's entry in the write journal,
// made before, puts back should the run end before the commit. The commit
// begins once every old file has its second name: a kill from there on is
// finished at the next start, one before it leaves every target as it was.
// A rename that fails puts the targets already replaced back. 0 or the errno
// of the failure.
int commit(std::vector<Staged>& staged, const StagedCheck& check)
{
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (check && !check(int(i), staged[i].temp)) {
            discard(staged);
            return ECANCELED;
        }
    }
    for (Staged& s : staged) {
        struct stat st {};
        if (::lstat(s.target.constData(), &st) != 0)
            continue;
        int linkErr = 0;
        const auto linkOld = [&s, &linkErr](const QByteArray& name) {
            linkErr = makeLink(s.target.constData(), name.constData()) == 0 ? 0 : errno;
            return noHardLinks(linkErr) ? 0 : linkErr;
        };
        int err = makeFreeName(s.target, kBackupTag, s.backup, s.backupTicket, linkOld);
        if (err == 0 && linkErr != 0) {
            // No second name was made: a free one for the old file to move to.
            s.moved = true;
            struct stat taken {};
            if (::lstat(s.backup.constData(), &taken) == 0)
                err = EEXIST;
        }
        if (err != 0) {
            discard(staged);
            return err;
        }
    }
    std::vector<journal::StagedFile> files;
    for (const Staged& s : staged)
        files.push_back({s.temp, s.target, s.backup, s.copyId});
    const quint64 set = journal::enterSet(files);
    for (const Staged& s : staged) {
        if (!s.moved)
            continue;
        if (const int err = renameNoReplace(s.target, s.backup)) {
            journal::rollBack(files);
            discard(staged);
            journal::strike(set);
            return err;
        }
        journal::step("old file moved");
    }
    journal::step("copies complete");
    journal::beginCommit(set);
    journal::step("commit begun");
    int rc = 0;
    for (const Staged& s : staged) {
        if (::rename(s.temp.constData(), s.target.constData()) != 0) {
            rc = errno;
            journal::beginRollback(set);
            journal::step("rollback begun");
            journal::rollBack(files);
            break;
        }
        journal::step("file replaced");
    }
    journal::step("files replaced");
    discard(staged);
    journal::strike(set);
    return rc;
}

// The real path of a native path (links followed), or empty when it does
// not exist.
QByteArray realPath(const QByteArray& native)
{
    char* real = ::realpath(native.constData(), nullptr);
    if (!real)
        return {};
    QByteArray out(real);
    ::free(real);
    return out;
}

QByteArray canonicalFolder(const QString& logical)
{
    const std::optional<QByteArray> native = toNativeBytes(logical);
    return native ? realPath(*native) : QByteArray();
}

QByteArray parentOf(const QByteArray& native)
{
    const qsizetype slash = native.lastIndexOf('/');
    return slash > 0 ? native.left(slash) : QByteArray("/");
}

} // namespace

void setLinkCall(LinkCall call)
{
    s_link = call;
}

int makeNativeFolders(const QByteArray& folder)
{
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        if (::mkdir(part.constData(), 0777) != 0) {
            if (errno != EEXIST)
                return errno;
            if (::stat(part.constData(), &st) != 0)   // there, yet not to be followed
                return errno == ENOENT ? ENOLINK : errno;
            if (!S_ISDIR(st.st_mode))
                return ENOTDIR;
        }
        if (slash < 0)
            break;
    }
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

bool sameFolder(const QString& logicalA, const QString& logicalB)
{
    const QByteArray a = canonicalFolder(logicalA);
    return !a.isEmpty() && a == canonicalFolder(logicalB);
}

namespace {

// The copy; a refusal as its ShellResult, a failure of the system as `err`.
int copyStaged(const QStringList& sources, const QString& destination, int& err, const StagedCheck& check,
               int& notAFile)
{
    const std::optional<QByteArray> dest = toNativeBytes(destination);
    if (!dest)
        return shellNotFound;
    const QByteArray destReal = realPath(*dest);
    std::vector<QByteArray> from;
    for (const QString& source : sources) {
        std::optional<QByteArray> native = toNativeBytes(source);
        if (!native)
            return shellNotFound;
        if (!destReal.isEmpty() && realPath(parentOf(*native)) == destReal)
            return shellSameFile;
        from.push_back(std::move(*native));
    }
    if ((err = makeNativeFolders(*dest)) != 0)
        return shellOk;

    std::vector<Staged> staged;
    for (QByteArray& source : from) {
        Staged s;
        s.source = std::move(source);
        const qsizetype slash = s.source.lastIndexOf('/');
        const QByteArray name = s.source.mid(slash + 1);
        if (name.isEmpty())
            return shellBadName;
        s.target = *dest;
        if (!s.target.endsWith('/'))
            s.target += '/';
        s.target = writeThroughLink(s.target + name);
        struct stat a {}, b {};
        if (::stat(s.source.constData(), &a) == 0 && ::stat(s.target.constData(), &b) == 0 && a.st_dev == b.st_dev
            && a.st_ino == b.st_ino)
            return shellSameFile;
        if (S_ISDIR(b.st_mode)) {   // never replaced by a file, and no use trying
            err = EISDIR;
            return shellOk;
        }
        staged.push_back(s);
    }
    for (std::size_t i = 0; i < staged.size(); ++i) {
        const int rc = writeCopy(staged[i]);
        if (rc == 0)
            continue;
        discard(staged);
        if (rc == kNotAFile) {
            notAFile = int(i);
            return shellNotAFile;
        }
        err = rc;
        return shellOk;
    }
    err = commit(staged, check);
    if (err == ECANCELED) {
        err = 0;
        return shellCopyRefused;
    }
    return shellOk;
}

} // namespace

int copyFilesStaged(const QStringList& sources, const QString& destination, int* systemError,
                    const StagedCheck& check, int* notAFile)
{
    int err = 0;
    int which = -1;
    const int rc = copyStaged(sources, destination, err, check, which);
    if (systemError)
        *systemError = err;
    if (notAFile)
        *notAFile = which;
    return rc != shellOk ? rc : err != 0 ? resultOf(err) : shellOk;
}

} // namespace platform
