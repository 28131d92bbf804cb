#include "shared/VbString.h"

#include "platform/AppError.h"

namespace vb {

namespace {

[[noreturn]] void invalidCall()
{
    throw platform::makeError(platform::errInvalidCall);
}

QString mapCase(const QString& s, bool upper)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            const char32_t cp = QChar::surrogateToUcs4(c, s[i + 1]);
            const char32_t m = upper ? QChar::toUpper(cp) : QChar::toLower(cp);
            if (QChar::requiresSurrogates(m)) {
                out.append(QChar::highSurrogate(m));
                out.append(QChar::lowSurrogate(m));
            } else {
                out.append(c);
                out.append(s[i + 1]);
            }
            ++i;
            continue;
        }
        const char32_t m = upper ? QChar::toUpper(c.unicode()) : QChar::toLower(c.unicode());
        out.append(QChar::requiresSurrogates(m) ? c : QChar(static_cast<char16_t>(m)));
    }
    return out;
}

} // namespace

qsizetype Len(const QString& s) { return s.size(); }

QString Mid(const QString& s, qsizetype start, qsizetype length)
{
    if (start < 1 || length < -1)
        invalidCall();
    if (start > s.size())
        return QString();
    return length < 0 ? s.mid(start - 1) : s.mid(start - 1, length);
}

QString Left(const QString& s, qsizetype length)
{
    if (length < 0)
        invalidCall();
    return s.left(length);
}

QString Right(const QString& s, qsizetype length)
{
    if (length < 0)
        invalidCall();
    return s.right(length);
}

qsizetype InStr(qsizetype start, const QString& s, const QString& find)
{
    if (start < 1)
        invalidCall();
    if (start > s.size() + 1)
        return 0;
    if (find.isEmpty())
        return start;
    const qsizetype at = s.indexOf(find, start - 1, Qt::CaseSensitive);
    return at < 0 ? 0 : at + 1;
}

qsizetype InStr(const QString& s, const QString& find) { return InStr(1, s, find); }

qsizetype InStrRev(const QString& s, const QString& find, qsizetype start)
{
    if (start == 0 || start < -1)
        invalidCall();
    const qsizetype from = start < 0 ? s.size() : start;
    if (from > s.size())
        return 0;
    if (find.isEmpty())
        return from;
    // The match must end at or before `from`.
    const qsizetype last = from - find.size();
    if (last < 0)
        return 0;
    const qsizetype at = s.lastIndexOf(find, last, Qt::CaseSensitive);
    return at < 0 ? 0 : at + 1;
}

QString LTrim(const QString& s)
{
    qsizetype b = 0;
    while (b < s.size() && s[b] == u' ')
        ++b;
    return s.mid(b);
}

QString RTrim(const QString& s)
{
    qsizetype e = s.size();
    while (e > 0 && s[e - 1] == u' ')
        --e;
    return s.left(e);
}

QString Trim(const QString& s) { return LTrim(RTrim(s)); }

QString UCase(const QString& s) { return mapCase(s, true); }
QString LCase(const QString& s) { return mapCase(s, false); }

QString Replace(const QString& s, const QString& find, const QString& with)
{
    if (find.isEmpty())
        return s;
    QString out = s;
    return out.replace(find, with, Qt::CaseSensitive);
}

QString Space(qsizetype n)
{
    if (n < 0)
        invalidCall();
    return QString(n, u' ');
}

QString String(qsizetype n, QChar c)
{
    if (n < 0)
        invalidCall();
    return QString(n, c);
}

QChar FirstCharOr(const QString& s, QChar fallback)
{
    return s.isEmpty() ? fallback : s[0];
}

} // namespace vb
