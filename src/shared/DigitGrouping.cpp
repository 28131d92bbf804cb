#include "shared/DigitGrouping.h"

#include <algorithm>

namespace shared {

DigitGrouping::DigitGrouping(Formatter formatter) : m_formatter(std::move(formatter))
{
    for (int d = 0; d < 10; ++d)
        m_digits[std::size_t(d)] = m_formatter(d);
    qint64 sample = 1;
    for (int length = 1; length <= kMaxDigits; ++length) {
        if (length > 1)
            sample *= 10;
        // 1 followed by zeros: each digit's text is known, so what lies
        // between them is the grouping.
        const QString text = m_formatter(sample);
        Layout& layout = m_layouts[std::size_t(length)];
        qsizetype at = 0;
        bool ok = true;
        for (int k = 0; k < length && ok; ++k) {
            const QString& digit = m_digits[k == 0 ? 1 : 0];
            if (digit.isEmpty() || QStringView(text).mid(at, digit.size()) != digit) {
                ok = false;
                break;
            }
            at += digit.size();
            if (k + 1 == length) break;
            // The separator runs to the next digit's text.
            const QString& next = m_digits[0];
            const qsizetype nextAt = text.indexOf(next, at);
            if (nextAt < 0) {
                ok = false;
                break;
            }
            layout.separators[std::size_t(k)] = text.mid(at, nextAt - at);
            layout.separatorLength += nextAt - at;
            at = nextAt;
        }
        layout.learned = ok && at == text.size();
        // Every digit in every place, read back through both ways.
        if (layout.learned) {
            // 9876543210... but for the longest length, which would pass
            // the largest size: there 1234567890... still has every digit.
            const bool longest = length == kMaxDigits;
            qint64 probe = 0;
            for (int k = 0; k < length; ++k)
                probe = probe * 10 + (longest ? (k + 1) % 10 : 9 - k % 10);
            layout.learned = format(probe) == m_formatter(probe) && format(sample) == text;
        }
    }
}

QString DigitGrouping::format(qint64 n) const
{
    if (n < 0)
        return m_formatter(n);
    char digits[kMaxDigits];
    int length = 0;
    do {
        digits[length++] = char(n % 10);
        n /= 10;
    } while (n > 0);
    const Layout& layout = m_layouts[std::size_t(length)];
    if (!layout.learned) {
        qint64 value = 0;
        for (int k = length - 1; k >= 0; --k)
            value = value * 10 + digits[k];
        return m_formatter(value);
    }
    qsizetype size = layout.separatorLength;
    for (int k = 0; k < length; ++k)
        size += m_digits[std::size_t(digits[k])].size();
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (int k = 0; k < length; ++k) {
        const QString& digit = m_digits[std::size_t(digits[length - 1 - k])];
        out = std::copy(digit.cbegin(), digit.cend(), out);
        const QString& separator = layout.separators[std::size_t(k)];
        out = std::copy(separator.cbegin(), separator.cend(), out);
    }
    return text;
}

} // namespace shared
