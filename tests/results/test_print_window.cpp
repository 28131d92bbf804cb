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

// Its words and tips in either language, the keyboard's way through it, and
// its layout: the destinations one under the other in their frame, the
// buttons in a column beside it, the picture buttons in pairs.
TEST_F(PrintWindow, ItsWordsTipsKeyboardOrderAndLayout)
{
    fill(3);
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        g().LanguageIsGreek = greek;
        g().HeaderLinesPerPage = 0;
        openPrint([&](frmPrint& f) {
            EXPECT_EQ(g().HeaderLinesPerPage, 4);
            EXPECT_EQ(f.caption(), greek ? "Εκτύπωση - Αριθμός σελίδων: 1." : "Print - Number of pages: 1.");
            EXPECT_EQ(f.fraPrintDestination->caption(), greek ? " Προορισμός εκτυπώσεως " : " Print destination ");
            EXPECT_EQ(QStringList({f.optPrintDestination[0]->caption(), f.optPrintDestination[1]->caption(),
                                   f.optPrintDestination[2]->caption(), f.cmdCancel->caption(), f.cmdApply->caption()}),
                      greek ? QStringList({"Εκτυπωτής Recording printer", "Αρχείο απλού κειμένου...",
                                           "και Εκτυπωτής Recording printer\r\nκαι Αρχείο απλού κειμένου...", "Άκυρο", "Εφαρμογή"})
                            : QStringList({"Recording printer printer", "Plain text file...",
                                           "both Recording printer printer\r\nand Plain text file...", "Cancel", "Apply"}));
            EXPECT_EQ(QStringList({f.cmdPageSetup->toolTipText(), f.cmdPrintSetup->toolTipText(),
                                   f.cmdCancelPrinting->toolTipText(), f.cmdPrint->toolTipText()}),
                      greek ? QStringList({"Διαμόρφωση σελίδας", "Επιλογή εκτυπωτή", "Ακύρωση εκτυπώσεως", "Εκτύπωση ... Ctl+P"})
                            : QStringList({"Page setup", "Printer setup", "Cancel printing", "Print ... Ctl+P"}));
            EXPECT_EQ(f.prbProgressBar->value(), 0);
            EXPECT_FALSE(f.cmdCancelPrinting->enabled());
            EXPECT_EQ(f.defaultButton(), f.cmdPrint);
            EXPECT_EQ(f.cancelButton(), f.cmdCancel);
            EXPECT_FALSE(f.minButton() || f.maxButton()) << "no minimise or maximise button";

            auto focused = [&f] { return f.activeControl() ? f.activeControl()->name() + QString::number(f.activeControl()->index()) : QString(); };
            EXPECT_EQ(focused(), "cmdPrint-1");
            QStringList walked;
            for (int k = 0; k < 8; ++k) {
                ui::Input::key(f, ui::vbKeyTab);
                walked << focused();
            }
            EXPECT_EQ(walked, QStringList({"optPrintDestination0", "optPrintDestination1", "optPrintDestination2", "cmdApply-1",
                                           "cmdPageSetup-1", "cmdPrintSetup-1", "cmdCancel-1", "cmdPrint-1"}));

            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(f.optPrintDestination[i]->container(), f.fraPrintDestination);
                EXPECT_EQ(f.optPrintDestination[i]->top() - f.optPrintDestination[0]->top(), 720 * i);
                EXPECT_EQ(f.optPrintDestination[i]->left(), f.optPrintDestination[0]->left());
            }
            for (ui::CommandButton* b : {f.cmdCancel, f.cmdApply, f.cmdPageSetup, f.cmdCancelPrinting})
                EXPECT_EQ(b->left() - (f.fraPrintDestination->left() + f.fraPrintDestination->width()), 228) << b->name().toStdString();
            EXPECT_EQ(f.cmdCancel->width(), f.cmdApply->width());
            EXPECT_EQ(f.cmdApply->top() - f.cmdCancel->top(), 720);
            EXPECT_EQ(f.cmdPageSetup->top() - f.cmdApply->top(), 720);
            EXPECT_EQ(f.cmdCancelPrinting->top() + f.cmdCancelPrinting->height(), f.prbProgressBar->top() + f.prbProgressBar->height());
            EXPECT_EQ(f.prbProgressBar->left(), f.fraPrintDestination->left());
            EXPECT_EQ(f.prbProgressBar->width(), f.fraPrintDestination->width());
            EXPECT_EQ(f.cmdPrintSetup->left() + f.cmdPrintSetup->width(), f.cmdApply->left() + f.cmdApply->width());
            EXPECT_EQ(f.cmdPrint->left(), f.cmdPrintSetup->left());
            EXPECT_EQ(f.cmdPrintSetup->top(), f.cmdPageSetup->top());
            EXPECT_EQ(f.cmdPrint->top(), f.cmdCancelPrinting->top());
            for (ui::CommandButton* b : {f.cmdPageSetup, f.cmdPrintSetup, f.cmdCancelPrinting, f.cmdPrint})
                EXPECT_EQ(b->width(), b->height()) << b->name().toStdString();
            EXPECT_EQ(f.cmdCancel->height(), 372);
            EXPECT_EQ(f.cmdApply->height(), 372);
            ui::Input::key(f, ui::vbKeyEscape);
            EXPECT_FALSE(f.isLoaded()) << "Esc presses Cancel";
        });
    }
    g().LanguageIsGreek = false;
}

} // namespace
