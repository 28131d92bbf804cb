#include "shared/RegionalFormats.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace shared {

namespace {

std::unique_ptr<RegionalFormats>& slot()
{
    static std::unique_ptr<RegionalFormats> formats;
    return formats;
}

// Rewrites each run of `field` outside '...' literals through `replace`.
template <typename F>
QString rewriteField(const QString& pattern, QChar field, F replace)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            quoted = !quoted;
            out.append(c);
            ++i;
            continue;
        }
        if (!quoted && c == field) {
            qsizetype j = i;
            while (j < pattern.size() && pattern[j] == field)
                ++j;
            out.append(replace(j - i));
            i = j;
            continue;
        }
        out.append(c);
        ++i;
    }
    return out;
}

// The characters of the widest text `pattern` gives for a time of day.
int widestTimeLength(const QLocale& locale, const QString& pattern)
{
    // Every hour, on the hour and at its last second, so that both halves
    // of a 12-hour clock and one- and two-digit fields are all met.
    int widest = 0;
    for (int h = 0; h < 24; ++h)
        for (const QTime t : {QTime(h, 59, 59), QTime(h, 0, 0)})
            widest = std::max(widest, int(locale.toString(t, pattern).size()));
    return widest;
}

} // namespace

QString withFourDigitYears(const QString& pattern)
{
    return rewriteField(pattern, u'y', [](qsizetype) { return QStringLiteral("yyyy"); });
}

QString withoutTimeZone(const QString& pattern)
{
    QString out = rewriteField(pattern, u't', [](qsizetype) { return QString(); });
    while (out.contains(QStringLiteral("  ")))
        out.replace(QStringLiteral("  "), QStringLiteral(" "));
    return out.trimmed();
}

QString numericShortDate(const QString& pattern)
{
    bool numeric = true;
    int longest = 0;   // characters of the widest date the pattern gives
    qsizetype at[3] = {-1, -1, -1};   // first day, month and year field
    QChar separator;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') {   // a quoted literal: words like "'г'." are no number
            numeric = false;
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            i = close < 0 ? pattern.size() : close + 1;
            continue;
        }
        qsizetype j = i + 1;
        while (j < pattern.size() && pattern[j] == c && c.isLetter())
            ++j;
        const qsizetype run = j - i;
        const int field = c == u'd' ? 0 : c == u'M' ? 1 : c == u'y' ? 2 : -1;
        if (field >= 0) {
            if (at[field] < 0)
                at[field] = i;
            if ((field < 2 && run > 2) || (field == 2 && run != 4))
                numeric = false;   // day or month names, odd year widths
            longest += field == 2 ? int(run) : 2;
        } else {
            if (c.isLetter())
                numeric = false;   // fields of other kinds
            else if (separator.isNull() && c.isPunct())
                separator = c;
            longest += int(run);
        }
        i = j;
    }
    if (numeric && longest <= 10 && at[0] >= 0 && at[1] >= 0 && at[2] >= 0)
        return pattern;
    struct Field {
        qsizetype at;
        const char* text;
    } fields[3] = {{at[0], "dd"}, {at[1], "MM"}, {at[2], "yyyy"}};
    // A field the pattern lacks keeps the day-month-year place.
    for (int f = 0; f < 3; ++f)
        if (fields[f].at < 0)
            fields[f].at = pattern.size() + f;
    std::stable_sort(std::begin(fields), std::end(fields), [](const Field& a, const Field& b) { return a.at < b.at; });
    const QChar sep = separator.isNull() ? QChar(u'/') : separator;
    return QLatin1String(fields[0].text) + sep + QLatin1String(fields[1].text) + sep + QLatin1String(fields[2].text);
}

QString fittingLongTime(const QLocale& locale, const QString& pattern)
{
    constexpr int kWidestShown = 8;   // "23:59:59"
    if (!pattern.isEmpty() && widestTimeLength(locale, pattern) <= kWidestShown)
        return pattern;
    return QStringLiteral("HH:mm:ss");
}

RegionalFormats::RegionalFormats(QLocale locale, QString longDateFormat, QString shortDateFormat,
                                 QString longTimeFormat, QChar timeSeparator)
    : m_locale(std::move(locale)), m_longDate(std::move(longDateFormat)),
      m_shortDate(std::move(shortDateFormat)), m_longTime(std::move(longTimeFormat)),
      m_timeSep(timeSeparator)
{
    m_grouped = m_locale;
    m_grouped.setNumberOptions(m_grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
}

RegionalFormats RegionalFormats::fromLocale(const QLocale& locale)
{
    // The separator between hours and minutes of the locale's short time.
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    QChar sep = u':';
    const qsizetype h = shortTime.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
    if (h >= 0) {
        for (qsizetype i = h; i < shortTime.size(); ++i) {
            const QChar c = shortTime[i];
            if (c != u'h' && c != u'H') {
                if (!c.isLetter() && c != u' ' && c != u'\'')
                    sep = c;
                break;
            }
        }
    }
    return RegionalFormats(locale, withFourDigitYears(locale.dateFormat(QLocale::LongFormat)),
                           numericShortDate(withFourDigitYears(locale.dateFormat(QLocale::ShortFormat))),
                           fittingLongTime(locale, withoutTimeZone(locale.timeFormat(QLocale::LongFormat))), sep);
}

QString RegionalFormats::longDate(QDate d) const { return m_locale.toString(d, m_longDate); }
QString RegionalFormats::shortDate(QDate d) const { return m_locale.toString(d, m_shortDate); }
QString RegionalFormats::groupedNumber(qint64 n) const { return m_grouped.toString(n); }

QString RegionalFormats::longTime(QTime t) const { return m_locale.toString(t, m_longTime); }

QString RegionalFormats::shortTime(QTime t) const
{
    return m_locale.toString(t, QStringLiteral("HH")) + m_timeSep + m_locale.toString(t, QStringLiteral("mm"));
}

const RegionalFormats& regionalFormats()
{
    auto& s = slot();
    if (!s)
        s = std::make_unique<RegionalFormats>(RegionalFormats::fromLocale(QLocale::system()));
    return *s;
}

void setRegionalFormats(const RegionalFormats& formats) { slot() = std::make_unique<RegionalFormats>(formats); }

void resetRegionalFormats() { slot().reset(); }

} // namespace shared
