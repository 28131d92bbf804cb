#include "platform/Drives.h"

#include "platform/AtomicFile.h"

#include "platform/AppError.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/statvfs.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace platform {

namespace {

// Kernel mount-point escapes: \040 blank, \011 tab, \012 newline, \134 backslash.
QString unescapeMountField(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray oct = field.mid(i + 1, 3);
            bool ok = oct.size() == 3;
            for (char c : oct)
                ok = ok && c >= '0' && c <= '7';
            if (ok) {
                out += char(oct.toInt(nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return decodeNativePath(out);
}

bool underTree(const QString& path, const QString& tree)
{
    return path == tree || path.startsWith(tree + QLatin1Char('/'));
}

const std::set<QString>& pseudoTypes()
{
    static const std::set<QString> types{
        "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "mqueue", "debugfs",
        "tracefs", "securityfs", "pstore", "bpf", "configfs", "fusectl", "hugetlbfs",
        "binfmt_misc", "nsfs", "efivarfs", "rpc_pipefs", "selinuxfs", "autofs", "overlay",
        "squashfs", "ramfs", "fuse.portal", "fuse.gvfsd-fuse"};
    return types;
}

QString readSmallFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.read(256)).trimmed();
}

// Labels from /dev/disk/by-label: the link names escape a blank as \x20.
QString labelFor(const QString& device, const SystemRoots& roots)
{
    // Network sources ("nas:/export", "//server/share") carry no label.
    if (!device.startsWith(QLatin1Char('/')) || device.startsWith(QLatin1String("//")))
        return {};
    const QString canonicalDevice = QFileInfo(device).canonicalFilePath();
    QDir dir(roots.dev + QStringLiteral("/disk/by-label"));
    const auto links = dir.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& link : links) {
        const QString target = link.symLinkTarget();
        if (target.isEmpty())
            continue;
        if (target == canonicalDevice || target == device
            || QFileInfo(target).fileName() == QFileInfo(device).fileName()) {
            QString name = link.fileName();
            QString out;
            for (qsizetype i = 0; i < name.size(); ++i) {
                if (name[i] == QLatin1Char('\\') && i + 3 < name.size() && name[i + 1] == QLatin1Char('x')) {
                    bool ok = false;
                    const int code = name.mid(i + 2, 2).toInt(&ok, 16);
                    if (ok) {
                        out += QChar(code);
                        i += 3;
                        continue;
                    }
                }
                out += name[i];
            }
            return out;
        }
    }
    return {};
}

int typeOf(const MountEntry& m, const SystemRoots& roots)
{
    const QString& t = m.fsType;
    if (isNetworkFileSystem(t))
        return driveRemote;
    if (t == QLatin1String("iso9660") || t == QLatin1String("udf")
        || m.source.startsWith(QLatin1String("/dev/sr")))
        return driveCdRom;
    if (t == QLatin1String("tmpfs") || t == QLatin1String("ramfs")
        || m.source.startsWith(QLatin1String("/dev/ram")) || m.source.startsWith(QLatin1String("/dev/zram")))
        return driveRamDisk;
    const QString base = roots.sys + QStringLiteral("/dev/block/%1:%2").arg(m.major).arg(m.minor);
    QString removable = readSmallFile(base + QStringLiteral("/removable"));
    if (removable.isEmpty())   // a partition: its disk holds the flag
        removable = readSmallFile(base + QStringLiteral("/../removable"));
    if (removable == QLatin1String("1"))
        return driveRemovable;
    if (removable.isEmpty() && (underTree(m.mountPoint, QStringLiteral("/media"))
                                || underTree(m.mountPoint, QStringLiteral("/run/media"))))
        return driveRemovable;   // desktop automounts are removable media
    return driveFixed;
}

bool getsLetter(const MountEntry& m)
{
    if (m.mountPoint == QLatin1String("/"))
        return false;   // C: is given apart
    if (pseudoTypes().count(m.fsType))
        return false;
    for (const char* system : {"/proc", "/sys", "/dev"})
        if (underTree(m.mountPoint, QLatin1String(system)))
            return false;
    if (underTree(m.mountPoint, QStringLiteral("/run")) && !m.mountPoint.startsWith(QLatin1String("/run/media/")))
        return false;
    if (isNetworkFileSystem(m.fsType))
        return true;
    return m.mountPoint.startsWith(QLatin1String("/media/"))
        || m.mountPoint.startsWith(QLatin1String("/run/media/"))
        || m.mountPoint.startsWith(QLatin1String("/mnt/"));
}

DriveTable* s_table = nullptr;
bool s_tableIsSystem = false;

} // namespace

