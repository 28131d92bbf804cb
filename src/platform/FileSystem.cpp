#include "platform/FileSystem.h"

#include "platform/AppError.h"
#include "platform/Drives.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

namespace platform {

namespace {

// Opens a folder however long its path is: to be read (lookOnly false), or
// only to look at its entries (O_PATH: search permission is all it takes). A
// path the kernel takes in one go is opened at once; a longer one piece by
// piece, each piece (under PATH_MAX bytes, cut at a "/") relative to the
// folder the one before opened, so the depth of a tree never limits what can
// be read.
int openFolderPath(const QByteArray& path, bool lookOnly = false)
{
    constexpr int look = O_PATH | O_DIRECTORY | O_CLOEXEC;
    const int flags = lookOnly ? look : O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (path.size() < PATH_MAX)
        return ::open(path.constData(), flags);
    int dirFd = AT_FDCWD;
    qsizetype pos = 0;
    while (pos < path.size()) {
        qsizetype end = path.size();
        if (end - pos >= PATH_MAX) {
            end = path.lastIndexOf('/', pos + PATH_MAX - 1);
            if (end <= pos) {   // a single name longer than any file system allows
                if (dirFd != AT_FDCWD)
                    ::close(dirFd);
                errno = ENAMETOOLONG;
                return -1;
            }
        }
        const QByteArray piece = path.mid(pos, end - pos);
        const int next = ::openat(dirFd, piece.constData(), end == path.size() ? flags : look);
        const int err = errno;
        if (dirFd != AT_FDCWD)
            ::close(dirFd);
        if (next < 0) {
            errno = err;
            return -1;
        }
        dirFd = next;
        pos = end + 1;
    }
    return dirFd;
}

constexpr long kMsdosMagic = 0x4d44;
constexpr long kNtfs3Magic = 0x7366746e;
constexpr long kFuseMagic = 0x65735546;   // ntfs-3g mounts as fuseblk

enum class DosSource { None, Fat, Ntfs };

DosSource dosSourceOf(int dirFd)
{
    struct statfs sf {};
    if (::fstatfs(dirFd, &sf) != 0)
        return DosSource::None;
    if (long(sf.f_type) == kMsdosMagic)
        return DosSource::Fat;
    if (long(sf.f_type) == kNtfs3Magic || long(sf.f_type) == kFuseMagic)
        return DosSource::Ntfs;
    return DosSource::None;
}

// Samba and Wine keep DOS attributes in user.DOSATTRIB as "0x..." text (the
// newer binary record starts with the same text).
bool readSambaAttributes(const char* path, unsigned& attr)
{
    char buf[128];
    const ssize_t n = ::lgetxattr(path, "user.DOSATTRIB", buf, sizeof buf - 1);
    if (n < 3)
        return false;
    buf[n] = 0;
    if (buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X'))
        return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(buf + 2, &end, 16);
    if (end == buf + 2)
        return false;
    attr = unsigned(v);
    return true;
}

bool readNativeDosAttributes(DosSource src, int dirFd, const char* name, const char* path, bool regularOrFolder,
                             unsigned& attr)
{
    if (src == DosSource::Ntfs) {
        unsigned char be[4];
        if (::lgetxattr(path, "system.ntfs_attrib_be", be, 4) == 4) {
            attr = (unsigned(be[0]) << 24) | (unsigned(be[1]) << 16) | (unsigned(be[2]) << 8) | be[3];
            return true;
        }
    } else if (src == DosSource::Fat && regularOrFolder) {
        // FAT keeps the attribute byte only behind an ioctl; a FAT volume holds
        // no FIFOs or devices, so this open cannot block.
        const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            __u32 a = 0;
            const bool ok = ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &a) == 0;
            ::close(fd);
            if (ok) {
                attr = a;
                return true;
            }
        }
    }
    return false;
}

void fillFacts(const struct stat& st, bool isFolder, bool nameIsDotted, FileFacts& f)
{
    f.isFolder = isFolder;
    f.hidden = nameIsDotted;
    f.system = false;
    f.readOnly = (st.st_mode & S_IWUSR) == 0;
    f.archive = !isFolder;
    f.size = isFolder ? 0 : qint64(st.st_size);
    f.mtime = qint64(st.st_mtim.tv_sec);
    f.modified = toLocalDateTime(f.mtime);
}

void applyDos(unsigned attr, FileFacts& f)
{
    f.hidden = f.hidden || (attr & attrHidden);
    f.system = (attr & attrSystem) != 0;
    f.readOnly = f.readOnly || (attr & attrReadOnly);
    f.archive = (attr & attrArchive) != 0;
}

// Classifies one entry: 0 when it is to be listed, -1 when it is not (a
// FIFO, socket or device, or an entry that vanished meanwhile), else the
// errno of facts that cannot be read (a folder that may be listed but not
// entered): such an entry must never be left out in silence.
int factsOfEntry(int dirFd, const char* name, const char* entryPath, DosSource dos, bool samba, FileFacts& f)
{
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? -1 : errno;
    bool isFolder = false;
    if (S_ISLNK(st.st_mode)) {
        f.isLink = true;
        struct stat target {};
        if (::fstatat(dirFd, name, &target, 0) == 0) {
            if (S_ISREG(target.st_mode))
                st = target;                  // a link to a file counts as the file
            else if (!S_ISDIR(target.st_mode))
                return -1;                    // a link to a FIFO or device is never offered
            // a link to a folder stays a file with the link's own facts
        }
    } else if (S_ISDIR(st.st_mode)) {
        isFolder = true;
    } else if (!S_ISREG(st.st_mode)) {
        return -1;
    }
    fillFacts(st, isFolder, name[0] == '.', f);
    unsigned attr = 0;
    if (readNativeDosAttributes(dos, dirFd, name, entryPath, !f.isLink, attr)
        || (samba && readSambaAttributes(entryPath, attr)))
        applyDos(attr, f);
    return 0;
}

// A path by which the extended attributes of `name` in the open folder can
// be asked: the full path while the kernel takes it in one go, else the
// folder's descriptor under /proc.
const char* entryPathFor(int dirFd, const QByteArray& fullPath, const char* name, QByteArray& buffer)
{
    if (fullPath.size() < PATH_MAX)
        return fullPath.constData();
    buffer = "/proc/self/fd/" + QByteArray::number(dirFd) + '/' + name;
    return buffer.constData();
}

int listingError(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return errPathNotFound;
    case EACCES:
    case EPERM: return errPermissionDenied;
    default: return errorFromErrno(err, true);
    }
}

