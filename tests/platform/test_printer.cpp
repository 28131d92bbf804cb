#include "platform/AppError.h"
#include "platform/Printer.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(PrinterFont, CourierNewAndItsGreekTwinMapToTheSameFixedFont)
{
    const QStringList installed{"DejaVu Sans", "DejaVu Sans Mono", "Liberation Mono", "Liberation Sans"};
    EXPECT_EQ(printerFontFamily("Courier New", installed), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(printerFontFamily("Courier New Greek", installed), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(printerFontFamily("courier new greek", {"DejaVu Sans Mono"}), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(printerFontFamily("Courier New", {"DejaVu Sans"}), QStringLiteral("Monospace"));
    EXPECT_EQ(printerFontFamily("Verdana", installed), QStringLiteral("Verdana"));
}

TEST(RecordingPrinter, KeepsPagesAndSettingsPerDocument)
{
    RecordingPrinter p;
    p.setOrientation(orientLandscape);
    p.setFontName("Courier New Greek");
    p.setFontSize(9);
    EXPECT_EQ(p.printLine("one"), errNone);
    EXPECT_EQ(p.newPage(), errNone);
    EXPECT_EQ(p.printLine("two"), errNone);
    EXPECT_EQ(p.endDoc(), errNone);
    EXPECT_EQ(p.endDoc(), errNone);   // nothing open: no empty document
    ASSERT_EQ(p.finished.size(), 1u);
    const auto& doc = p.finished[0];
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(doc.pages[0].lines, std::vector<QString>{"one"});
    EXPECT_EQ(doc.pages[1].lines, std::vector<QString>{"two"});
    EXPECT_EQ(doc.orientation, orientLandscape);
    EXPECT_EQ(doc.fontName, QStringLiteral("Courier New Greek"));
    EXPECT_EQ(doc.fontSize, 9);
}

TEST(RecordingPrinter, FailuresAndTheUninstalledPrinter)
{
    RecordingPrinter p;
    p.failWith = errPrinter;
    EXPECT_EQ(p.printLine("x"), errPrinter);
    EXPECT_TRUE(p.finished.empty());
    setPrinter(nullptr);
    EXPECT_EQ(printer().printLine("lost?"), errPrinter);   // never silently swallowed
    setPrinter(&p);
    EXPECT_EQ(&printer(), &p);
    setPrinter(nullptr);
}
