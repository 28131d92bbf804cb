#pragma once
// The drive table and the two path shapes. The program thinks in logical
// paths ("C:\Docs\a.txt", separator "\", drive roots "C:"); only this layer
// knows the native file system behind them. "C:" is the root of the Linux
// file system, further letters are the mounted removable and network volumes,
// and the user may give a letter to any folder of their own.

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace platform {

// Drive type codes as the original system's drive-type query answers them.
enum DriveType : int {
    driveUnknown = 0,
    driveNoRoot = 1,
    driveRemovable = 2,
    driveFixed = 3,
    driveRemote = 4,
    driveCdRom = 5,
    driveRamDisk = 6,
};

struct Drive {
    QChar letter;             // upper case
    QString mountPoint;       // native folder ("/" for C:), never with a trailing "/" except "/"
    QString device;           // mount source ("/dev/sdb1", "//srv/share", "srv:/export")
    QString fsType;           // the kernel's type ("ext4", "vfat", "nfs4", ...)
    QString label;            // volume name ("" when none is known)
    int type = driveUnknown;
    bool userMapped = false;  // a letter the user gave to a folder
};

// One line of /proc/self/mountinfo.
struct MountEntry {
    QString root;        // the mounted root inside its file system
    QString mountPoint;  // unescaped
    QString fsType;
    QString source;
    unsigned major = 0;
    unsigned minor = 0;
};

// Parses mountinfo text; lines that do not parse are skipped.
std::vector<MountEntry> parseMountInfo(const QByteArray& text);

// Where the drive table looks for facts the mount table lacks; tests point
// these at fixture folders.
struct SystemRoots {
    QString sys = QStringLiteral("/sys");       // /sys/dev/block/MAJ:MIN/removable
    QString dev = QStringLiteral("/dev");       // /dev/disk/by-label
};

// A letter the user gave to a folder.
struct UserMapping {
    QChar letter;
    QString folder;  // native
};

// Builds the table from mount entries: "/" is C:, then the removable and
// network volumes in mount-point order from D: on, skipping letters the user
// mapped; user mappings follow with their own letters. Pseudo file systems
// and system trees never get a letter.
std::vector<Drive> buildDriveTable(const std::vector<MountEntry>& mounts,
                                   const std::vector<UserMapping>& userMaps = {},
                                   const SystemRoots& roots = {});

// The file-system name a volume reports ("FAT32", "NTFS", "EXT4", ...).
QString fileSystemName(const QString& fsType);
// Whether names on a file system of this type are told apart by case.
bool fileSystemIsCaseSensitive(const QString& fsType);
bool isNetworkFileSystem(const QString& fsType);

// Volume facts of a drive (read through statvfs, bounded in time).
struct VolumeFacts {
    QString volumeName;
    QString fileSystemName;
    quint32 serial = 0;
    int maxComponentLength = 0;
    bool caseSensitive = false;
    qint64 totalBytes = 0;
    qint64 freeBytes = 0;
    qint64 availableBytes = 0;
    QString shareName;   // "\\srv\share" for network volumes, else ""
};

// The drive table in force. The process starts with the system's table
// (read on first use); tests install their own.
class DriveTable {
public:
    DriveTable() = default;
    explicit DriveTable(std::vector<Drive> drives) : m_drives(std::move(drives)) {}

    // Reads /proc/self/mountinfo and the user's mapped letters.
    static DriveTable system();

    const std::vector<Drive>& drives() const { return m_drives; }
    const Drive* find(QChar letter) const;
    // "C:\D:\..." style list of roots in letter order, as "X:\" items.
    QStringList roots() const;

    // Logical -> native. Unknown letter or no letter: nullopt.
    std::optional<QString> toNative(const QString& logical) const;
    std::optional<QByteArray> toNativeBytes(const QString& logical) const;
    // Native (absolute) -> logical, through the drive whose mount point is
    // the longest prefix (user-mapped letters are not used for this).
    QString toLogical(const QString& native) const;

private:
    std::vector<Drive> m_drives;
};

// The installed table. Reading the system table again (a tree refresh) is
// `reloadDrives()`; tests call `setDrives`.
const DriveTable& drives();
void setDrives(DriveTable table);
void reloadDrives();
// Whether the installed table is the system's (one that reloadDrives() reads
// again), not one that a test installed.
bool drivesAreSystem();

// Shorthands through the installed table.
std::optional<QString> toNative(const QString& logical);
std::optional<QByteArray> toNativeBytes(const QString& logical);
QString toLogical(const QString& native);

// Native paths held as text. A name on Linux is any byte string, so the
// text keeps each byte that is not part of valid UTF-8 as the lone surrogate
// U+DC00 + byte (valid UTF-8 never decodes to one): every byte string comes
// back byte for byte. Every native path is made and taken apart here; Qt's
// own file-name conversion would turn such bytes into U+FFFD.
QString decodeNativePath(QByteArrayView bytes);
QByteArray encodeNativePath(QStringView path);

// One native name <-> one logical name, reversible for every byte string:
// \ : * ? " < > | become U+F000 + c; a byte b that is not part of valid
// UTF-8, and each byte of a character already in U+F000..U+F0FF, becomes
// U+F000 + b. nameToNative rebuilds the bytes (as native text).
QString nameToLogical(QByteArrayView nativeName);
QString nameToLogical(const QString& nativeName);
QString nameToNative(const QString& logicalName);
QByteArray nameToNativeBytes(QStringView logicalName);

// Drive type code (DriveType) for a logical path or "X:"; 1 when the letter
// has no drive.
int driveType(const QString& logicalRoot);

// Whether a drive answers: its folder exists and statvfs returns within
// `timeoutMs` (network mounts may hang; the caller never does).
bool isDriveReady(QChar letter, int timeoutMs = 2000);

// Volume facts, or nullopt for an unknown or unready drive.
std::optional<VolumeFacts> volumeFacts(QChar letter, int timeoutMs = 2000);

// statvfs on a native folder in a helper thread, given up after timeoutMs.
// Returns false on failure or time-out.
struct StatVfsResult {
    quint64 blocks = 0, bfree = 0, bavail = 0, frsize = 0, fsid = 0, namemax = 0;
};
bool boundedStatVfs(const QString& nativeFolder, int timeoutMs, StatVfsResult& out);

// User-mapped letters, kept across runs in $XDG_CONFIG_HOME/Quillmarsh/drives.conf.
class UserDriveMap {
public:
    // The file the mappings live in.
    static QString storeFile();
    static std::vector<UserMapping> load();
    // Gives `letter` to the logical or native folder. Returns an error number:
    // 5 for a letter that is taken or not D..Z, 76 for a folder that is not
    // there, 75 when the store cannot be written.
    static int map(QChar letter, const QString& nativeFolder);
    // Removes a user letter; 5 when the letter is not a user mapping.
    static int unmap(QChar letter);
};

} // namespace platform