std::vector<MountEntry> parseMountInfo(const QByteArray& text)
{
    std::vector<MountEntry> out;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        // id parent maj:min root mountpoint options [optional...] - type source superoptions
        const qsizetype dash = f.indexOf("-");
        if (f.size() < 7 || dash < 6 || dash + 2 >= f.size())
            continue;
        MountEntry m;
        const QList<QByteArray> dev = f[2].split(':');
        if (dev.size() == 2) {
            m.major = dev[0].toUInt();
            m.minor = dev[1].toUInt();
        }
        m.root = unescapeMountField(f[3]);
        m.mountPoint = unescapeMountField(f[4]);
        m.fsType = QString::fromLatin1(f[dash + 1]);
        m.source = unescapeMountField(f[dash + 2]);
        out.push_back(std::move(m));
    }
    return out;
}

bool isNetworkFileSystem(const QString& t)
{
    static const std::set<QString> net{"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "ceph", "glusterfs",
                                       "davfs", "fuse.sshfs", "fuse.rclone", "fuse.davfs"};
    return net.count(t) > 0;
}

QString fileSystemName(const QString& t)
{
    if (t == QLatin1String("vfat")) return QStringLiteral("FAT32");
    if (t == QLatin1String("msdos")) return QStringLiteral("FAT");
    if (t == QLatin1String("ntfs") || t == QLatin1String("ntfs3") || t == QLatin1String("fuseblk"))
        return QStringLiteral("NTFS");
    if (t == QLatin1String("exfat")) return QStringLiteral("exFAT");
    if (t == QLatin1String("iso9660")) return QStringLiteral("CDFS");
    if (t == QLatin1String("udf")) return QStringLiteral("UDF");
    if (t == QLatin1String("cifs") || t == QLatin1String("smb3") || t == QLatin1String("smbfs"))
        return QStringLiteral("CIFS");
    return t.toUpper();
}

bool fileSystemIsCaseSensitive(const QString& t)
{
    static const std::set<QString> blind{"vfat", "msdos", "exfat", "hfsplus", "iso9660", "cifs",
                                         "smb3", "smbfs", "ntfs", "ntfs3", "fuseblk"};
    return blind.count(t) == 0;
}

