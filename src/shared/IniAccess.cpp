#include "shared/IniAccess.h"

#include "platform/Drives.h"

#include "platform/AppError.h"
#include "platform/ProfileFile.h"
#include "shared/Texts.h"
#include "shared/VbString.h"

#include <cerrno>
#include <climits>

namespace basGlobal {

namespace {

IniPathMapper& mapperSlot()
{
    static IniPathMapper mapper;
    return mapper;
}

// What the last check of an INI refused of it (by its native path), so that
// a bad file gives one message at the start rather than one per setting.
struct Refusal {
    QString native;
    bool reads = false;
    bool writes = false;
};
Refusal& refusal()
{
    static Refusal r;
    return r;
}
bool readsRefused(const QString& native) { return refusal().reads && refusal().native == native; }
bool writesRefused(const QString& native) { return refusal().writes && refusal().native == native; }

// Reads the raw value with the given buffer size, NULs removed and trimmed.
QString readTrimmed(const QString& file, const QString& section, const QString& key, int capacity,
                    Long& outError)
{
    int err = 0;
    const QString native = IniNativePath(file);
    QString value;
    if (!native.isEmpty() && !readsRefused(native))
        value = platform::getProfileString(native, section, key, QString(), capacity, &err);
    outError = err;
    value.remove(QChar(0));
    return vb::Trim(value);
}

Long writeText(const QString& file, const QString& section, const QString& key, const QString& text)
{
    if (text.contains(u'\r') || text.contains(u'\n'))
        return platform::errInvalidCall; // the line structure of the file would break
    const QString native = IniNativePath(file);
    if (native.isEmpty())
        return platform::errPathNotFound;
    if (writesRefused(native))
        return 0;   // the start-up said so once
    return platform::writeProfileString(native, section, key, text);
}

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

QString DefaultIniPathMapping(const QString& logicalFile)
{
    if (logicalFile.startsWith(u'/'))
        return logicalFile;
    return platform::toNative(logicalFile).value_or(QString());
}

QString GetIniText(const QString& file, const QString& section, const QString& key, const QString& defaultValue,
                   Long& outError)
{
    const QString value = readTrimmed(file, section, key, INT_MAX, outError);
    return value.isEmpty() ? defaultValue : value;
}

QString IniNativePath(const QString& logicalFile)
{
    const IniPathMapper& m = mapperSlot();
    return m ? m(logicalFile) : DefaultIniPathMapping(logicalFile);
}

void SetIniPathMapper(IniPathMapper mapper) { mapperSlot() = std::move(mapper); }

namespace {

platform::ProfileFileStatus iniStatus(const QString& native)
{
    using Status = platform::ProfileFileStatus;
    return native.isEmpty() ? Status{Status::CannotRead, platform::errPathNotFound} : platform::checkProfileFile(native);
}

// Why a file cannot be read as the settings file; "" when it can.
QString unreadableCause(const platform::ProfileFileStatus& status)
{
    using Status = platform::ProfileFileStatus;
    switch (status.problem) {
    case Status::Fine:
    case Status::CannotWrite:
        return QString();
    case Status::NotAFile:
        return Txt(QStringLiteral("it is not a file"), QStringLiteral("δεν είναι αρχείο"));
    case Status::TooLarge:
        return Txt(QStringLiteral("it is larger than %1 MB"), QStringLiteral("είναι μεγαλύτερο από %1 MB"))
            .arg(platform::kMaxProfileFileSize / (1024 * 1024));
    default:
        return platform::errorDescription(status.error);
    }
}

} // namespace

QString IniUnreadableCause(const QString& file)
{
    return unreadableCause(iniStatus(IniNativePath(file)));
}

QString CheckIniFile(const QString& file)
{
    using Status = platform::ProfileFileStatus;
    const QString native = IniNativePath(file);
    const Status status = iniStatus(native);
    refusal() = Refusal{native, status.problem != Status::Fine && status.problem != Status::CannotWrite,
                        status.problem != Status::Fine};
    if (status.problem == Status::Fine)
        return QString();
    if (status.problem == Status::CannotWrite) {
        // A read-only disk is named as such, as the settings export does.
        const QString why = status.systemError == EROFS
            ? Txt(QStringLiteral("the disk can only be read"), QStringLiteral("ο δίσκος επιτρέπει μόνο ανάγνωση"))
            : platform::errorDescription(status.error);
        return Txt(QStringLiteral("The settings file '") + file + QStringLiteral("' cannot be written: ") + why
                       + QStringLiteral(".\r\n\r\nChanges to the settings will not be kept."),
                   QStringLiteral("Το αρχείο ρυθμίσεων '") + file + QStringLiteral("' δεν μπορεί να γραφεί: ") + why
                       + QStringLiteral(".\r\n\r\nΟι αλλαγές των ρυθμίσεων δεν θα διατηρηθούν."));
    }
    const QString cause = unreadableCause(status);
    return Txt(QStringLiteral("The settings file '") + file + QStringLiteral("' cannot be used: ") + cause
                   + QStringLiteral(".\r\n\r\nThe program starts with its initial settings and leaves the file as it is."),
               QStringLiteral("Το αρχείο ρυθμίσεων '") + file + QStringLiteral("' δεν μπορεί να χρησιμοποιηθεί: ") + cause
                   + QStringLiteral(".\r\n\r\nΗ εφαρμογή ξεκινά με τις αρχικές ρυθμίσεις και αφήνει το αρχείο ως έχει."));
}

bool StringIsValidLongInRange(const QString& text, Long minimum, Long maximum)
{
    const QString t = vb::Trim(text);
    if (t.isEmpty())
        return false;
    qsizetype i = (t[0] == u'+' || t[0] == u'-') ? 1 : 0;
    if (i == t.size())
        return false;
    for (; i < t.size(); ++i) {
        if (!isAsciiDigit(t[i]))
            return false;
    }
    if (text.contains(u'.') || text.contains(u' '))
        return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<Long>::min() || v > std::numeric_limits<Long>::max())
        return false;
    return minimum <= v && v <= maximum;
}

QString GetIniString(const QString& file, const QString& section, const QString& key,
                     Integer maxLength, const QString& defaultValue, Integer& outLength,
                     Long& outError)
{
    QString value = readTrimmed(file, section, key, maxLength, outError);
    if (value.isEmpty())
        value = defaultValue;
    outLength = static_cast<Integer>(std::min<qsizetype>(value.size(), std::numeric_limits<Integer>::max()));
    return value;
}

Long GetIniLong(const QString& file, const QString& section, const QString& key,
                Long defaultValue, Long minimum, Long maximum, Long& outError)
{
    QString text = readTrimmed(file, section, key, 60, outError);
    if (text.isEmpty())
        text = QString::number(defaultValue);
    if (!StringIsValidLongInRange(text, minimum, maximum))
        return defaultValue;
    return static_cast<Long>(text.toLongLong());
}

Integer GetIniInteger(const QString& file, const QString& section, const QString& key,
                      Integer defaultValue, Integer minimum, Integer maximum, Long& outError)
{
    return static_cast<Integer>(GetIniLong(file, section, key, defaultValue, minimum, maximum, outError));
}

bool GetIniBoolean(const QString& file, const QString& section, const QString& key,
                   bool defaultValue, Long& outError)
{
    const QString text = vb::UCase(readTrimmed(file, section, key, 30, outError));
    if (text == u"TRUE")
        return true;
    if (text == u"FALSE")
        return false;
    return defaultValue;
}

Long WriteIniBoolean(const QString& file, const QString& section, const QString& key, bool value)
{
    return writeText(file, section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

Long WriteIniLong(const QString& file, const QString& section, const QString& key, Long value)
{
    return writeText(file, section, key, QString::number(value));
}

Long WriteIniInteger(const QString& file, const QString& section, const QString& key, Integer value)
{
    return writeText(file, section, key, QString::number(value));
}

Long WriteIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value)
{
    return writeText(file, section, key, value);
}

} // namespace basGlobal
