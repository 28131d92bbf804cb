#include "shared/FileFacts.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "shared/RegionalFormats.h"

#include <QDate>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace basGlobal {

namespace {

QChar driveLetterOf(const QString& drive)
{
    return drive.isEmpty() ? QChar() : drive.at(0).toUpper();
}

// Names up to 255 characters, ACLs kept with the files, compression offered:
// what the kernel's file system type says of them.
bool keepsAcls(const QString& fsType)
{
    static const QStringList without = {QStringLiteral("vfat"), QStringLiteral("msdos"), QStringLiteral("exfat"),
                                        QStringLiteral("iso9660"), QStringLiteral("udf"), QStringLiteral("fat")};
    return !without.contains(fsType.toLower());
}

bool offersCompression(const QString& fsType)
{
    static const QStringList with = {QStringLiteral("btrfs"), QStringLiteral("ntfs"), QStringLiteral("ntfs3"),
                                     QStringLiteral("fuseblk"), QStringLiteral("zfs"), QStringLiteral("f2fs")};
    return with.contains(fsType.toLower());
}

} // namespace

Long GetFileAttributeFlags(const QString& path, bool& isFolder, bool& hidden, bool& system, bool& readOnly,
                           bool& archive)
{
    isFolder = hidden = system = readOnly = archive = false;
    platform::FileFacts f;
    if (const int rc = platform::fileFacts(path, f))
        return rc;
    isFolder = f.isFolder;
    hidden = f.hidden;
    system = f.system;
    readOnly = f.readOnly;
    archive = f.archive;
    return 0;
}

Long GetFileDateTimes(const QString& path, Integer& createdYear, Integer& createdMonth, Integer& createdDay,
                      Integer& createdHour, Integer& createdMinute, Integer& createdSecond,
                      Integer& modifiedYear, Integer& modifiedMonth, Integer& modifiedDay,
                      Integer& modifiedHour, Integer& modifiedMinute, Integer& modifiedSecond,
                      Integer& accessedYear, Integer& accessedMonth, Integer& accessedDay)
{
    createdYear = createdMonth = createdDay = createdHour = createdMinute = createdSecond = 0;
    modifiedYear = modifiedMonth = modifiedDay = modifiedHour = modifiedMinute = modifiedSecond = 0;
    accessedYear = accessedMonth = accessedDay = 0;
    platform::FileTimes t;
    if (const int rc = platform::fileTimes(path, t))
        return rc;
    createdYear = Integer(t.createdLocal.year);
    createdMonth = Integer(t.createdLocal.month);
    createdDay = Integer(t.createdLocal.day);
    createdHour = Integer(t.createdLocal.hour);
    createdMinute = Integer(t.createdLocal.minute);
    createdSecond = Integer(t.createdLocal.second);
    modifiedYear = Integer(t.modifiedLocal.year);
    modifiedMonth = Integer(t.modifiedLocal.month);
    modifiedDay = Integer(t.modifiedLocal.day);
    modifiedHour = Integer(t.modifiedLocal.hour);
    modifiedMinute = Integer(t.modifiedLocal.minute);
    modifiedSecond = Integer(t.modifiedLocal.second);
    accessedYear = Integer(t.accessedLocal.year);
    accessedMonth = Integer(t.accessedLocal.month);
    accessedDay = Integer(t.accessedLocal.day);
    return 0;
}

namespace {

// Year, month and day of a date field, unchecked against the calendar; false
// for a field that is not digits (a year before 1 has its sign), or has blanks.
bool readDateField(QStringView field, int& year, int& month, int& day)
{
    const auto number = [](QStringView digits, bool& ok) {
        qint64 v = 0;
        const bool negative = digits.startsWith(u'-');
        ok = digits.size() > (negative ? 1 : 0) && digits.size() <= 9;
        for (qsizetype i = negative ? 1 : 0; ok && i < digits.size(); ++i) {
            ok = digits[i] >= u'0' && digits[i] <= u'9';
            v = v * 10 + (digits[i].unicode() - u'0');
        }
        return int(negative ? -v : v);
    };
    bool ok = field.size() >= 5, monthOk = false, dayOk = false;
    year = ok ? number(field.first(field.size() - 4), ok) : 0;
    month = ok ? number(field.sliced(field.size() - 4, 2), monthOk) : 0;
    day = ok ? number(field.last(2), dayOk) : 0;
    return ok && monthOk && dayOk;
}

} // namespace

