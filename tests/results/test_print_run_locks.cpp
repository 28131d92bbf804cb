// What a print run leaves the user to work while it prints.
#include "print_fixture.h"

namespace {

using PrintLocks = PrintTest;

TEST_F(PrintLocks, WhilePrintingOnlyCancelPrintingAndTheProgressBarAreLeftEnabled)
{
    fill(60);
    QStringList enabledMidRun;
    desk.onYield([&] { return printer.open && printer.current.pages.size() == 2; }, [&] {
        for (ui::Control* c : results::PrintWindow().controls())
            if (c->kind() != ui::ControlKind::Menu && c->kind() != ui::ControlKind::FormResizer && c->enabled())
                enabledMidRun << c->name();
    });
    openPrint([&](results::frmPrint& f) {
        ui::Input::click(*f.optPrintDestination[0]);
        ui::Input::key(f, 'P', ui::vbCtrlMask);
    });
    EXPECT_EQ(enabledMidRun, QStringList({"prbProgressBar", "cmdCancelPrinting"}));
    EXPECT_EQ(printer.finished.size(), 1u);
}

} // namespace
