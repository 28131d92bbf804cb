#include "shared/IniAccess.h"

#include "platform/Drives.h"

#include "platform/AppError.h"
#include "platform/ProfileFile.h"
#include "shared/VbString.h"

namespace basGlobal {

namespace {

IniPathMapper& mapperSlot()
{
    static IniPathMapper mapper;
    return mapper;
}

// Reads the raw value with the given buffer size, NULs removed and trimmed.
QString readTrimmed(const QString& file, const QString& section, const QString& key, int capacity,
                    Long& outError)
{
    int err = 0;
    const QString native = IniNativePath(file);
    QString value;
    if (!native.isEmpty())
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

QString IniNativePath(const QString& logicalFile)
{
    const IniPathMapper& m = mapperSlot();
    return m ? m(logicalFile) : DefaultIniPathMapping(logicalFile);
}

void SetIniPathMapper(IniPathMapper mapper) { mapperSlot() = std::move(mapper); }

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
    QString text = readTrimmed(file, section, key, 60, outError);
    if (text.isEmpty())
        text = QString::number(defaultValue);
    if (!StringIsValidLongInRange(text, minimum, maximum))
        return defaultValue;
    return static_cast<Integer>(text.toLongLong());
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