std::vector<Drive> buildDriveTable(const std::vector<MountEntry>& mounts,
                                   const std::vector<UserMapping>& userMaps, const SystemRoots& roots)
{
    std::vector<Drive> table;
    Drive c;
    c.letter = QLatin1Char('C');
    c.mountPoint = QStringLiteral("/");
    c.type = driveFixed;
    // The last mount on a mount point is the one that shows.
    std::map<QString, const MountEntry*> byPoint;
    for (const MountEntry& m : mounts) {
        if (m.mountPoint == QLatin1String("/")) {
            c.device = m.source;
            c.fsType = m.fsType;
            c.label = labelFor(m.source, roots);
        } else if (getsLetter(m) && (m.root == QLatin1String("/") || isNetworkFileSystem(m.fsType))) {
            byPoint[m.mountPoint] = &m;
        } else {
            byPoint.erase(m.mountPoint);
        }
    }
    table.push_back(c);

    std::set<QChar> taken{QLatin1Char('A'), QLatin1Char('B'), QLatin1Char('C')};
    for (const UserMapping& u : userMaps)
        taken.insert(u.letter.toUpper());
    char next = 'D';
    // std::map orders mount points by QString comparison, which for the
    // ASCII trees involved is byte order.
    for (const auto& [point, m] : byPoint) {
        while (next <= 'Z' && taken.count(QLatin1Char(next)))
            ++next;
        if (next > 'Z')
            break;
        Drive d;
        d.letter = QLatin1Char(next++);
        d.mountPoint = point;
        d.device = m->source;
        d.fsType = m->fsType;
        d.label = labelFor(m->source, roots);
        d.type = typeOf(*m, roots);
        table.push_back(d);
    }
    for (const UserMapping& u : userMaps) {
        const QChar letter = u.letter.toUpper();
        if (letter < QLatin1Char('D') || letter > QLatin1Char('Z'))
            continue;
        Drive d;
        d.letter = letter;
        d.mountPoint = u.folder;
        d.userMapped = true;
        d.type = driveFixed;
        // A mapped folder answers the type of the volume it lies on.
        const MountEntry* best = nullptr;
        for (const MountEntry& m : mounts)
            if (m.mountPoint == QLatin1String("/") || underTree(u.folder, m.mountPoint))
                if (!best || m.mountPoint.size() >= best->mountPoint.size())
                    best = &m;
        if (best) {
            d.fsType = best->fsType;
            d.device = best->source;
            if (best->mountPoint != QLatin1String("/"))
                d.type = typeOf(*best, roots);
        }
        table.push_back(d);
    }
    std::sort(table.begin(), table.end(), [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    return table;
}

// ---- the table -------------------------------------------------------------

DriveTable DriveTable::system()
{
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    QByteArray text;
    if (f.open(QIODevice::ReadOnly))
        text = f.readAll();
    return DriveTable(buildDriveTable(parseMountInfo(text), UserDriveMap::load()));
}

const Drive* DriveTable::find(QChar letter) const
{
    const QChar up = letter.toUpper();
    for (const Drive& d : m_drives)
        if (d.letter == up)
            return &d;
    return nullptr;
}

QStringList DriveTable::roots() const
{
    QStringList out;
    for (const Drive& d : m_drives)
        out << QString(d.letter) + QStringLiteral(":\\");
    return out;
}

std::optional<QByteArray> DriveTable::toNativeBytes(const QString& logical) const
{
    if (logical.size() < 2 || logical[1] != QLatin1Char(':'))
        return std::nullopt;
    const Drive* d = find(logical[0]);
    if (!d)
        return std::nullopt;
    QByteArray out = encodeNativePath(d->mountPoint);
    if (out.endsWith('/') && out.size() > 1)
        out.chop(1);
    const QStringView rest = QStringView(logical).mid(2);
    qsizetype start = 0;
    while (start <= rest.size()) {
        qsizetype end = start;
        while (end < rest.size() && rest[end] != QLatin1Char('\\') && rest[end] != QLatin1Char('/'))
            ++end;
        if (end > start) {
            if (!out.endsWith('/'))
                out += '/';
            out += nameToNativeBytes(rest.mid(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

std::optional<QString> DriveTable::toNative(const QString& logical) const
{
    const std::optional<QByteArray> bytes = toNativeBytes(logical);
    if (!bytes)
        return std::nullopt;
    return decodeNativePath(*bytes);
}

QString DriveTable::toLogical(const QString& native) const
{
    const Drive* best = nullptr;
    for (const Drive& d : m_drives) {
        if (d.userMapped)
            continue;
        const QString& mp = d.mountPoint;
        const bool match = mp == QLatin1String("/") ? native.startsWith(QLatin1Char('/'))
                                                    : underTree(native, mp);
        if (match && (!best || mp.size() > best->mountPoint.size()))
            best = &d;
    }
    if (!best)
        return {};
    QString out = QString(best->letter) + QLatin1Char(':');
    QStringView rest = QStringView(native).mid(best->mountPoint == QLatin1String("/") ? 0 : best->mountPoint.size());
    for (const QStringView part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        out += QLatin1Char('\\');
        out += nameToLogical(part.toString());
    }
    return out;
}

const DriveTable& drives()
{
    if (!s_table) {
        s_table = new DriveTable(DriveTable::system());
        s_tableIsSystem = true;
    }
    return *s_table;
}

void setDrives(DriveTable table)
{
    delete s_table;
    s_table = new DriveTable(std::move(table));
    s_tableIsSystem = false;
}

void reloadDrives()
{
    delete s_table;
    s_table = new DriveTable(DriveTable::system());
    s_tableIsSystem = true;
}

bool drivesAreSystem()
{
    drives();
    return s_tableIsSystem;
}

std::optional<QString> toNative(const QString& logical) { return drives().toNative(logical); }
std::optional<QByteArray> toNativeBytes(const QString& logical) { return drives().toNativeBytes(logical); }
QString toLogical(const QString& native) { return drives().toLogical(native); }

namespace {

bool isReservedInLogical(char32_t c)
{
    switch (c) {
    case U'\\': case U':': case U'*': case U'?': case U'"': case U'<': case U'>': case U'|':
        return true;
    default:
        return false;
    }
}

constexpr char16_t kMappedBase = 0xF000;   // U+F000 + c in logical names
constexpr char16_t kEscapeBase = 0xDC00;   // U+DC00 + byte in native text

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at p (shortest form, no
// surrogates, at most U+10FFFF) and its code point; 0 when there is none.
int utf8Sequence(const unsigned char* p, qsizetype left, char32_t& cp)
{
    const unsigned char b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    int n = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        cp = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        cp = b & 0x07;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (left < n || p[1] < lo || p[1] > hi)
        return 0;
    for (int k = 1; k < n; ++k) {
        if (!isContinuation(p[k]))
            return 0;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    return n;
}

void appendCodePoint(QString& out, char32_t cp)
{
    if (cp >= 0x10000) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(char16_t(cp));
    }
}

void appendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Walks text by code points; a lone surrogate comes as itself.
template <typename F>
void forEachCodePoint(QStringView s, F f)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode())) {
            f(QChar::surrogateToUcs4(c, s[i + 1].unicode()));
            ++i;
        } else {
            f(char32_t(c));
        }
    }
}

// Whether the bytes are plain ASCII without a reserved character: then both
// forms of a name are the bytes themselves (nearly every name is).
bool isPlainAscii(QByteArrayView bytes, bool reservedTooAreFine)
{
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (!reservedTooAreFine && isReservedInLogical(b)))
            return false;
    }
    return true;
}

} // namespace

QString decodeNativePath(QByteArrayView bytes)
{
    if (isPlainAscii(bytes, true))
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = utf8Sequence(p + i, n - i, cp);
        if (len == 0) {
            out += QChar(char16_t(kEscapeBase + p[i]));
            ++i;
        } else {
            appendCodePoint(out, cp);
            i += len;
        }
    }
    return out;
}

QByteArray encodeNativePath(QStringView path)
{
    QByteArray out;
    out.reserve(path.size());
    forEachCodePoint(path, [&out](char32_t cp) {
        if (cp >= kEscapeBase + 0x80u && cp <= kEscapeBase + 0xFFu)
            out += char(cp - kEscapeBase);
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            appendUtf8(out, 0xFFFD);   // a lone surrogate of no byte of ours
        else
            appendUtf8(out, cp);
    });
    return out;
}

QString nameToLogical(QByteArrayView nativeName)
{
    if (isPlainAscii(nativeName, false))
        return QString::fromLatin1(nativeName);
    QString out;
    out.reserve(nativeName.size());
    const auto* p = reinterpret_cast<const unsigned char*>(nativeName.data());
    const qsizetype n = nativeName.size();
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = utf8Sequence(p + i, n - i, cp);
        if (len == 0 || (cp >= kMappedBase && cp <= kMappedBase + 0xFFu)) {
            // Not UTF-8, or a character of the mapping's own range: every byte
            // of it gets a character of its own.
            const int bytes = len == 0 ? 1 : len;
            for (int k = 0; k < bytes; ++k)
                out += QChar(char16_t(kMappedBase + p[i + k]));
            i += bytes;
        } else {
            appendCodePoint(out, isReservedInLogical(cp) ? kMappedBase + cp : cp);
            i += len;
        }
    }
    return out;
}