QString FormatFileDateText(const QString& formatName, QStringView field, Long& outError)
{
    outError = 0;
    int year = 0, month = 0, day = 0;
    const bool ok = readDateField(field, year, month, day);
    // The calendar has no year 0: the year before 1 is -1.
    const QDate date(year > 0 ? year : year - 1, month, day);
    if (!ok || !date.isValid()) {
        outError = platform::errInvalidCall;
        return QString();
    }
    const shared::RegionalFormats& f = shared::regionalFormats();
    if (formatName.compare(QLatin1String("long"), Qt::CaseInsensitive) == 0)
        return f.longDate(date).trimmed();
    if (formatName.compare(QLatin1String("short"), Qt::CaseInsensitive) == 0)
        return f.shortDate(date).trimmed();
    return QString();
}

int CompareFileDateFields(QStringView a, QStringView b)
{
    int ya = 0, ma = 0, da = 0, yb = 0, mb = 0, db = 0;
    if (!readDateField(a, ya, ma, da) || !readDateField(b, yb, mb, db)) {
        const int order = a.compare(b);
        return order > 0 ? 1 : order < 0 ? -1 : 0;
    }
    // Month and day take two digits each below the year.
    const qint64 ka = qint64(ya) * 10000 + ma * 100 + da, kb = qint64(yb) * 10000 + mb * 100 + db;
    return ka > kb ? 1 : ka < kb ? -1 : 0;
}

qint64 GetFileOrFolderSize(const QString& path, Long& outError)
{
    outError = 0;
    qint64 size = 0;
    if (const int rc = platform::fileOrFolderSize(path, size)) {
        outError = rc;
        return 0;
    }
    return size;
}

QString FormatSizeText(qint64 size)
{
    if (size < 0)
        return QString();
    // Every row of a comparison passes here: digits into a buffer, one string.
    char16_t buffer[24];
    int n = 0;
    do {
        buffer[n++] = char16_t(u'0' + size % 10);
        size /= 10;
    } while (size > 0);
    while (n < 10)
        buffer[n++] = u'0';
    QString text(n, Qt::Uninitialized);
    QChar* out = text.data();
    for (int k = 0; k < n; ++k)
        out[k] = QChar(buffer[n - 1 - k]);
    return text;
}

bool FileExists(const QString& path)
{
    return platform::fileExists(path);
}

Long CreateEmptyFile(const QString& path)
{
    const std::optional<QString> native = platform::toNative(path);
    if (!native)
        return platform::errPathNotFound;
    const QByteArray name = platform::encodeNativePath(*native);
    // Only a plain file is cut: opening a FIFO for writing would wait for a
    // reader, and a device must never be written by accident.
    struct stat st {};
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return platform::errPathFileAccess;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        if (err == EISDIR || err == ENXIO)
            return platform::errPathFileAccess;
        return platform::errorFromErrno(err, err == ENOENT);
    }
    ::close(fd);
    return 0;
}

Long GetDriveVolumeInformation(const QString& drive, QString& fileSystemName, QString& volumeName,
                               Long& serialNumber, bool& longNames, bool& casePreserved, bool& caseSensitive,
                               bool& unicodeOnDisk, bool& persistentAcls, bool& fileCompression,
                               bool& volumeCompressed)
{
    fileSystemName.clear();
    volumeName.clear();
    serialNumber = 0;
    longNames = casePreserved = caseSensitive = unicodeOnDisk = persistentAcls = fileCompression =
        volumeCompressed = false;
    const QChar letter = driveLetterOf(drive);
    const platform::Drive* d = platform::drives().find(letter);
    if (!d)
        return platform::errDeviceUnavailable;
    const std::optional<platform::VolumeFacts> v = platform::volumeFacts(letter);
    if (!v)
        return platform::errDiskNotReady;
    fileSystemName = v->fileSystemName;
    volumeName = v->volumeName;
    serialNumber = Long(v->serial);
    longNames = v->maxComponentLength == 255;
    // Every Linux file system keeps a name's case as written and stores names
    // as Unicode (UTF-8 or UTF-16) text.
    casePreserved = true;
    caseSensitive = v->caseSensitive;
    unicodeOnDisk = true;
    persistentAcls = keepsAcls(d->fsType);
    fileCompression = offersCompression(d->fsType);
    volumeCompressed = false;
    return 0;
}

