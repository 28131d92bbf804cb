#include "shared/RegionalFormats.h"

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
                           withFourDigitYears(locale.dateFormat(QLocale::ShortFormat)),
                           withoutTimeZone(locale.timeFormat(QLocale::LongFormat)), sep);
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
