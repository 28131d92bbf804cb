#include "shared/PathText.h"

#include "platform/AppError.h"
#include "platform/PathMatch.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/RegionalFormats.h"
#include "shared/VbString.h"

#include "ui/Control.h"
#include "ui/Desktop.h"

#include <QDate>
#include <QTime>

#include <stdexcept>

namespace basGlobal {

namespace {

QChar sep(const QString& separator) { return vb::FirstCharOr(separator, u'\\'); }

qsizetype findSeparator(const QString& text, QChar s, bool fromEnd)
{
    return fromEnd ? text.lastIndexOf(s) : text.indexOf(s);
}

// The date the program's DateSerial builds: years 0..99 windowed, months and
// days past their end carried. Invalid (error) outside the years 100..9999.
QDate buildDate(int year, int month, int day, Long& error)
{
    error = 0;
    if (year >= 0 && year <= 29)
        year += 2000;
    else if (year >= 30 && year <= 99)
        year += 1900;
    const long long months = static_cast<long long>(year) * 12 + (month - 1);
    const int y = static_cast<int>(months >= 0 ? months / 12 : -((-months + 11) / 12));
    const int m = static_cast<int>(months - static_cast<long long>(y) * 12) + 1;
    QDate d(y, m, 1);
    if (d.isValid())
        d = d.addDays(day - 1);
    if (!d.isValid() || d.year() < 100 || d.year() > 9999) {
        error = platform::errInvalidCall;
        return QDate();
    }
    return d;
}

QTime buildTime(int hour, int minute, int second)
{
    long long total = static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
    total %= 86400;
    if (total < 0)
        total += 86400;
    return QTime(0, 0).addSecs(static_cast<int>(total));
}

} // namespace

QString AddTrailingSeparator(const QString& path, const QString& separator)
{
    const QChar s = sep(separator);
    if (!path.isEmpty() && path.back() == s)
        return path;
    return path + s;
}

QString RemoveTrailingSeparator(const QString& path, const QString& separator)
{
    if (!path.isEmpty() && path.back() == sep(separator))
        return path.left(path.size() - 1);
    return path;
}

QString GetTextAfterSeparator(const QString& text, const QString& separator, bool fromEnd)
{
    const qsizetype at = findSeparator(text, sep(separator), fromEnd);
    return at < 0 ? QString() : text.mid(at + 1);
}

QString GetTextBeforeSeparator(const QString& text, const QString& separator, bool fromEnd)
{
    const qsizetype at = findSeparator(text, sep(separator), fromEnd);
    return at < 0 ? QString() : text.left(at);
}

QString ApplyCaseSensitivity(const QString& text, bool caseSensitive)
{
    return caseSensitive ? text : vb::UCase(text);
}

bool FileNameMatchesPatterns(const QString& name, const QString& patternList)
{
    const bool cs = globals().VolumeIsCaseSensitive;
    const QString n = ApplyCaseSensitivity(name, cs);
    const QStringList pieces = ApplyCaseSensitivity(patternList, cs).split(u';', Qt::KeepEmptyParts);
    for (const QString& piece : pieces) {
        if (vb::Trim(piece).size() < 2)
            continue;
        if (platform::pathMatchSpec(n, piece))
            return true;
    }
    return false;
}

bool StringIsValidBoolean(const QString& text)
{
    const QString t = vb::Trim(vb::UCase(text));
    return t == u"TRUE" || t == u"FALSE";
}

bool StringIsValidDate(const QString& text)
{
    const QString t = vb::Trim(text);
    if (t.size() != 8)
        return false;
    const QString y = vb::Mid(t, 1, 4), m = vb::Mid(t, 5, 2), d = vb::Mid(t, 7, 2);
    if (!StringIsValidLongInRange(y, 0, 9999) || !StringIsValidLongInRange(m, 1, 12)
        || !StringIsValidLongInRange(d, 1, 31))
        return false;
    Long err = 0;
    const QString shown = FormatDateText(QStringLiteral("long"), false, static_cast<Integer>(y.toInt()),
                                         static_cast<Integer>(m.toInt()), static_cast<Integer>(d.toInt()), err);
    return err == 0 && !vb::Trim(shown).isEmpty();
}

bool StringIsValidTime(const QString& text)
{
    const QString t = vb::Trim(text);
    if (t.size() != 6)
        return false;
    const QString h = vb::Mid(t, 1, 2), m = vb::Mid(t, 3, 2), s = vb::Mid(t, 5, 2);
    if (!StringIsValidLongInRange(h, 0, 23) || !StringIsValidLongInRange(m, 0, 59)
        || !StringIsValidLongInRange(s, 0, 59))
        return false;
    Long err = 0;
    const QString shown = FormatTimeText(QStringLiteral("long"), false, static_cast<Integer>(h.toInt()),
                                         static_cast<Integer>(m.toInt()), static_cast<Integer>(s.toInt()), err);
    return err == 0 && !vb::Trim(shown).isEmpty();
}

QString FormatDateText(const QString& formatName, bool useToday, Integer year, Integer month,
                       Integer day, Long& outError)
{
    outError = 0;
    const QString name = vb::UCase(formatName);
    const QDate date = useToday ? QDate::currentDate() : buildDate(year, month, day, outError);
    if (outError != 0)
        return QString();
    const shared::RegionalFormats& f = shared::regionalFormats();
    if (name == u"LONG")
        return vb::Trim(f.longDate(date));
    if (name == u"SHORT")
        return vb::Trim(f.shortDate(date));
    return QString();
}

QString FormatTimeText(const QString& formatName, bool useNow, Integer hour, Integer minute,
                       Integer second, Long& outError)
{
    outError = 0;
    const QString name = vb::UCase(formatName);
    const QTime time = useNow ? QTime::currentTime() : buildTime(hour, minute, second);
    const shared::RegionalFormats& f = shared::regionalFormats();
    if (name == u"LONG")
        return vb::Trim(f.longTime(time));
    if (name == u"SHORT")
        return vb::Trim(f.shortTime(time));
    return QString();
}

QString CompactPathToWidth(const QString& path, int widthPx, const platform::TextMeasure& measure)
{
    try {
        return platform::compactPathToWidth(path, widthPx, measure);
    } catch (const std::exception&) {
        return QString();
    } catch (const platform::AppError&) {
        return QString();
    }
}

QString CompactPathForControl(const QString& path, int measuringLabelWidthPx,
                              const platform::TextMeasure& measureWithLabelFont)
{
    return CompactPathToWidth(path, measuringLabelWidthPx, measureWithLabelFont);
}

QString CompactPathToWidth(const ui::Control& label, const QString& path)
{
    const int tpp = ui::twipsPerPixel();
    const int widthPx = (label.width() + tpp / 2) / tpp;
    const ui::Font font = label.font();
    return CompactPathToWidth(path, widthPx,
                              [font](const QString& text) { return ui::desktop().measureTextPx(font, text); });
}

QString CompactPathForControl(const ui::Control& measuringLabel, const QString& path)
{
    return CompactPathToWidth(measuringLabel, path);
}

QString CompactPathToLength(const QString& path, Long maxChars)
{
    return platform::compactPathToLength(path, maxChars);
}

Integer GetDriveTypeName(const QString& drive, QString& outName, const DriveTypeQuery& systemDriveType)
{
    outName.clear();
    if (drive.isEmpty() || !systemDriveType)
        return 0;
    Integer code = 0;
    try {
        const QChar letter = drive[0];
        switch (systemDriveType(QString(letter) + QStringLiteral(":\\"))) {
        case 2: code = (letter.toUpper() == u'A' || letter.toUpper() == u'B') ? 1 : 2; break;
        case 3: code = 3; break;
        case 4: code = 4; break;
        case 5: code = 5; break;
        case 6: code = 6; break;
        default: code = 0; break; // not determinable, or no root folder
        }
    } catch (const std::exception&) {
        return 0;
    } catch (const platform::AppError&) {
        return 0;
    }
    static const char16_t* const english[] = {u"", u"Floppy Drive", u"Removable Drive", u"Local Hard Drive",
                                              u"Remote (Network) Drive", u"CD-ROM Drive", u"RAM Disk"};
    static const char16_t* const greek[] = {u"", u"Εύκαμπτος Δίσκος", u"Αφαιρούμενος Δίσκος",
                                            u"Τοπικός Σκληρός Δίσκος", u"Απομακρυσμένος Δίσκος (Δικτύου)",
                                            u"Δίσκος CD-ROM", u"Δίσκος RAM"};
    outName = QString::fromUtf16(globals().LanguageIsGreek ? greek[code] : english[code]);
    return code;
}

QString CollapseRepeatedCharacter(const QString& text, const QString& character, bool trimStart,
                                  bool trimEnd)
{
    const QChar c = vb::FirstCharOr(character, u' ');
    const QString pair(2, c);
    const QString single(1, c);
    QString t = text;
    for (;;) {
        DoEventsNow();
        const QString before = t;
        t.replace(pair, single);
        t.replace(pair, single);
        if (t == before)
            break;
    }
    if (trimStart && t.startsWith(c))
        t.remove(0, 1);
    if (trimEnd && t.endsWith(c))
        t.chop(1);
    return t;
}

bool PathIsWithinLevels(const QString& path, Integer levels)
{
    const QString p = RemoveTrailingSeparator(vb::Trim(path));
    if (p.size() == 2 && p[1] == u':')
        return false;
    if (levels < 1)
        return true;
    int count = 0;
    for (const QChar c : p) {
        DoEventsNow();
        if (c == u'\\')
            ++count;
    }
    return count <= levels;
}

} // namespace basGlobal
