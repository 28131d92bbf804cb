// Digit grouping learned from a formatter must write every number exactly as
// the formatter does: Qt's locales are all learned (test_rules.cpp), so here
// formatters whose layout cannot be learned for some lengths, or whose text
// depends on the digits themselves, and the promise that a learned length
// never asks the formatter again.
#include "shared/DigitGrouping.h"

#include <QLocale>

#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace {

QString grouped(qint64 n, const QString& separator)
{
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, separator);
    return n < 0 ? u'-' + digits : digits;
}

// Numbers of every length, with every digit in some place.
std::vector<qint64> numbers()
{
    std::vector<qint64> out = {0, 5, 10, 12, 70, 99, 100, 707, 1000, 1234, 7000, 9876, 10000, 65432, 123456, 999999,
                               1000000, 1234567, 76543210, 4294967296LL, std::numeric_limits<qint64>::max(), -1, -1234567};
    for (qint64 p = 1; p <= std::numeric_limits<qint64>::max() / 10; p *= 10) out.push_back(p * 7 + 3);
    return out;
}

struct Formatter {
    const char* name;
    QString (*write)(qint64);
};
void PrintTo(const Formatter& f, std::ostream* os) { *os << f.name; }

class UnlearnableFormatters : public ::testing::TestWithParam<Formatter> {};

TEST_P(UnlearnableFormatters, EveryNumberReadsAsTheFormatterWritesIt)
{
    const shared::DigitGrouping grouping(GetParam().write);
    for (const qint64 n : numbers()) EXPECT_EQ(grouping.format(n), GetParam().write(n)) << GetParam().name << " " << n;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, UnlearnableFormatters,
    ::testing::Values(
        // A unit after every number: each digit alone reads as a number, no
        // longer one does.
        Formatter{"unit", [](qint64 n) { return grouped(n, QStringLiteral(",")) + QStringLiteral(" B"); }},
        // A sign before it.
        Formatter{"currency", [](qint64 n) { return QStringLiteral("$") + grouped(n, QStringLiteral(",")); }},
        // Long numbers written another way altogether.
        Formatter{"scientific", [](qint64 n) {
                      return n < 1000000 ? grouped(n, QStringLiteral(" ")) : QString::number(double(n), 'e', 3);
                  }},
        // A text that depends on the digits, not on the length alone.
        Formatter{"byDigits", [](qint64 n) {
                      return grouped(n, QString::number(n).contains(u'7') ? QStringLiteral(".") : QStringLiteral(","));
                  }},
        Formatter{"byNines", [](qint64 n) {
                      return grouped(n, QString::number(n).contains(u'9') ? QStringLiteral(" ") : QStringLiteral(","));
                  }},
        // Only some lengths grouped, one of them with its own mark after the last digit.
        Formatter{"trailing", [](qint64 n) {
                      const QString t = grouped(n, QStringLiteral("'"));
                      return QString::number(n).size() == 5 ? t + QStringLiteral("'") : t;
                  }}),
    [](const ::testing::TestParamInfo<Formatter>& info) { return std::string(info.param.name); });

// The point of learning: once learned, a length needs no formatter.
TEST(DigitGrouping, ALearnedLayoutNeverAsksTheFormatterAgain)
{
    int calls = 0;
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const shared::DigitGrouping grouping([&](qint64 n) {
        ++calls;
        return locale.toString(n);
    });
    calls = 0;
    for (const qint64 n : numbers())
        if (n >= 0) {
            EXPECT_EQ(grouping.format(n), locale.toString(n)) << n;
        }
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(grouping.format(-1234567), QStringLiteral("-1,234,567"));
    EXPECT_EQ(calls, 1) << "a negative number is the formatter's";
}

} // namespace
