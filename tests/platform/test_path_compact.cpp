#include "platform/PathCompact.h"

#include "shared/qstring_print.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {
// One pixel per character makes the expected cuts easy to read.
const TextMeasure perChar = [](const QString& s) { return static_cast<int>(s.size()); };
// Wide letters: "W" is 3 pixels, everything else 1.
const TextMeasure wideW = [](const QString& s) { return static_cast<int>(s.size() + 2 * s.count(u'W')); };
} // namespace

TEST(CompactToWidth, KeepsTheStartAndTheLastComponent)
{
    const QString p = "C:\\path1\\path2\\sample.txt";
    EXPECT_EQ(compactPathToWidth(p, 25, perChar), p);
    EXPECT_EQ(compactPathToWidth(p, 23, perChar), "C:\\path1\\...\\sample.txt");
    EXPECT_EQ(compactPathToWidth(p, 20, perChar), "C:\\pat...\\sample.txt");
    EXPECT_EQ(compactPathToWidth(p, 14, perChar), "...\\sample.txt");
    EXPECT_EQ(compactPathToWidth(p, 5, perChar), "...\\sample.txt"); // wider than asked
}

TEST(CompactToWidth, AFolderPathKeepsItsLastFolderWithTheTrailingSeparator)
{
    EXPECT_EQ(compactPathToWidth("D:\\Very\\Long\\Path\\B\\", 12, perChar), "D:\\Ver...\\B\\");
}

TEST(CompactToWidth, ATextWithoutSeparatorIsCutAtItsEnd)
{
    EXPECT_EQ(compactPathToWidth("averylongname", 8, perChar), "avery...");
    EXPECT_EQ(compactPathToWidth("averylongname", 2, perChar), "..");
}

TEST(CompactToWidth, MeasuresWithTheGivenFontNotByCharacters)
{
    // "W" is three pixels: fewer characters of it fit than of plain letters.
    EXPECT_EQ(compactPathToWidth("C:\\WWWWWW\\x.txt", 14, wideW), "C:\\...\\x.txt");
    EXPECT_EQ(compactPathToWidth("C:\\aaaaaa\\x.txt", 14, wideW), "C:\\aa...\\x.txt");
}

TEST(CompactToWidth, NoMeasureIsAFailure)
{
    EXPECT_EQ(compactPathToWidth("C:\\a\\b", 3, TextMeasure()), "");
}

TEST(CompactToLength, ShortensToExactlyTheMaximum)
{
    const QString p = "C:\\" + QString(60, u'f') + "\\deeper\\file.txt"; // 79 characters
    const QString r = compactPathToLength(p, 75);
    EXPECT_EQ(r.size(), 75);
    EXPECT_TRUE(r.endsWith("...\\file.txt"));
    EXPECT_TRUE(r.startsWith("C:\\fff"));
}

TEST(CompactToLength, AFolderRowKeepsItsLastFolder)
{
    const QString p = "Docs\\" + QString(35, u'x') + "\\Sub\\"; // 45 characters
    const QString r = compactPathToLength(p, 43);
    EXPECT_EQ(r.size(), 43);
    EXPECT_TRUE(r.endsWith("...\\Sub\\"));
}

TEST(CompactToLength, EdgeCases)
{
    const QString exact = QString(72, u'a') + "\\bc";
    EXPECT_EQ(compactPathToLength(exact, 75), exact);
    EXPECT_EQ(compactPathToLength(QString(60, u'n'), 43), QString(40, u'n') + "...");
    EXPECT_EQ(compactPathToLength("abcdef", 2), "..");
    EXPECT_EQ(compactPathToLength("C:\\averyverylongname.txt", 12), "...\\avery...");
    EXPECT_EQ(compactPathToLength("C:\\averyverylongname.txt", 6), "......");
    EXPECT_EQ(compactPathToLength("abc", 0), "");
}
