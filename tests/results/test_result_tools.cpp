// Next difference, the flash, the grid clicks and the Reminder, after a real comparison.
#include "results_fixture.h"

#include "results/frmInterpretation.h"
#include "shared/frmPleaseWait.h"

#include <QRegularExpression>

#include <algorithm>

using namespace results_test;

namespace {

using Tools = ResultsTest;

const QString kNextTitle = QStringLiteral("Display next difference");
const QString kNoMore = QStringLiteral("No more differences located. Do you want to display the first difference?");

TEST_F(Tools, NextDifferenceVisitsEveryDifferenceInOrderAndStartsAgain)
{
    withResults([&] {
        ui::FlexGrid& grid = *win.grdResults;
        std::vector<int> rows;
        for (int k = 0; k < 4; ++k) {
            ui::Input::click(*win.cmdDisplayNextDifference);
            rows.push_back(grid.row());
            EXPECT_TRUE(grid.col() == 1 && g().CurrentDifferenceRow == grid.row());
            desk.advanceStepwise(600);
        }
        // Time, one side only (twice), size; equal files and folder rows are skipped.
        EXPECT_EQ(rows, (std::vector<int>{1, 2, 3, 5}));
        desk.expectMsgBox(kNextTitle, kNoMore, ui::vbQuestionYesNo, ui::vbNo);
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_TRUE(grid.row() == 5 && !win.Timer2->enabled());
        desk.expectMsgBox(kNextTitle, kNoMore, ui::vbQuestionYesNo, ui::vbYes);
        ui::Input::click(*win.cmdDisplayNextDifference);
        ui::Input::click(*win.cmdDisplayNextDifference);   // while the cell flashes: nothing
        EXPECT_TRUE(grid.row() == 1 && g().CurrentDifferenceRow == 1);
        desk.advanceStepwise(600);
        // Top row: the whole grid fits, so the next search starts at row 1.
        desk.answerPopup(QStringLiteral("mnuDifference"), QStringLiteral("mnuDifferenceTopRow"));
        ui::Input::rightClick(*win.cmdDisplayNextDifference);
        EXPECT_EQ(g().CurrentDifferenceRow, 0);
    });
}

TEST_F(Tools, FlashWorksOnItsOwnCellAndEndsBeforeFindOpensAndSearchesAreNotInterrupted)
{
    withResults([&] {
        ui::FlexGrid& grid = *win.grdResults;
        const std::vector<ui::Color> before = colours(grid);
        const ui::Color own = grid.cellBackColorAt(1, 1);
        ui::Input::click(*win.cmdDisplayNextDifference);
        std::vector<ui::Color> seen;
        for (int tick = 1; tick <= 11; ++tick) {
            desk.advanceStepwise(50);
            seen.push_back(grid.cellBackColorAt(1, 1));
            if (tick == 3) grid.setRow(4);   // the current cell moves under the flash
        }
        EXPECT_EQ(seen, (std::vector<ui::Color>{255, own, 255, own, 255, own, 255, own, 255, own, own}));
        EXPECT_EQ(colours(grid), before);
        // Find opened during a flash: the flash is over before Find paints.
        ui::Input::click(*win.cmdDisplayNextDifference);
        desk.advanceStepwise(50);
        ASSERT_EQ(grid.cellBackColorAt(2, 1), 255u);
        desk.onModal(QStringLiteral("frmFind"), [&](ui::Form&) {
            desk.advanceStepwise(600);   // no tick reaches the grid any more
            EXPECT_TRUE(!win.Timer2->enabled() && colours(grid) == before);
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::click(*win.cmdFind);
        EXPECT_EQ(colours(grid), before);
        // While a search yields, other commands and control-menu closes are refused.
        ui::Input::resizeColumn(grid, 3, 3000);
        g().CancelRequested = true;   // left over from an earlier operation
        int checks = 0;
        desk.onYield([&] { return win.commandBusy(); }, [&] {
            ++checks;
            EXPECT_FALSE(g().CancelRequested);
            desk.expectMsgBoxContaining(QStringLiteral("Close window"), QStringLiteral("impossible to close"), ui::vbInformationOK, ui::vbOK);
            ui::Input::closeBox(win);
            EXPECT_TRUE(win.isShown());
            ui::Input::gridMouseUp(grid, 0, 3);   // ignored: no width reset
            ui::Input::click(*win.cmdFind);       // ignored: no Find window
            desk.clearTranscript();
            ui::Input::click(*win.cmdPrint);      // ignored: no Print window, the focus stays
            EXPECT_TRUE(desk.entries(ui::HeadlessDesktop::Entry::ModalOpen).isEmpty());
            EXPECT_TRUE(win.cmdPrint->hasFocus());
        });
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_TRUE(checks == 1 && grid.colWidth(3) == 3000 && grid.row() == 3);
        desk.advanceStepwise(600);
    });
}

// A cell explained during a flash: the flash is over before the window
// hides, and no tick reaches the grid while the explanation is up.
TEST_F(Tools, AFlashEndsBeforeACellIsExplained)
{
    withResults([&] {
        ui::FlexGrid& grid = *win.grdResults;
        const std::vector<ui::Color> before = colours(grid);
        ui::Input::click(*win.cmdDisplayNextDifference);
        desk.advanceStepwise(50);
        ASSERT_EQ(grid.cellBackColorAt(1, 1), 255u);
        bool explained = false;
        desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& f) {
            explained = true;
            EXPECT_TRUE(!win.Timer2->enabled() && colours(grid) == before);
            desk.advanceStepwise(600);
            EXPECT_EQ(colours(grid), before);
            ui::Input::click(*static_cast<results::frmInterpretation&>(f).cmdOK);
        });
        ui::Input::gridMouseUp(grid, 5, 3);
        EXPECT_TRUE(explained);
        EXPECT_EQ(colours(grid), before);
        ui::Input::click(*win.cmdDisplayNextDifference);   // heard again: no flash holds it back
        EXPECT_EQ(g().CurrentDifferenceRow, 2);
        desk.advanceStepwise(600);
    });
}

// A close refused while a search runs is refused and nothing more: the print
// reminder comes only with a close that can happen.
TEST_F(Tools, ACloseRefusedDuringASearchDoesNotRemindToPrint)
{
    g().RemindToPrint = true;
    withResults([&] {
        ASSERT_TRUE(g().ResultsNotPrinted);
        int refused = 0;
        desk.onYield([&] { return win.commandBusy(); }, [&] {
            ++refused;
            desk.expectMsgBoxContaining(QStringLiteral("Close window"), QStringLiteral("impossible to close"), ui::vbInformationOK, ui::vbOK);
            ui::Input::closeBox(win);
            EXPECT_TRUE(win.isShown());
        });
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_EQ(refused, 1);
        desk.advanceStepwise(600);
        desk.expectMsgBoxContaining(QStringLiteral("Reminder"), QStringLiteral("without printing"), ui::vbQuestionYesNoDefNo, ui::vbYes);
    });
}

TEST_F(Tools, HeadingsRestoreWidthsAndACellIsExplainedWithoutANewModalLevel)
{
    withResults([&] {
        ui::FlexGrid& grid = *win.grdResults;
        for (auto [row, col] : {std::pair{0, 5}, std::pair{4, 0}}) {   // a heading, the marker column
            ui::Input::resizeColumn(grid, 1, 4000);
            g().GridColumnWidth[1] = 4000;
            ui::Input::gridMouseUp(grid, row, col);
            for (int k = 0; k < 9; ++k)
                EXPECT_TRUE(grid.colWidth(k) == g().DefaultGridColumnWidth[std::size_t(k)] && g().GridColumnWidth == g().DefaultGridColumnWidth);
        }
        desk.clearTranscript();
        ui::Input::gridMouseUp(grid, 4, 2, ui::vbRightButton);   // only the grid's help
        ASSERT_EQ(desk.transcript().size(), 1);
        EXPECT_EQ(desk.transcript()[0].style, results::frmCompare::htResults);
        desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& f) {
            EXPECT_TRUE(!win.isShown() && !basGlobal::PleaseWait().isLoaded() && win.mousePointer() == ui::vbHourglass);
            ui::Input::click(*static_cast<results::frmInterpretation&>(f).cmdOK);
        });
        ui::Input::gridMouseUp(grid, 5, 3);
        EXPECT_TRUE(win.isShown() && win.mousePointer() == ui::vbDefault);
        EXPECT_EQ(std::count(ui::modalStack().begin(), ui::modalStack().end(), &win), 1);
        // The window steps of the click, in order.
        EXPECT_EQ(desk.transcriptLines().filter(QRegularExpression(QStringLiteral("^(hide frmCompare|show|unload|modal|end modal)"))),
                  QStringList({"hide frmCompare", "show frmPleaseWait", "unload frmPleaseWait", "show frmInterpretation modal",
                               "modal frmInterpretation", "unload frmInterpretation", "end modal frmInterpretation",
                               "show frmCompare modal"}));
    });
}