bool IsDriveReady(const QString& drive)
{
    const QChar letter = driveLetterOf(drive);
    return !letter.isNull() && platform::isDriveReady(letter);
}

Long GetDriveDetails(const QString& drive, QString& fileSystemName, QString& volumeName, Long& serialNumber,
                     QString& shareName, qint64& totalSize, qint64& availableSpace, double& availablePercent,
                     qint64& freeSpace, double& freePercent)
{
    const QChar letter = driveLetterOf(drive);
    if (!platform::drives().find(letter))
        return platform::errDeviceUnavailable;
    const std::optional<platform::VolumeFacts> v = platform::volumeFacts(letter);
    if (!v)
        return platform::errDiskNotReady;
    serialNumber = Long(v->serial);
    availableSpace = v->availableBytes;
    freeSpace = v->freeBytes;
    fileSystemName = v->fileSystemName;
    shareName = v->shareName;
    totalSize = v->totalBytes;
    volumeName = v->volumeName;
    availablePercent = totalSize > 0 ? double(availableSpace) / double(totalSize) * 100.0 : 0.0;
    freePercent = totalSize > 0 ? double(freeSpace) / double(totalSize) * 100.0 : 0.0;
    return 0;
}

// --- Facts kept by a scan ---------------------------------------------------------

void FileFactsStore::ensureIndex() const
{
    const qsizetype n = qsizetype(m_ordered.size());
    if (m_indexed == n)
        return;
    m_index.reserve(n);
    for (; m_indexed < n; ++m_indexed)
        m_index.insert(m_ordered[std::size_t(m_indexed)].first, m_indexed);
}

qsizetype FileFactsStore::indexOf(const QString& fullPath) const
{
    ensureIndex();
    const auto it = m_index.constFind(fullPath);
    return it == m_index.cend() ? -1 : it.value();
}

const platform::FileFacts* FileFactsStore::find(const QString& fullPath) const
{
    if (!fullPath.startsWith(m_leftOut))
        return nullptr;
    const qsizetype k = indexOf(m_leftOut.isEmpty() ? fullPath : fullPath.mid(m_leftOut.size()));
    return k < 0 ? nullptr : &m_ordered[std::size_t(k)].second;
}

qsizetype FileFactsStore::size() const
{
    ensureIndex();
    return m_index.size();
}

const platform::FileFacts* FileFactsStore::findInOrder(const QString& fullRoot, const QString& rel, qsizetype& cursor) const
{
    if (!fullRoot.startsWith(m_leftOut))
        return find(fullRoot + rel);
    // The stored paths leave m_leftOut out.
    const QStringView root = QStringView(fullRoot).mid(m_leftOut.size());
    const qsizetype length = root.size() + rel.size();
    const auto isEntry = [&](const QString& path) {
        // The names differ at their ends far more often than the roots do.
        return path.size() == length && QStringView(path).mid(root.size()) == rel
               && QStringView(path).left(root.size()) == root;
    };
    // The entries a filter dropped before this one are skipped over; a
    // longer gap is found by path, so the walk never turns quadratic.
    constexpr qsizetype kLookAhead = 8;
    const qsizetype n = qsizetype(m_ordered.size());
    for (qsizetype k = std::max<qsizetype>(cursor, 0); k < n && k < cursor + kLookAhead; ++k) {
        if (isEntry(m_ordered[std::size_t(k)].first)) {
            cursor = k + 1;
            return &m_ordered[std::size_t(k)].second;
        }
    }
    const qsizetype k = indexOf(root.toString() + rel);
    if (k < 0)
        return nullptr;
    cursor = k + 1;
    return &m_ordered[std::size_t(k)].second;
}

Long GetEntryFileFacts(const FileFactsStore& store, const QString& root, const QString& rel, qsizetype& cursor,
                       platform::FileFacts& out)
{
    if (const platform::FileFacts* f = store.findInOrder(root, rel, cursor)) {
        out = *f;
        return 0;
    }
    return platform::fileFacts(root + rel, out);
}

} // namespace basGlobal
