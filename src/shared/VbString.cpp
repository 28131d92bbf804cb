#include "shared/VbString.h"

#include "platform/AppError.h"

namespace vb {

namespace {

[[noreturn]] void invalidCall()
{
    throw platform::makeError(platform::errInvalidCall);
}

// One character for one, so a string's length never changes. Names and
// paths are mostly ASCII and often already in the wanted case: those cost
// one scan and no copy.
QString mapCase(const QString& s, bool upper)
{
    const qsizetype n = s.size();
    const QChar* p = s.constData();
    const char16_t from = upper ? u'a' : u'A';
    const char16_t to = upper ? u'A' : u'a';
    qsizetype i = 0;
    for (; i < n; ++i) {
        const char16_t u = p[i].unicode();
        if (u >= 0x80 || (u >= from && u <= from + 25))
            break;
    }
    if (i == n)
        return s;
    QString out = s;
    QChar* q = out.data();
    for (; i < n; ++i) {
        const char16_t u = q[i].unicode();
        if (u < 0x80) {
            if (u >= from && u <= from + 25)
                q[i] = QChar(static_cast<char16_t>(u - from + to));
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && q[i + 1].isLowSurrogate()) {
            const char32_t cp = QChar::surrogateToUcs4(q[i], q[i + 1]);
            const char32_t m = upper ? QChar::toUpper(cp) : QChar::toLower(cp);
            if (QChar::requiresSurrogates(m)) {
                q[i] = QChar(QChar::highSurrogate(m));
                q[i + 1] = QChar(QChar::lowSurrogate(m));
            }
            ++i;
            continue;
        }
        const char32_t m = upper ? QChar::toUpper(char32_t(u)) : QChar::toLower(char32_t(u));
        if (!QChar::requiresSurrogates(m))
            q[i] = QChar(static_cast<char16_t>(m));
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
