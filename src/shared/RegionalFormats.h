#pragma once
// Where dates and times get their display form: the user's regional formats
// (the system locale), with four-digit years, a long time without a zone and
// a short time that is always 24-hour hours and minutes. The short date is
// numeric and at most ten characters, the long time at most eight (grid
// columns and printed lines are sized for that; see numericShortDate and
// fittingLongTime). Tests pin the formats with setRegionalFormats().

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace shared {

class RegionalFormats {
public:
    // Formats in QLocale's pattern language ("dd/MM/yyyy", "HH:mm:ss").
    RegionalFormats(QLocale locale, QString longDateFormat, QString shortDateFormat,
                    QString longTimeFormat, QChar timeSeparator);

    // The system locale's formats, adjusted as said above.
    static RegionalFormats fromLocale(const QLocale& locale);

    QString longDate(QDate d) const;
    QString shortDate(QDate d) const;
    QString longTime(QTime t) const;
    QString shortTime(QTime t) const;
    // A whole number with the locale's digit grouping ("1,234,567"; 0 is "0").
    QString groupedNumber(qint64 n) const;

    const QString& longDateFormat() const { return m_longDate; }
    const QString& shortDateFormat() const { return m_shortDate; }
    const QString& longTimeFormat() const { return m_longTime; }
    QChar timeSeparator() const { return m_timeSep; }

private:
    QLocale m_locale;
    QLocale m_grouped;   // m_locale, with digit grouping always on
    QString m_longDate;
    QString m_shortDate;
    QString m_longTime;
    QChar m_timeSep;
};

// The formats in force (the system locale's until set).
const RegionalFormats& regionalFormats();
void setRegionalFormats(const RegionalFormats& formats);
void resetRegionalFormats();

// Pattern clean-ups used by fromLocale, outside quoted literals: every year
// field becomes "yyyy"; time-zone fields are dropped with their blanks.
QString withFourDigitYears(const QString& pattern);
QString withoutTimeZone(const QString& pattern);
// The short date pattern the program uses for a locale's (four-digit years
// already applied): the locale's own when it is all numeric fields and
// separators and never longer than ten characters; otherwise the locale's
// order of day, month and year as "dd", "MM" and "yyyy", joined by its first
// punctuation separator ('/' when it has none): "d MMM yyyy" (the C locale)
// gives "dd/MM/yyyy", "yyyy. MM. dd." gives "yyyy.MM.dd".
QString numericShortDate(const QString& pattern);
// The long time pattern the program uses for a locale's (zone already
// dropped): the locale's own when no time of day it gives is longer than
// eight characters, otherwise "HH:mm:ss" on the 24-hour clock. Greek's
// "h:mm:ss AP" ("7:13:07 μ.μ.") becomes "HH:mm:ss" ("19:13:07").
QString fittingLongTime(const QLocale& locale, const QString& pattern);

} // namespace shared