QString nameToLogical(const QString& nativeName)
{
    return nameToLogical(QByteArrayView(encodeNativePath(nativeName)));
}

QByteArray nameToNativeBytes(QStringView logicalName)
{
    QByteArray out;
    out.reserve(logicalName.size());
    forEachCodePoint(logicalName, [&out](char32_t cp) {
        if (cp >= kMappedBase && cp <= kMappedBase + 0xFFu) {
            const char32_t b = cp - kMappedBase;
            if (b >= 0x80 || isReservedInLogical(b)) {
                out += char(b);
                return;
            }
        }
        if (cp >= kEscapeBase + 0x80u && cp <= kEscapeBase + 0xFFu)
            out += char(cp - kEscapeBase);
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            appendUtf8(out, 0xFFFD);
        else
            appendUtf8(out, cp);
    });
    return out;
}

QString nameToNative(const QString& logicalName)
{
    return decodeNativePath(nameToNativeBytes(logicalName));
}

int driveType(const QString& logicalRoot)
{
    if (logicalRoot.isEmpty())
        return driveNoRoot;
    const Drive* d = drives().find(logicalRoot[0]);
    return d ? d->type : driveNoRoot;
}

// ---- readiness -------------------------------------------------------------

namespace {
struct Probe {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool ok = false;
    StatVfsResult result;
};
// Probes still stuck on a dead mount; a new question about the same folder
// is answered "not ready" at once instead of piling up threads.
std::mutex s_stuckMutex;
std::set<QString> s_stuck;
} // namespace

