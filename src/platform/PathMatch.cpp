#include "platform/PathMatch.h"

#include <QList>

namespace platform {

namespace {

QList<char32_t> upperCodePoints(QStringView s)
{
    QList<char32_t> out;
    out.reserve(s.size());
    for (const char32_t c : s.toUcs4())
        out.append(QChar::toUpper(c));
    return out;
}

} // namespace

bool pathMatchSpec(const QString& name, const QString& mask)
{
    qsizetype skip = 0;
    while (skip < mask.size() && mask[skip] == u' ')
        ++skip;
    if (skip == 0 && mask == u"*.*")
        return true;

    const QList<char32_t> n = upperCodePoints(name);
    const QList<char32_t> m = upperCodePoints(QStringView(mask).mid(skip));

    qsizetype ni = 0, mi = 0;
    qsizetype starAt = -1, resumeAt = 0;
    while (ni < n.size()) {
        if (mi < m.size() && m[mi] == U'*') {
            starAt = mi++;
            resumeAt = ni;
        } else if (mi < m.size() && (m[mi] == U'?' || m[mi] == n[ni])) {
            ++mi;
            ++ni;
        } else if (starAt >= 0) {
            // Let the last "*" swallow one more character and try again.
            mi = starAt + 1;
            ni = ++resumeAt;
        } else {
            return false;
        }
    }
    while (mi < m.size() && m[mi] == U'*')
        ++mi;
    return mi == m.size();
}

} // namespace platform