TEST_F(Tools, ReminderTellsWhereEachStructureLives)
{
    EXPECT_EQ(results::ReminderText(0, QStringLiteral("x"), QString(), false),
              QStringLiteral("The Primary structure, exists on the local computer.\r\n\r\nThe Secondary structure, exists on the local computer."));
    EXPECT_EQ(results::ReminderText(1, QStringLiteral("C:\\p.txt"), QString(), true),
              QStringLiteral("Η Πρωτεύουσα δομή, υπάρχει σε απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση χωρίς σύνδεση, από το αρχείο με όνομα «C:\\p.txt».\r\n\r\nΗ Δευτερεύουσα δομή, υπάρχει στον τοπικό υπολογιστή."));
    EXPECT_EQ(results::ReminderText(2, QString(), QString(), false), QString());
    // Before the comparison, in the window's own caption.
    desk.expectMsgBoxContaining(kResultsTitle, QStringLiteral("exists on the local computer."), ui::vbInformationOK, ui::vbOK);
    openWindow([&] { ui::Input::click(*win.cmdReminder), ui::Input::click(*win.cmdCancel); });
}

// Off line, the box names the file each imported structure came from, in
// the language in force.
TEST_F(Tools, ReminderOffLineNamesTheFileOfEachImportedStructure)
{
    file(c, QStringLiteral("p.txt"), workedExample());
    file(c, QStringLiteral("s.txt"), workedExample());
    const QString local[2][2] = {{"The Primary structure, exists on the local computer.",
                                  "The Secondary structure, exists on the local computer."},
                                 {"Η Πρωτεύουσα δομή, υπάρχει στον τοπικό υπολογιστή.",
                                  "Η Δευτερεύουσα δομή, υπάρχει στον τοπικό υπολογιστή."}};
    const QString imported[2][2] = {
        {"The Primary structure, exists on a remote computer and was imported for off line comparison, from the file called 'C:\\p.txt'.",
         "The Secondary structure, exists on a remote computer and was imported for off line comparison, from the file called 'C:\\s.txt'."},
        {"Η Πρωτεύουσα δομή, υπάρχει σε απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση χωρίς σύνδεση, από το αρχείο με όνομα «C:\\p.txt».",
         "Η Δευτερεύουσα δομή, υπάρχει σε απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση χωρίς σύνδεση, από το αρχείο με όνομα «C:\\s.txt»."}};
    g().ComparisonMode = 1;
    for (const int greek : {0, 1}) {
        g().LanguageIsGreek = greek == 1;
        for (const int side : {0, 1}) {
            g().ImportedStructureFile = {side == 0 ? QStringLiteral("C:\\p.txt") : QString(),
                                         side == 1 ? QStringLiteral("C:\\s.txt") : QString()};
            const QString text = (side == 0 ? imported[greek][0] : local[greek][0]) + QStringLiteral("\r\n\r\n")
                                 + (side == 1 ? imported[greek][1] : local[greek][1]);
            win.load();
            desk.expectMsgBox(greek ? QStringLiteral("Αποτελέσματα συγκρίσεως") : kResultsTitle, text, ui::vbInformationOK, ui::vbOK);
            openWindow([&] { ui::Input::click(*win.cmdReminder), ui::Input::click(*win.cmdCancel); });
        }
    }
}