bool boundedStatVfs(const QString& nativeFolder, int timeoutMs, StatVfsResult& out)
{
    {
        std::lock_guard lock(s_stuckMutex);
        if (s_stuck.count(nativeFolder))
            return false;
    }
    auto probe = std::make_shared<Probe>();
    const QByteArray path = encodeNativePath(nativeFolder);
    std::thread([probe, path, nativeFolder] {
        struct statvfs sv {};
        const bool ok = ::statvfs(path.constData(), &sv) == 0;
        {
            std::lock_guard lock(probe->mutex);
            probe->ok = ok;
            probe->result = {sv.f_blocks, sv.f_bfree, sv.f_bavail, sv.f_frsize, sv.f_fsid, sv.f_namemax};
            probe->finished = true;
        }
        probe->done.notify_all();
        std::lock_guard lock(s_stuckMutex);
        s_stuck.erase(nativeFolder);
    }).detach();
    std::unique_lock lock(probe->mutex);
    if (!probe->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return probe->finished; })) {
        std::lock_guard stuckLock(s_stuckMutex);
        s_stuck.insert(nativeFolder);
        return false;
    }
    out = probe->result;
    return probe->ok;
}

bool isDriveReady(QChar letter, int timeoutMs)
{
    const Drive* d = drives().find(letter);
    if (!d || d->mountPoint.isEmpty())
        return false;
    StatVfsResult r;
    return boundedStatVfs(d->mountPoint, timeoutMs, r) && QFileInfo(d->mountPoint).isDir();
}

