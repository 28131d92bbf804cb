#include "ui/SortOrder.h"

#include <algorithm>

namespace ui {

namespace {

inline unsigned sortKey(QChar c)
{
    const char16_t u = c.unicode();
    if (u == u'\\') return 0;
    // Paths are mostly ASCII; only other characters need the Unicode tables.
    if (u < 0x80) return unsigned(u >= u'a' && u <= u'z' ? u - (u'a' - u'A') : u) + 1;
    return unsigned(c.toUpper().unicode()) + 1;
}

} // namespace

int compareSortOrderIgnoringCase(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] == pb[i]) continue;
        const unsigned ka = sortKey(pa[i]);
        const unsigned kb = sortKey(pb[i]);
        if (ka != kb) return ka < kb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

int compareSortOrder(const QString& a, const QString& b)
{
    if (const int c = compareSortOrderIgnoringCase(a, b)) return c;
    const qsizetype n = a.size();
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] != pb[i]) return pa[i].unicode() < pb[i].unicode() ? -1 : 1;
    }
    return 0;
}

} // namespace ui
