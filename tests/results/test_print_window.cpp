// The print window around the run: what it shows when it opens, Apply, the
// main window's setups, the keys.
#include "print_fixture.h"

#include "shared/IniAccess.h"

using results::frmPrint;

namespace {

class PrintWindow : public PrintTest {};

// (The bar's arithmetic, shared by every window: the export window's test.)
TEST_F(PrintWindow, OpensWithItsCountDestinationAndPrinterNameAndIdleWithNothingToPrint)
{
    openPrint([&](frmPrint& f) {
        EXPECT_EQ(f.caption(), QStringLiteral("Print - Number of pages: 0."));
        EXPECT_FALSE(f.cmdPrint->enabled());
        ui::Input::key(f, 'P', ui::vbCtrlMask);   // nothing to print: nothing happens
        ui::Input::key(f, 13);
        EXPECT_TRUE(printer.finished.empty());
        ui::Input::click(*f.cmdCancel);
    });

    // With rows: the page count, the destination and the printer's name.
    fill(27);
    g().PrintDestinationIndex = 2;
    g().CancelRequested = true;
    openPrint([&](frmPrint& f) {
        EXPECT_EQ(f.caption(), QStringLiteral("Print - Number of pages: 2."));
        EXPECT_FALSE(g().CancelRequested);
        EXPECT_TRUE(f.optPrintDestination[2]->value());
        EXPECT_EQ(f.optPrintDestination[0]->caption(), QStringLiteral("Recording printer printer"));
        EXPECT_EQ(f.optPrintDestination[2]->caption(),
                  QStringLiteral("both Recording printer printer\r\nand Plain text file..."));

        // Apply keeps the choice in the INI file; another choice undoes "Close".
        ui::Input::click(*f.optPrintDestination[1]);
        ui::Input::click(*f.cmdApply);
        EXPECT_EQ(f.cmdCancel->caption(), QStringLiteral("Close"));
        basGlobal::Long err = 0;
        EXPECT_EQ(basGlobal::GetIniLong(g().IniFileName, "General", "PrintDestination", 0, 0, 2, err), 1);
        ui::Input::click(*f.optPrintDestination[0]);
        EXPECT_EQ(f.cmdCancel->caption(), QStringLiteral("Cancel"));
        EXPECT_EQ(g().PrintDestinationIndex, 1);

        // The main window's setups, then a recount and new printer captions.
        basGlobal::windowHooks().pageSetup = [&] { g().PageSetupLinesPerPage = 80; };
        basGlobal::windowHooks().printerSetup = [&] { printer.device = QStringLiteral("Laser"); };
        ui::Input::click(*f.cmdPageSetup);
        EXPECT_EQ(f.caption(), QStringLiteral("Print - Number of pages: 1."));
        ui::Input::click(*f.cmdPrintSetup);
        EXPECT_EQ(f.optPrintDestination[0]->caption(), QStringLiteral("Laser printer"));
        EXPECT_EQ(f.optPrintDestination[1]->caption(), QStringLiteral("Plain text file..."));
        ui::Input::key(f, 27);   // Esc presses Cancel
    });
    EXPECT_FALSE(results::PrintWindow().isLoaded());
}

} // namespace
