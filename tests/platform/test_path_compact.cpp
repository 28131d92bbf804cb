#include "platform/PathCompact.h"

#include "shared/qstring_print.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CompactPath, ToAWidthInTheGivenFontOrToALengthKeepingTheStartAndTheLastComponent)
{
    // One pixel per character makes the expected cuts easy to read; in the
    // wide font "W" is 3 pixels.
    const TextMeasure perChar = [](const QString& s) { return static_cast<int>(s.size()); };
    const TextMeasure wideW = [](const QString& s) { return static_cast<int>(s.size() + 2 * s.count(u'W')); };
    const struct {
        QString path;
        int width;
        bool wide;
        QString expected;
    } cases[] = {
        {"C:\\path1\\path2\\sample.txt", 25, false, "C:\\path1\\path2\\sample.txt"},
        {"C:\\path1\\path2\\sample.txt", 23, false, "C:\\path1\\...\\sample.txt"},
        {"C:\\path1\\path2\\sample.txt", 20, false, "C:\\pat...\\sample.txt"},
        {"C:\\path1\\path2\\sample.txt", 14, false, "C:\\...\\samp..."},   // the drive stays
        {"C:\\path1\\path2\\sample.txt", 5, false, "C:\\...\\s..."},      // wider than asked
        {"D:\\Very\\Long\\Path\\B\\", 12, false, "D:\\Ver...\\B\\"},      // a folder keeps its last folder
        {"averylongname", 8, false, "avery..."},                          // no separator: cut at the end
        {"averylongname", 4, false, "a..."},                              // one character is still a start
        {"averylongname", 2, false, ".."},
        {"abc\\def\\name.txt", 13, false, "a...\\name.txt"},                // no drive: the start may go
        {"abc\\def\\name.txt", 12, false, "...\\name.txt"},                 // and then all of it, the name kept whole
        {"abc\\def\\name.txt", 11, false, "...\\name..."},
        {"C:\\WWWWWW\\x.txt", 14, true, "C:\\...\\x.txt"},
        {"C:\\aaaaaa\\x.txt", 14, true, "C:\\aa...\\x.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compactPathToWidth(c.path, c.width, c.wide ? wideW : perChar), c.expected) << c.path.toStdString() << " " << c.width;
    EXPECT_EQ(compactPathToWidth("C:\\a\\b", 3, TextMeasure()), "") << "no measure is a failure";

    // To a length: exactly the maximum, keeping the last component.
    const QString exact = QString(72, u'a') + "\\bc";
    const struct {
        QString path;
        int length;
        QString expected;
    } lengths[] = {
        {"C:\\" + QString(60, u'f') + "\\deeper\\file.txt", 75, "C:\\" + QString(60, u'f') + "...\\file.txt"},
        {"Docs\\" + QString(35, u'x') + "\\Sub\\", 43, "Docs\\" + QString(30, u'x') + "...\\Sub\\"},
        {exact, 75, exact},
        {QString(60, u'n'), 43, QString(40, u'n') + "..."},
        {"abcdef", 2, ".."},
        {"C:\\averyverylongname.txt", 12, "...\\avery..."},
        {"C:\\averyverylongname.txt", 6, "......"},
        // A start that would end inside the drive gives the drive up whole.
        {"C:\\Docs\\" + QString(70, u'n'), 75, "...\\" + QString(70, u'n')},
        {"C:\\Docs\\" + QString(69, u'n'), 75, "...\\" + QString(69, u'n')},
        {"C:\\Docs\\" + QString(68, u'n'), 75, "C:\\...\\" + QString(68, u'n')},
        {"abc", 0, ""},
    };
    for (const auto& c : lengths) {
        EXPECT_EQ(compactPathToLength(c.path, c.length), c.expected) << c.path.toStdString();
        EXPECT_LE(compactPathToLength(c.path, c.length).size(), c.length);
    }
}

// A compacted path keeps its drive whole ("C...\last" reads as a folder
// named "C..."); when the drive, "..." and the last component do not fit
// together, the last component gives way at its end, keeping a folder's "\".
TEST(CompactPath, ADriveIsNeverCutAndALongLastComponentGivesWayAtItsEnd)
{
    const TextMeasure perChar = [](const QString& s) { return static_cast<int>(s.size()); };
    const struct {
        QString path;
        int width;
        QString expected;
    } cases[] = {
        {"C:\\first_level_aaaa\\second_level_bbbb\\", 23, "C:\\...\\second_level...\\"},
        {"C:\\first_level_aaaa\\second_level_bbbb\\", 25, "C:\\...\\second_level_bbbb\\"},
        {"C:\\path1\\path2\\sample.txt", 16, "C:\\...\\sample..."},
        {"C:\\averyverylongname.txt", 12, "C:\\averyv..."},                       // nothing in the middle
        {"D:\\Έγγραφα\\Αναφορές του έτους\\", 20, "D:\\...\\Αναφορές ...\\"},
        {"Docs\\x\\averylongname", 10, "...\\ave..."},                          // no drive to keep
        {"C:\\path1\\path2\\sample.txt", 3, "C:\\...\\s..."},                // the shortest, wider than asked
    };
    for (const auto& c : cases) {
        const QString shown = compactPathToWidth(c.path, c.width, perChar);
        EXPECT_EQ(shown, c.expected) << c.path.toStdString() << " " << c.width;
        if (c.width > 3) {
            EXPECT_LE(shown.size(), c.width) << c.path.toStdString();
        }
    }
}

// The edges: a cut never splits a character outside the basic plane, the
// shortest results are a single dot, and a last component that just fits
// behind "..." is kept whole.
TEST(CompactPath, AtTheEdgesOfTheRoomLeft)
{
    const TextMeasure perChar = [](const QString& s) { return static_cast<int>(s.size()); };
    const QString smile = QString::fromUtf8("😀");   // two UTF-16 units
    const struct { QString path; int width; QString expected; } widths[] = {
        {smile + "bcdef", 4, "..."},
        {smile + "bcdef", 5, smile + "..."},
        {"abcdef", 1, "."},
        {"abcdef", 0, ""},
        {"C:\\\\averylongname", 10, "C:\\\\ave..."},
    };
    for (const auto& c : widths)
        EXPECT_EQ(compactPathToWidth(c.path, c.width, perChar), c.expected) << c.path.toStdString() << " " << c.width;
    const struct { QString path; int length; QString expected; } lengths[] = {
        {smile + "bcdef", 4, "..."},
        {smile + "bcdef", 5, smile + "..."},
        {"abc", 1, "."},
        {"abc", 3, "abc"},
        {"abcd", 3, "..."},
        {"C:\\dir\\abcdef", 10, "...\\abcdef"},
        {"C:\\dir\\abcdef", 9, "...\\ab..."},
        {"C:\\averyverylongname.txt", 7, "......."},
        {"C:\\averyverylongname.txt", 8, "...\\a..."},
        // A drive without its "\\" is whole in two characters.
        {"C:ab\\cdefgh\\x.txt", 11, "C:...\\x.txt"},
        {"C:ab\\cdefgh\\x.txt", 10, "...\\x.txt"},
        {"C:\\b\\cdefgh\\x.txt", 11, "...\\x.txt"},
        {"C:\\b\\cdefgh\\x.txt", 12, "C:\\...\\x.txt"},
    };
    for (const auto& c : lengths)
        EXPECT_EQ(compactPathToLength(c.path, c.length), c.expected) << c.path.toStdString() << " " << c.length;
}
