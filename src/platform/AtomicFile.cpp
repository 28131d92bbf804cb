#include "platform/AtomicFile.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "platform/WriteJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* kTempMarker = kTemporaryTag;
constexpr long kMostNameBytes = 255;
constexpr qsizetype kRandomChars = 6;

NameLimitProbe s_nameLimitProbe = nullptr;

// The longest name the folder takes (255 bytes on the usual file systems).
// No file system this program meets takes longer names, whatever it says.
long nameLimit(const QByteArray& folder)
{
    const char* path = folder.isEmpty() ? "/" : folder.constData();
    const long limit = s_nameLimitProbe ? s_nameLimitProbe(path) : ::pathconf(path, _PC_NAME_MAX);
    return limit > 0 ? std::min(limit, kMostNameBytes) : kMostNameBytes;
}

bool isRandomPart(QByteArrayView text)
{
    if (text.size() != kRandomChars)
        return false;
    for (const char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

mode_t defaultMode()
{
    const mode_t m = ::umask(0);
    ::umask(m);
    return 0666 & ~m;
}

} // namespace

QByteArray temporaryNamePrefix(const QByteArray& nativeTarget, const char* tag)
{
    const qsizetype slash = nativeTarget.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : nativeTarget.left(slash);
    QByteArray name = nativeTarget.mid(slash + 1);
    const qsizetype room = nameLimit(folder) - 1 - qsizetype(qstrlen(tag)) - 6;
    if (name.size() > room) {
        qsizetype cut = qMax<qsizetype>(room, 0);
        while (cut > 0 && (uchar(name[cut]) & 0xC0) == 0x80)
            --cut;   // never half a UTF-8 character
        name.truncate(cut);
    }
    return (slash < 0 ? QByteArray() : nativeTarget.left(slash + 1)) + '.' + name + tag;
}

bool isTemporaryName(const QByteArray& path)
{
    if (!path.startsWith('/') || path.contains('\0'))
        return false;
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    if (!name.startsWith('.') || !isRandomPart(QByteArrayView(name).last(std::min(name.size(), kRandomChars))))
        return false;
    const QByteArray rest = name.chopped(kRandomChars);
    return rest.endsWith(kTemporaryTag) || rest.endsWith(kBackupTag);
}

bool isTemporaryNameOf(const QByteArray& path, const QByteArray& target, const char* tag)
{
    if (!isTemporaryName(path) || !target.startsWith('/') || target.contains('\0') || target.endsWith('/'))
        return false;
    return path.chopped(kRandomChars) == temporaryNamePrefix(target, tag);
}

void setNameLimitProbe(NameLimitProbe probe)
{
    s_nameLimitProbe = probe;
}

QByteArray writeThroughLink(const QByteArray& path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.constData(), nullptr)) {
            QByteArray out(real);
            std::free(real);
            return out;
        }
    }
    return path;
}

AtomicFile::~AtomicFile()
{
    discard();
}

int AtomicFile::open(const QString& nativeTarget)
{
    discard();
    target_ = nativeTarget;
    error_ = 0;
    const QFileInfo info(nativeTarget);
    const int err = makeFreeName(encodeNativePath(info.absoluteFilePath()), kTempMarker, temp_, ticket_,
                                 [this](const QByteArray& name) {
                                     fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
                                     return fd_ < 0 ? errno : 0;
                                 });
    if (err != 0) {
        fd_ = -1;
        temp_.clear();
        return errorFromErrno(err, err == ENOENT || err == ENOTDIR);
    }
    return 0;
}

int AtomicFile::write(const QByteArray& bytes)
{
    return write(bytes.constData(), bytes.size());
}

int AtomicFile::write(const char* p, qsizetype left)
{
    if (fd_ < 0)
        return error_ ? error_ : 52;
    if (error_)
        return error_;
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error_ = errorFromErrno(errno);
            return error_;
        }
        p += n;
        left -= n;
    }
    return 0;
}

int AtomicFile::commit(int mode)
{
    if (fd_ < 0)
        return error_ ? error_ : 52;
    int err = error_;
    if (err == 0) {
        mode_t m = defaultMode();
        struct stat st {};
        if (mode >= 0)
            m = mode_t(mode);
        else if (::stat(encodeNativePath(target_).constData(), &st) == 0)
            m = st.st_mode & 07777;
        if (::fchmod(fd_, m) != 0 || ::fsync(fd_) != 0)
            err = errorFromErrno(errno);
    }
    if (::close(fd_) != 0 && err == 0)
        err = errorFromErrno(errno);
    fd_ = -1;
    journal::step("file complete");
    if (err == 0 && ::rename(temp_.constData(), encodeNativePath(target_).constData()) != 0)
        err = errorFromErrno(errno);
    if (err != 0)
        ::unlink(temp_.constData());
    journal::step("file renamed");
    journal::strike(ticket_);
    ticket_ = 0;
    temp_.clear();
    error_ = err;
    return err;
}

void AtomicFile::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.isEmpty()) {
        ::unlink(temp_.constData());
        temp_.clear();
    }
    journal::strike(ticket_);
    ticket_ = 0;
}

int writeFileAtomically(const QString& nativeTarget, const QByteArray& bytes, int mode)
{
    AtomicFile f;
    if (const int err = f.open(nativeTarget))
        return err;
    f.write(bytes);
    return f.commit(mode);
}

} // namespace platform