int missingError(const QByteArray& path, int err)
{
    if (err != ENOENT)
        return errorFromErrno(err, err == ENOTDIR);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray parent = slash <= 0 ? QByteArray("/") : path.left(slash);
    const int fd = openFolderPath(parent, true);
    if (fd < 0)
        return errPathNotFound;
    ::close(fd);
    return errFileNotFound;
}

int nativeOf(const QString& logical, QByteArray& native)
{
    std::optional<QByteArray> n = toNativeBytes(logical);
    if (!n)
        return errPathNotFound;
    native = std::move(*n);
    return errNone;
}

qint64 treeSize(int dirFd)
{
    DIR* d = ::fdopendir(dirFd);
    if (!d) {
        ::close(dirFd);
        return 0;
    }
    qint64 total = 0;
    while (const dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        struct stat st {};
        if (::fstatat(dirFd, n, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            const int child = ::openat(dirFd, n, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                total += treeSize(child);
        } else if (S_ISREG(st.st_mode)) {
            total += st.st_size;
        } else if (S_ISLNK(st.st_mode)) {
            struct stat target {};
            if (::fstatat(dirFd, n, &target, 0) == 0 && S_ISREG(target.st_mode))
                total += target.st_size;
        }
    }
    ::closedir(d);
    return total;
}

} // namespace

int FileFacts::attributes() const
{
    return (readOnly ? attrReadOnly : 0) | (hidden ? attrHidden : 0) | (system ? attrSystem : 0)
        | (isFolder ? attrFolder : 0) | (archive ? attrArchive : 0);
}

LocalDateTime toLocalDateTime(qint64 secondsSinceEpoch)
{
    // The files of a folder mostly share a few seconds, and localtime_r
    // takes one process-wide lock: the scan's readers would queue on it.
    // Each thread keeps its last answer, for as long as the zone that
    // tzset() last set is the same (its names and offset).
    thread_local qint64 lastSeconds = 0;
    thread_local LocalDateTime lastAnswer;
    thread_local const char* lastZone[2] = {nullptr, nullptr};
    thread_local long lastOffset = 0;
    thread_local bool haveLast = false;
    if (haveLast && secondsSinceEpoch == lastSeconds && lastZone[0] == ::tzname[0] && lastZone[1] == ::tzname[1]
        && lastOffset == ::timezone)
        return lastAnswer;
    const time_t t = time_t(secondsSinceEpoch);
    struct tm tm {};
    if (!::localtime_r(&t, &tm))
        return {};
    lastAnswer = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    lastSeconds = secondsSinceEpoch;
    lastZone[0] = ::tzname[0];
    lastZone[1] = ::tzname[1];
    lastOffset = ::timezone;
    haveLast = true;
    return lastAnswer;
}

int fileFacts(const QString& logicalPath, FileFacts& out)
{
    out = {};
    QByteArray path;
    if (const int rc = nativeOf(logicalPath, path))
        return rc;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : path.left(slash);
    const QByteArray name = path.mid(slash + 1);
    if (name.isEmpty()) {   // the root itself
        struct stat st {};
        if (::stat(path.constData(), &st) != 0)
            return errPathNotFound;
        fillFacts(st, true, false, out);
        return errNone;
    }
    const int dirFd = openFolderPath(folder, true);
    if (dirFd < 0)
        return errno == EACCES ? errPermissionDenied : errPathNotFound;
    FileFacts f;
    QByteArray buffer;
    const int rc = factsOfEntry(dirFd, name.constData(), entryPathFor(dirFd, path, name.constData(), buffer),
                                dosSourceOf(dirFd), true, f);
    struct stat st {};
    const bool present = rc < 0 && ::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(dirFd);
    if (present)
        return errPathFileAccess;   // a FIFO, socket or device: not a file of ours
    if (rc != 0)
        return missingError(path, rc < 0 ? ENOENT : rc);
    out = f;
    return errNone;
}

int fileTimes(const QString& logicalPath, FileTimes& out)
{
    out = {};
    QByteArray path;
    if (const int rc = nativeOf(logicalPath, path))
        return rc;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : path.left(slash);
    QByteArray name = path.mid(slash + 1);
    if (name.isEmpty())
        name = ".";
    const int dirFd = openFolderPath(folder, true);
    if (dirFd < 0)
        return missingError(path, errno);
    struct statx sx {};
    const int rc = ::statx(dirFd, name.constData(), AT_STATX_SYNC_AS_STAT,
                           STATX_BTIME | STATX_MTIME | STATX_ATIME | STATX_CTIME, &sx);
    const int err = errno;
    ::close(dirFd);
    if (rc != 0)
        return missingError(path, err);
    out.modified = sx.stx_mtime.tv_sec;
    out.accessed = sx.stx_atime.tv_sec;
    out.created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec
                                              : std::min<qint64>(sx.stx_mtime.tv_sec, sx.stx_ctime.tv_sec);
    out.createdLocal = toLocalDateTime(out.created);
    out.modifiedLocal = toLocalDateTime(out.modified);
    out.accessedLocal = toLocalDateTime(out.accessed);
    return errNone;
}

bool fileExists(const QString& logicalPath)
{
    FileFacts f;
    return fileFacts(logicalPath, f) == errNone && !f.isFolder;
}

bool folderExists(const QString& logicalPath)
{
    FileFacts f;
    return fileFacts(logicalPath, f) == errNone && f.isFolder;
}

int fileOrFolderSize(const QString& logicalPath, qint64& size)
{
    size = 0;
    FileFacts f;
    if (const int rc = fileFacts(logicalPath, f))
        return rc;
    if (!f.isFolder) {
        size = f.size;
        return errNone;
    }
    QByteArray path;
    nativeOf(logicalPath, path);
    const int fd = openFolderPath(path);
    if (fd < 0)
        return listingError(errno);
    size = treeSize(fd);
    return errNone;
}

int listNativeFolder(const QString& nativeFolder, ListWhat what, std::vector<DirEntry>& out)
{
    out.clear();
    QByteArray folder = encodeNativePath(nativeFolder);
    const int fd = openFolderPath(folder);
    if (fd < 0)
        return listingError(errno);
    DIR* d = ::fdopendir(fd);
    if (!d) {
        const int err = errno;
        ::close(fd);
        return listingError(err);
    }
    const DosSource dos = dosSourceOf(fd);
    // Samba marks every file and folder it creates or changes. Asking each
    // entry costs a look-up per file on trees that never saw Samba, so the
    // entries are asked only when their folder carries the mark itself.
    const bool samba = ::fgetxattr(fd, "user.DOSATTRIB", nullptr, 0) > 0;
    if (!folder.endsWith('/'))
        folder += '/';
    QByteArray full = folder;
    QByteArray buffer;
    int err = 0;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(d);
        if (!e) {
            err = errno;
            break;
        }
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        switch (e->d_type) {
        case DT_FIFO: case DT_SOCK: case DT_CHR: case DT_BLK:
            continue;
        case DT_REG:
            if (what == ListWhat::Folders)
                continue;
            break;
        case DT_DIR:
            if (what == ListWhat::Files)
                continue;
            break;
        default:
            break;
        }
        full.truncate(folder.size());
        full.append(n);
        DirEntry entry;
        const int rc = factsOfEntry(fd, n, entryPathFor(fd, full, n, buffer), dos, samba, entry.facts);
        if (rc > 0) {
            err = rc;
            break;
        }
        if (rc < 0)
            continue;
        if ((what == ListWhat::Files && entry.facts.isFolder) || (what == ListWhat::Folders && !entry.facts.isFolder))
            continue;
        entry.name = nameToLogical(QByteArrayView(n));
        out.push_back(std::move(entry));
    }
    ::closedir(d);
    if (err != 0) {
        out.clear();
        return listingError(err);
    }
    return errNone;
}

int listFolder(const QString& logicalFolder, ListWhat what, std::vector<DirEntry>& out)
{
    out.clear();
    const std::optional<QString> native = toNative(logicalFolder);
    if (!native)
        return errPathNotFound;
    return listNativeFolder(*native, what, out);
}

int countEntries(const QString& logicalFolder, ListWhat what, qint64& count)
{
    count = 0;
    std::vector<DirEntry> entries;
    const int rc = listFolder(logicalFolder, what, entries);
    count = qint64(entries.size());
    return rc;
}

} // namespace platform
