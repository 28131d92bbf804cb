#include "platform/AppError.h"
#include "platform/Printer.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Printer, CourierNewAndItsGreekTwinMapToTheSameFixedFontAndNoPrinterFails)
{
    const QStringList installed{"DejaVu Sans", "DejaVu Sans Mono", "Liberation Mono", "Liberation Sans"};
    EXPECT_EQ(printerFontFamily("Courier New", installed), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(printerFontFamily("Courier New Greek", installed), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(printerFontFamily("courier new greek", {"DejaVu Sans Mono"}), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(printerFontFamily("Courier New", {"DejaVu Sans"}), QStringLiteral("Monospace"));
    EXPECT_EQ(printerFontFamily("Verdana", installed), QStringLiteral("Verdana"));
    // Without an installed printer printing fails.
    setPrinter(nullptr);
    EXPECT_EQ(printer().printLine("lost?"), errPrinter);   // never silently swallowed
}

// The stand-in families are taken in their order of likeness, in the
// spelling the system gives; without a printer every call fails or is empty
// and the settings given are kept.
TEST(Printer, TheClosestInstalledFamilyWinsAndNoPrinterKeepsItsSettings)
{
    const QStringList all{"freemono", "DejaVu Sans Mono", "Cousine", "LIBERATION MONO", "Courier New"};
    EXPECT_EQ(printerFontFamily(" Courier New ", all), QStringLiteral("Courier New"));
    EXPECT_EQ(printerFontFamily("Courier New", all.mid(0, 4)), QStringLiteral("LIBERATION MONO"));
    EXPECT_EQ(printerFontFamily("Courier New", all.mid(0, 3)), QStringLiteral("Cousine"));
    EXPECT_EQ(printerFontFamily("Courier New", all.mid(0, 2)), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(printerFontFamily("Courier New", all.mid(0, 1)), QStringLiteral("freemono"));
    EXPECT_EQ(printerFontFamily("Courier New", {}), QStringLiteral("Monospace"));
    EXPECT_EQ(printerFontFamily("  Verdana  ", all), QStringLiteral("Verdana"));
    EXPECT_EQ(printerFontFamily("Courier", all), QStringLiteral("Courier"));

    setPrinter(nullptr);
    Printer& none = printer();
    EXPECT_EQ(none.deviceName(), QString());
    EXPECT_EQ(none.orientation(), orientPortrait);
    EXPECT_EQ(none.fontName(), QStringLiteral("Courier New"));
    EXPECT_EQ(none.fontSize(), 10.0);
    none.setOrientation(orientLandscape);
    none.setFontName("Arial");
    none.setFontSize(8.5);
    EXPECT_EQ(none.orientation(), orientLandscape);
    EXPECT_EQ(none.fontName(), QStringLiteral("Arial"));
    EXPECT_EQ(none.fontSize(), 8.5);
    EXPECT_EQ(none.newPage(), errPrinter);
    EXPECT_EQ(none.endDoc(), errPrinter);
    EXPECT_EQ(none.printers(), QStringList());
    EXPECT_FALSE(none.setupDialog());
    EXPECT_EQ(none.linesPerSheet("Courier New", 10), 0);
    EXPECT_EQ(none.charactersPerLine("Courier New", 10), 0);
    none.setOrientation(orientPortrait);
    none.setFontName("Courier New");
    none.setFontSize(10);
}