std::optional<VolumeFacts> volumeFacts(QChar letter, int timeoutMs)
{
    const Drive* d = drives().find(letter);
    if (!d)
        return std::nullopt;
    StatVfsResult r;
    if (!boundedStatVfs(d->mountPoint, timeoutMs, r))
        return std::nullopt;
    VolumeFacts v;
    v.volumeName = d->label.left(255);
    v.fileSystemName = fileSystemName(d->fsType);
    v.serial = quint32(r.fsid & 0xFFFFFFFFu);
    v.maxComponentLength = r.namemax >= 255 ? 255 : int(r.namemax);
    v.caseSensitive = fileSystemIsCaseSensitive(d->fsType);
    v.totalBytes = qint64(r.blocks * r.frsize);
    v.freeBytes = qint64(r.bfree * r.frsize);
    v.availableBytes = qint64(r.bavail * r.frsize);
    if (d->type == driveRemote) {
        QString share = d->device;
        if (share.startsWith(QLatin1String("//"))) {
            share.replace(QLatin1Char('/'), QLatin1Char('\\'));
        } else if (const qsizetype colon = share.indexOf(QLatin1String(":/")); colon > 0) {
            share = QStringLiteral("\\\\") + share.left(colon) + share.mid(colon + 1).replace(QLatin1Char('/'), QLatin1Char('\\'));
        }
        v.shareName = share;
    }
    return v;
}

// ---- user-mapped letters ---------------------------------------------------

QString UserDriveMap::storeFile()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Quillmarsh/drives.conf");
}

std::vector<UserMapping> UserDriveMap::load()
{
    std::vector<UserMapping> out;
    QByteArray text;
    // Never more than a screenful of letters; a FIFO or device is never opened.
    if (readRegularFile(storeFile(), 1024 * 1024, text) != 0)
        return out;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        // "M=/native/folder", the folder's bytes as they are
        if (line.size() < 3 || line[1] != '=')
            continue;
        const QChar letter = QChar(QLatin1Char(line[0])).toUpper();
        if (letter < QLatin1Char('D') || letter > QLatin1Char('Z'))
            continue;
        out.push_back({letter, decodeNativePath(QByteArrayView(line).sliced(2))});
    }
    return out;
}

namespace {
int saveMappings(const std::vector<UserMapping>& maps)
{
    const QString file = UserDriveMap::storeFile();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return errPathFileAccess;
    QByteArray bytes;
    for (const UserMapping& m : maps)
        bytes += QString(m.letter).toUtf8() + '=' + encodeNativePath(m.folder) + '\n';
    return writeFileAtomically(file, bytes);
}
} // namespace

int UserDriveMap::map(QChar letter, const QString& nativeFolder)
{
    const QChar up = letter.toUpper();
    if (up < QLatin1Char('D') || up > QLatin1Char('Z') || drives().find(up))
        return errInvalidCall;
    if (nativeFolder.contains(QLatin1Char('\n')) || !QFileInfo(nativeFolder).isAbsolute()
        || !QFileInfo(nativeFolder).isDir())
        return errPathNotFound;
    std::vector<UserMapping> maps = load();
    for (const UserMapping& m : maps)
        if (m.letter == up)
            return errInvalidCall;
    QString folder = QDir::cleanPath(nativeFolder);
    maps.push_back({up, folder});
    const int rc = saveMappings(maps);
    if (rc == errNone && s_tableIsSystem)
        reloadDrives();
    return rc;
}

int UserDriveMap::unmap(QChar letter)
{
    const QChar up = letter.toUpper();
    std::vector<UserMapping> maps = load();
    const auto it = std::find_if(maps.begin(), maps.end(), [&](const UserMapping& m) { return m.letter == up; });
    if (it == maps.end())
        return errInvalidCall;
    maps.erase(it);
    const int rc = saveMappings(maps);
    if (rc == errNone && s_tableIsSystem)
        reloadDrives();
    return rc;
}

} // namespace platform