// A flash whose cell went away (the grid lost its rows under it) stops at
// the next tick, touches no other cell, and Next difference answers again.
TEST_F(Tools, AFlashWhoseCellWentAwayStopsAndNextDifferenceAnswersAgain)
{
    withResults([&] {
        ui::FlexGrid& grid = *win.grdResults;
        ui::Input::click(*win.cmdDisplayNextDifference);
        desk.advanceStepwise(50);
        ASSERT_EQ(grid.cellBackColorAt(1, 1), 255u);
        ASSERT_TRUE(win.Timer2->enabled());
        grid.setRows(1);
        const std::vector<ui::Color> headings = colours(grid);
        desk.advanceStepwise(50);
        EXPECT_FALSE(win.Timer2->enabled()) << "the flash stopped";
        EXPECT_EQ(colours(grid), headings);
        desk.advanceStepwise(600);
        EXPECT_EQ(colours(grid), headings);
        desk.expectMsgBox(kNextTitle, kNoMore, ui::vbQuestionYesNo, ui::vbNo);
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_EQ(desk.pendingMsgBoxes(), 0) << "the click is heard";
        // Opening Find ends no flash on a heading.
        desk.onModal(QStringLiteral("frmFind"), [](ui::Form&) {}, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::click(*win.cmdFind);
        EXPECT_EQ(colours(grid), headings);
    });
}

} // namespace
