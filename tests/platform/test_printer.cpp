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
