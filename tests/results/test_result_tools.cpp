// Next difference, the flash, the clicks on the grid and the Reminder, on a
// real comparison.
#include "results_fixture.h"

#include "results/frmInterpretation.h"
#include "shared/frmPleaseWait.h"

#include <QRegularExpression>

#include <algorithm>

using namespace results_test;

namespace {

class Tools : public ResultsTest {
protected:
    void SetUp() override
    {
        ResultsTest::SetUp();
        sampleTrees();
    }
};

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
            EXPECT_EQ(grid.col(), 1);
            EXPECT_EQ(g().CurrentDifferenceRow, grid.row());
            desk.advanceStepwise(600);
        }
        // Time, one side only (twice), size; equal files and folder rows are skipped.
        EXPECT_EQ(rows, (std::vector<int>{1, 2, 3, 5}));
        desk.expectMsgBox(kNextTitle, kNoMore, ui::vbQuestionYesNo, ui::vbNo);
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_EQ(grid.row(), 5);
        EXPECT_FALSE(win.Timer2->enabled());
        desk.expectMsgBox(kNextTitle, kNoMore, ui::vbQuestionYesNo, ui::vbYes);
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_EQ(grid.row(), 1);
        // A press while the cell flashes does nothing.
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_EQ(grid.row(), 1);
        desk.advanceStepwise(600);
        ui::Input::click(*win.cmdDisplayNextDifference);
        desk.advanceStepwise(600);
        // Top row: the whole grid fits, so the next search starts at row 1.
        desk.answerPopup(QStringLiteral("mnuDifference"), QStringLiteral("mnuDifferenceTopRow"));
        ui::Input::rightClick(*win.cmdDisplayNextDifference);
        EXPECT_EQ(g().CurrentDifferenceRow, 0);
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_EQ(grid.row(), 1);
        desk.advanceStepwise(600);
    });
}

TEST_F(Tools, FlashWorksOnItsOwnCellAndEndsBeforeFindOpens)
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
            EXPECT_FALSE(win.Timer2->enabled());
            EXPECT_EQ(colours(grid), before);
            desk.advanceStepwise(600);
            EXPECT_EQ(colours(grid), before);
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::click(*win.cmdFind);
        EXPECT_EQ(colours(grid), before);
    });
}

TEST_F(Tools, WhileTheSearchYieldsOtherCommandsAndControlMenuClosesAreRefused)
{
    withResults([&] {
        ui::FlexGrid& grid = *win.grdResults;
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
        });
        ui::Input::click(*win.cmdDisplayNextDifference);
        EXPECT_EQ(checks, 1);
        EXPECT_EQ(grid.colWidth(3), 3000);
        EXPECT_EQ(grid.row(), 1);
        desk.advanceStepwise(600);
    });
}

TEST_F(Tools, HeadingsAndMarkerColumnRestoreTheDefaultWidths)
{
    withResults([&] {
        ui::FlexGrid& grid = *win.grdResults;
        for (auto [row, col] : {std::pair{0, 5}, std::pair{4, 0}}) {
            ui::Input::resizeColumn(grid, 1, 4000);
            g().GridColumnWidth[1] = 4000;
            ui::Input::gridMouseUp(grid, row, col);
            for (int k = 0; k < 9; ++k) {
                EXPECT_EQ(grid.colWidth(k), g().DefaultGridColumnWidth[std::size_t(k)]);
                EXPECT_EQ(g().GridColumnWidth[std::size_t(k)], g().DefaultGridColumnWidth[std::size_t(k)]);
            }
        }
        // The right button only shows the grid's help.
        desk.clearTranscript();
        ui::Input::gridMouseUp(grid, 4, 2, ui::vbRightButton);
        ASSERT_EQ(desk.transcript().size(), 1);
        EXPECT_EQ(desk.transcript()[0].style, compare::htResults);
    });
}

TEST_F(Tools, ACellClickExplainsItsRowWithoutANewModalLevel)
{
    withResults([&] {
        desk.clearTranscript();
        desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& f) {
            EXPECT_FALSE(win.isShown());
            EXPECT_FALSE(basGlobal::PleaseWait().isLoaded());
            EXPECT_EQ(win.mousePointer(), ui::vbHourglass);
            ui::Input::click(*static_cast<results::frmInterpretation&>(f).cmdOK);
        });
        ui::Input::gridMouseUp(*win.grdResults, 5, 3);
        EXPECT_TRUE(win.isShown());
        EXPECT_EQ(win.mousePointer(), ui::vbDefault);
        EXPECT_EQ(std::count(ui::modalStack().begin(), ui::modalStack().end(), &win), 1);
        // The window steps of the click, in order (pointer changes aside).
        QStringList steps = desk.transcriptLines().filter(QRegularExpression(QStringLiteral("^(hide frmCompare|show|unload|modal|end modal)")));
        EXPECT_EQ(steps, QStringList({"hide frmCompare", "show frmPleaseWait", "unload frmPleaseWait", "show frmInterpretation modal",
                                      "modal frmInterpretation", "unload frmInterpretation",
                                      "end modal frmInterpretation", "show frmCompare"}));
    });
}

TEST_F(Tools, ReminderTellsWhereEachStructureLives)
{
    EXPECT_EQ(compare::ReminderText(0, QStringLiteral("x"), QString(), false),
              QStringLiteral("The Primary structure, exists on the local computer.\r\n\r\nThe Secondary structure, exists on the local computer."));
    EXPECT_EQ(compare::ReminderText(1, QString(), QStringLiteral("C:\\s.txt"), false),
              QStringLiteral("The Primary structure, exists on the local computer.\r\n\r\nThe Secondary structure, exists on a remote "
                             "computer and was imported for off line comparison, from the file called 'C:\\s.txt'."));
    EXPECT_EQ(compare::ReminderText(1, QStringLiteral("C:\\p.txt"), QString(), true),
              QStringLiteral("Η Πρωτεύουσα δομή, υπάρχει σε απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση χωρίς σύνδεση, από το "
                             "αρχείο με όνομα «C:\\p.txt».\r\n\r\nΗ Δευτερεύουσα δομή, υπάρχει στον τοπικό υπολογιστή."));
    EXPECT_EQ(compare::ReminderText(2, QString(), QString(), false), QString());
    // Before the comparison, in the window's own caption.
    desk.expectMsgBoxContaining(kResultsTitle, QStringLiteral("exists on the local computer."), ui::vbInformationOK, ui::vbOK);
    openWindow([&] {
        ui::Input::click(*win.cmdReminder);
        ui::Input::click(*win.cmdCancel);
    });
}

} // namespace
