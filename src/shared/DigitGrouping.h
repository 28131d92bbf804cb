#pragma once
// Whole numbers with the digit grouping of the regional settings, written
// exactly as the settings' own formatter writes them but without asking it
// for every number: a grid of a million rows groups a million sizes.
//
// The layout of a number depends only on how many digits it has, so the
// text of every length (1, 10, 100, ... 10^18) is learned once from the
// formatter: each digit's own text and the separator text after each
// digit position. Negative numbers, and any length whose text did not read
// as digits and separators, go to the formatter itself. Every locale Qt
// knows is learned at every length; the way through the formatter keeps the
// texts exact for any other formatter (a unit or sign around the number, a
// text that depends on the digits), which would otherwise be written with
// a layout never learned.

#include <QString>

#include <array>
#include <functional>

namespace shared {

class DigitGrouping {
public:
    using Formatter = std::function<QString(qint64)>;
    explicit DigitGrouping(Formatter formatter);

    QString format(qint64 n) const;

private:
    static constexpr int kMaxDigits = 19;
    struct Layout {
        bool learned = false;
        // separators[k]: the text after digit k (counted from the left).
        std::array<QString, kMaxDigits> separators;
        qsizetype separatorLength = 0;
    };
    Formatter m_formatter;
    std::array<QString, 10> m_digits;
    std::array<Layout, kMaxDigits + 1> m_layouts;   // by number of digits
};

} // namespace shared
